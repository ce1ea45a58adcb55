// riffdump: the command-line companion. Logs each file's chunk structure exactly as the main
// window's log shows it, and with --export writes each file's frames as the export button does.
// For collections of files: names from a list, several files read at once, JSON Lines output.

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "samples/ErrorMessage.h"

#include "cli/FileDump.h"
#include "cli/FileList.h"
#include "cli/ResultsDatabase.h"
#include "cli/RunInOrder.h"
#include "cli/ShardSplit.h"
#include "samples/NameText.h"
#include "samples/SaveAsciiFile.h"
#include "wave/FileBytes.h"
#include "wave/WaveSource.h"

namespace {

constexpr const char* Usage =
    "usage: riffdump [--export [--salvage] | --as-format] [--output FILE] [--json | --cues]\n"
    "                [--report [--policy FILE]] [-j N] [--stall SECONDS] [--max-bytes N]\n"
    "                [--db FILE [--resume]] [--shard I/N] [--format text|json|csv]\n"
    "                [--files-from LIST [-0]] [--] FILE...\n"
    "       riffdump --merge OUT.db IN.db...\n"
    "       riffdump -h | --help | --version\n"
    "Writes the RIFF structure of each FILE to standard output, one log line at a time,\n"
    "and \"FILE: STATUS\" to standard error. Pipes and FIFOs are read as streams.\n"
    "  --export           also write each file that reads wsOk as text, beside it (NAME_out.dat)\n"
    "  --salvage          with --export: also export the whole frames of a file that ends inside\n"
    "                     its data chunk (a cut recording, a stream's placeholder size); such a\n"
    "                     file still reads wsFailed and fails the run\n"
    "  --as-format        export each file as its format says instead (any encoding and number\n"
    "                     of channels, RIFX and RF64 too): one line per frame, each channel's\n"
    "                     value after a space; success is then reading it so and exporting it\n"
    "  --output FILE      with --export or --as-format and one input: write the export to FILE\n"
    "                     in place of NAME_out.dat; a stream (standard input, a pipe, a FIFO)\n"
    "                     has no folder to export beside and is exported only so\n"
    "  --json             one JSON object per file and line on standard output (file, status,\n"
    "                     every chunk with its offset and size, the format fields, the frame\n"
    "                     count, for --export the output name and any error, and the file read\n"
    "                     as its format says: audio, with every chunk to the end, metadata,\n"
    "                     and problems)\n"
    "  --cues             write each file's markers instead of its log: a label track, one\n"
    "                     line a marker, start and end in seconds and the label, by tabs (a\n"
    "                     region to the end of a sampler loop of the marker's id and place)\n"
    "  --report           judge each file in one pass over its audio: the MD5 of the audio\n"
    "                     data, each channel's levels (peak, RMS, DC offset, clipping,\n"
    "                     silence, bits in use), loudness and true peak, and the rules with\n"
    "                     their verdicts; as text in place of the log, or with --json as the\n"
    "                     object's \"report\"\n"
    "  --policy FILE      with --report: a JSON policy that picks rules, sets their severities\n"
    "                     and thresholds and states what the files are expected to be\n"
    "  --files-from LIST  read the file names from LIST too, one per line (- for standard input);\n"
    "                     a name longer than the system's path limit or a LIST over 256 MiB\n"
    "                     is refused with its line number\n"
    "  -0                 the names in LIST are separated by NUL bytes\n"
    "  -j N               read N files at once; the output keeps the order of the names\n"
    "  --stall SECONDS    a named FIFO that gives no byte for this long (3 by default) ends\n"
    "                     as a failed read; standard input and unnamed pipes wait while\n"
    "                     their writer is there\n"
    "  --max-bytes N      read at most N bytes of a stream (4294967296 by default) for --json,\n"
    "                     --as-format and --cues, which hold it in memory; a longer stream\n"
    "                     fails with a reason\n"
    "  --db FILE          also write the results into the SQLite database FILE (made when\n"
    "                     missing): tables files, chunks, channels, rules and metadata, keyed\n"
    "                     by the file's path; each file's rows in one transaction\n"
    "  --resume           with --db: leave out the files whose path, size and modification\n"
    "                     time the database already holds\n"
    "  --shard I/N        read only the I-th (0 to N-1) of N disjoint parts of the names: the\n"
    "                     part of a name is FNV-1a of its bytes mod N, the same on every run\n"
    "  --format FORMAT    text (the log, the default), json (as --json) or csv: the files\n"
    "                     table as CSV on standard output (with --db and no FILE: the\n"
    "                     database's)\n"
    "  --merge OUT.db     join the databases given as IN.db into OUT.db, as one run over all\n"
    "                     their files would have written it\n"
    "  --                 take every later argument as a FILE, even one that starts with -\n"
    "  -h, --help         show this text\n"
    "  --version          show the version\n"
    "Exit status: 0 when every FILE reads wsOk (with --as-format: reads as its format says)\n"
    "and exports, 1 otherwise, 2 on a usage error. With --report: 0 when every rule the\n"
    "policy makes an error passes, 1 when one fails, 2 when a file's audio cannot be read\n"
    "or the policy cannot be taken. 2 when the database cannot be opened or written.\n";

struct TOptions {
    TDumpOptions Dump;
    std::vector<std::string> Files;
    std::vector<std::string> Lists;
    bool NulSeparated = false;
    int Jobs = 1;
    std::string PolicyFile;
    std::string Database;                 // --db
    std::optional<TShard> Shard;          // --shard I/N
    bool Resume = false;                  // skip the files complete in the database
    std::optional<std::string> MergeInto; // --merge OUT.db: the FILEs are the databases to join
    bool Csv = false;                     // --format csv
};

int UsageError(const std::string& problem) {
    std::fprintf(stderr, "riffdump: %s\n%s", problem.c_str(), Usage);
    return 2;
}

// Where an export goes, whatever way its name is written ("x_out.dat", "./x_out.dat"): the
// folder's device and inode, and the name in it. A folder that cannot be looked at keeps the
// name as written.
std::string ExportTargetKey(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0)
        return "name:" + target;
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + "/" + name;
}

