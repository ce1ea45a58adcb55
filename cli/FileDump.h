#pragma once
// What riffdump reports of one file: its log lines (or one JSON object) for standard output,
// its status and errors for standard error, and whether it all went well.

#include <memory>
#include <optional>
#include <string>

#include "cli/FileRecord.h"
#include "report/Policy.h"

struct TDumpOptions {
    bool Export = false; // also write the frames as text beside the file
    bool Json = false;   // one JSON object per file in place of the log lines and status
    // With Export: also export the whole frames of a file that ends inside its data chunk
    // (it still counts as failed).
    bool Salvage = false;
    // Export the file as its format says (every channel of every frame) rather than as 16-bit
    // stereo frames; what counts is then whether it could be read so.
    bool AsFormat = false;
    // Write the file's markers as a label track in place of the log lines.
    bool Cues = false;
    // With Export: the export's name, in place of NAME_out.dat beside the file. A stream (a
    // pipe, a FIFO, standard input) has no folder to export beside and needs one.
    std::string Output;
    // Judge the file too: the quality report as text in place of the log lines, or as the
    // JSON object's `report`, its rules weighed by the policy.
    bool Report = false;
    std::shared_ptr<const TPolicy> Policy;
    // Keep what was found of the file as rows for a results database.
    bool Record = false;
};

struct TFileReport {
    std::string Out; // for standard output
    std::string Err; // for standard error
    bool Ok = false; // read wsOk and, if asked, exported
    // With a report: 0 when it passes, 1 when a rule the policy makes an error fails, 2 when
    // the file's audio cannot be read.
    int ReportStatus = 0;
    std::optional<TFileRecord> Record; // with TDumpOptions::Record
};

// Reads one file (pipes and FIFOs as streams) and, where asked, exports it. Safe to call from
// several threads at once: exports, which go through the program-wide store, take turns.
TFileReport DumpFile(const std::string& file, const TDumpOptions& options);
