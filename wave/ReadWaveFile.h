#pragma once
// Walks a RIFF/WAVE file: logs the header, every chunk met and the format fields, and copies
// the data chunk's body into memory. Never throws: every outcome is in Info.Status and the log.

#include <functional>
#include <string>

#include "wave/Progress.h"
#include "wave/WaveInfo.h"
#include "wave/WaveLayout.h"

// Appends one line to the log. Lines are 8-bit text (chunk ids are raw bytes).
using TWaveLog = std::function<void(const std::string& line)>;

// The closing line: O, double quote, k, space.
inline const std::string WaveLogClosingLine = "O\"k ";

struct TWaveReadOptions {
    // Pipes and FIFOs are read as streams, as their bytes arrive, giving the same log and
    // status as a regular file with the same bytes. Otherwise only regular files are read.
    bool AcceptStreams = false;
    // Where given, receives the structure the read met, as data.
    TWaveLayout* Layout = nullptr;
    // Whether the data chunk's body is copied into Info.Data. Without it the body is only
    // passed over (a stream's bytes read and dropped) and Info.DataSize counts it.
    bool KeepData = true;
    // Told how much of the data chunk's body has been copied; false stops the read, which
    // then ends wsFailed.
    TProgressStep Progress;

    // Options that read pipes and FIFOs as streams.
    static TWaveReadOptions Streams() {
        TWaveReadOptions options;
        options.AcceptStreams = true;
        return options;
    }
};

void ReadWaveFile(const std::string& FileName, TWaveInfo& Info, const TWaveLog& Log,
                  const TWaveReadOptions& options = {});