bool ParseJobs(const std::string& text, int& jobs) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 1024)
        return false;
    jobs = int(value);
    return true;
}

// The most bytes a stream is read to in memory (for --json, --as-format and --cues).
bool ParseMaxBytes(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || text[0] == '-' || *end != '\0' || errno != 0 || value < 1 ||
        value > (1ULL << 62))
        return false;
    TFileBytes::MostStreamBytes = value;
    return true;
}

// Joins the shard databases `inputs` into `output`.
int MergeDatabases(const std::string& output, const std::vector<std::string>& inputs) {
    if (inputs.empty())
        return UsageError("--merge needs the databases to join after OUT.db");
    try {
        TResultsDatabase database(output);
        database.Merge(inputs);
    } catch (const TDatabaseError& error) {
        std::fprintf(stderr, "riffdump: --merge %s: %s\n", NameText(output).c_str(), error.what());
        return 2;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    TOptions options;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        // "--name VALUE" or "--name=VALUE": true when the argument is that option, with its
        // value (null when none follows).
        const char* value = nullptr;
        const auto takes = [&](const std::string& name) {
            if (argument == name) {
                value = next();
                return true;
            }
            if (argument.rfind(name + "=", 0) == 0) {
                value = argv[i] + name.size() + 1;
                return true;
            }
            return false;
        };
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            options.Files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (argument == "--version") {
            std::printf("riffdump %s\n", RIFFSCOPE_VERSION);
            return 0;
        } else if (argument == "--export") {
            options.Dump.Export = true;
        } else if (argument == "--as-format") {
            options.Dump.AsFormat = true;
            options.Dump.Export = true;
        } else if (argument == "--cues") {
            options.Dump.Cues = true;
        } else if (argument == "--salvage") {
            options.Dump.Salvage = true;
        } else if (argument == "--report") {
            options.Dump.Report = true;
        } else if (takes("--policy")) {
            const char* policy = value;
            if (policy == nullptr || *policy == '\0')
                return UsageError("--policy needs a FILE");
            options.PolicyFile = policy;
        } else if (argument == "--json") {
            options.Dump.Json = true;
        } else if (takes("--db")) {
            if (value == nullptr || *value == '\0')
                return UsageError("--db needs a FILE");
            options.Database = value;
        } else if (takes("--shard")) {
            options.Shard = value ? ParseShard(value) : std::nullopt;
            if (!options.Shard)
                return UsageError("--shard takes I/N, N from 1 and I from 0 to N-1");
        } else if (argument == "--resume") {
            options.Resume = true;
        } else if (takes("--merge")) {
            if (value == nullptr || *value == '\0')
                return UsageError("--merge needs OUT.db and the databases to join");
            options.MergeInto = value;
        } else if (takes("--format")) {
            const std::string format = value ? value : "";
            if (format == "csv")
                options.Csv = true;
            else if (format == "json")
                options.Dump.Json = true;
            else if (format != "text")
                return UsageError("--format takes text, json or csv");
        } else if (takes("--stall")) {
            char* end = nullptr;
            const double seconds = value ? std::strtod(value, &end) : 0;
            if (value == nullptr || *value == '\0' || *end != '\0' || !(seconds > 0) ||
                seconds > 86400)
                return UsageError("--stall needs a number of seconds above 0");
            TWaveSource::FifoStallMs = int(seconds * 1000);
        } else if (takes("--max-bytes")) {
            if (value == nullptr || !ParseMaxBytes(value))
                return UsageError("--max-bytes needs a number of bytes from 1 to 2^62");
        } else if (takes("--output")) {
            const char* output = value;
            if (output == nullptr || *output == '\0')
                return UsageError("--output needs a FILE");
            options.Dump.Output = output;
        } else if (argument == "-0") {
            options.NulSeparated = true;
        } else if (takes("--files-from")) {
            const char* list = value;
            if (list == nullptr || *list == '\0')
                return UsageError("--files-from needs a LIST");
            options.Lists.push_back(list);
        } else if (argument == "-j" || argument.rfind("-j", 0) == 0) {
            const char* jobs = argument == "-j" ? next() : argv[i] + 2;
            if (jobs == nullptr || !ParseJobs(jobs, options.Jobs))
                return UsageError("-j needs a number of files from 1 to 1024");
        } else {
            return UsageError("unknown option " + argument);
        }
    }
    if (!options.PolicyFile.empty()) {
        if (!options.Dump.Report)
            return UsageError("--policy needs --report");
        try {
            options.Dump.Policy =
                std::make_shared<const TPolicy>(ReadPolicyFile(options.PolicyFile));
        } catch (const TPolicyError& error) {
            std::fprintf(stderr, "riffdump: the policy %s%s: %s\n", options.PolicyFile.c_str(),
                         error.Line > 0 ? (":" + std::to_string(error.Line)).c_str() : "",
                         error.what());
            return 2;
        }
    }
    if (options.MergeInto)
        return MergeDatabases(*options.MergeInto, options.Files);
    if (options.Resume && options.Database.empty())
        return UsageError("--resume needs --db");
    for (const std::string& list : options.Lists) {
        std::string problem;
        if (!ReadFileList(list, options.NulSeparated, options.Files, problem)) {
            std::fprintf(stderr, "riffdump: cannot read the list %s: %s\n", NameText(list).c_str(),
                         problem.c_str());
            return 2;
        }
    }
    // The results database (CSV is written from one in memory where none is named).
    std::unique_ptr<TResultsDatabase> database;
    if (!options.Database.empty() || options.Csv) {
        const std::string name = options.Database.empty() ? ":memory:" : options.Database;
        try {
            database = std::make_unique<TResultsDatabase>(name);
        } catch (const TDatabaseError& error) {
            std::fprintf(stderr, "riffdump: the database %s: %s\n", NameText(name).c_str(),
                         error.what());
            return 2;
        }
        options.Dump.Record = true;
    }
    if (options.Files.empty() && database && options.Csv && options.Lists.empty()) {
        const std::string csv = database->FilesCsv(); // the files table as it stands
        std::fwrite(csv.data(), 1, csv.size(), stdout);
        return 0;
    }
    if (options.Files.empty())
        return options.Lists.empty() ? UsageError("no FILE given") : 0;
    if (options.Shard)
        options.Files = NamesInShard(options.Files, *options.Shard);
    if (options.Resume) {
        // A file whose path, size and modification time are in the database is complete.
        const std::set<TResultsDatabase::TStamp> complete = database->CompleteFiles();
        std::vector<std::string> left;
        for (const std::string& file : options.Files) {
            TResultsDatabase::TStamp stamp{file, 0, 0};
            if (!FileStamp(file, stamp.Size, stamp.MtimeNs) || !complete.count(stamp))
                left.push_back(file);
        }
        options.Files = std::move(left);
    }
    if (!options.Dump.Output.empty()) {
        if (!options.Dump.Export)
            return UsageError("--output needs --export or --as-format");
        if (options.Files.size() != 1)
            return UsageError("--output takes one FILE");
    }

    // Two names that export to one file must export in the order of the names, as one job at
    // a time does: then files are read one at a time too.
    if (options.Dump.Export && options.Jobs > 1) {
        std::set<std::string> exports;
        for (const std::string& file : options.Files)
            if (!exports.insert(ExportTargetKey(AsciiFileNameFor(file))).second) {
                options.Jobs = 1;
                break;
            }
    }
    bool allOk = true;
    int reportStatus = 0;
    std::atomic<bool> databaseFailed{false};
    RunInOrder<TFileReport>(
        options.Files.size(), options.Jobs,
        [&](std::size_t i) {
            if (databaseFailed.load())
                return TFileReport{}; // the run stops: nothing more can be kept
            try {
                return DumpFile(options.Files[i], options.Dump);
            } catch (...) {
                // Whatever fails in one file's report (memory) is that file's error alone.
                TFileReport report;
                report.Err = NameText(options.Files[i]) + ": " +
                             MessageWithFullStop(ErrorText(std::current_exception())) + "\n";
                return report;
            }
        },
        [&](TFileReport& report) {
            if (databaseFailed.load())
                return;
            if (database && report.Record) {
                try {
                    database->Write(*report.Record);
                } catch (const TDatabaseError& error) {
                    // The file's transaction is rolled back: the database keeps whole files.
                    std::fprintf(stderr, "riffdump: the database %s: %s (at %s)\n",
                                 NameText(options.Database).c_str(), error.what(),
                                 NameText(report.Record->Path).c_str());
                    databaseFailed = true;
                    return;
                }
            }
            if (options.Csv)
                report.Out.clear(); // the files table is the output
            std::fwrite(report.Out.data(), 1, report.Out.size(), stdout);
            if (!report.Err.empty()) {
                std::fflush(stdout); // the status follows its log lines
                std::fwrite(report.Err.data(), 1, report.Err.size(), stderr);
            }
            allOk = report.Ok && allOk;
            reportStatus = std::max(reportStatus, report.ReportStatus);
        });
    if (database && !databaseFailed.load()) {
        try {
            database->Flush();
        } catch (const TDatabaseError& error) {
            std::fprintf(stderr, "riffdump: the database %s: %s\n",
                         NameText(options.Database).c_str(), error.what());
            databaseFailed = true;
        }
    }
    if (databaseFailed.load())
        return 2;
    if (options.Csv) {
        const std::string csv = database->FilesCsv();
        std::fwrite(csv.data(), 1, csv.size(), stdout);
    }
    if (options.Dump.Report) {
        // The report judges: a file exported badly still fails the run.
        const bool exportFailed = options.Dump.Export && !allOk;
        return std::max(reportStatus, exportFailed ? 1 : 0);
    }
    return allOk ? 0 : 1;
}
