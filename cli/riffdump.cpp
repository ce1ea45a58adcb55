// riffdump: the command-line companion. Logs each file's chunk structure exactly as the main
// window's log shows it, and with --export writes each file's frames as the export button does.

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "ErrorMessage.h"
#include "LoadCommand.h"
#include "ReadWaveFile.h"
#include "SaveAsciiFile.h"
#include "WaveStatus.h"

namespace {

constexpr const char* Usage =
    "usage: riffdump [--export] FILE...\n"
    "Writes the RIFF structure of each FILE to standard output, one log line at a time,\n"
    "and \"FILE: STATUS\" to standard error.\n"
    "  --export   also write each file that reads wsOk as text, beside it (NAME_out.dat)\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "Exit status: 0 when every FILE reads wsOk (and exports), 1 otherwise, 2 on a usage error.\n";

struct TOptions {
    bool Export = false;
    std::vector<std::string> Files;
};

int UsageError(const std::string& problem) {
    std::fprintf(stderr, "riffdump: %s\n%s", problem.c_str(), Usage);
    return 2;
}

void WriteLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void WriteError(const std::string& file, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), MessageWithFullStop(text).c_str());
}

// Pipes and FIFOs are read as streams, as command-line users expect (riffdump /dev/stdin).
const TWaveReadOptions ReadOptions{.AcceptStreams = true};

// Reads one file, and with `exportFile` loads it into the store and exports it. Returns the
// reader's status and the frames the data chunk holds beyond the store's capacity.
TLoadResult ReadOrLoad(const std::string& file, bool exportFile) {
    if (exportFile)
        return RunLoadCommand(true, file, WriteLine, nullptr, MaxFrames, ReadOptions);
    // Only reading: the store is never needed.
    TWaveInfo info;
    ReadWaveFile(file, info, WriteLine, ReadOptions);
    TLoadResult result;
    result.FileChosen = true;
    result.Status = info.Status;
    result.Problem = info.Problem;
    if (info.Status == wsOk && info.Data) {
        result.FramesLoaded = FramesToLoad(info.Data->Size());
        result.FramesLeftOut = info.Data->Size() / 4 - std::uint64_t(result.FramesLoaded);
    }
    return result;
}

// Reads one file; true when it read wsOk and, if asked, was exported.
bool DumpFile(const std::string& file, bool exportFile) {
    TLoadResult result;
    try {
        result = ReadOrLoad(file, exportFile);
    } catch (...) {
        // The load failed while decoding: nothing of it is exported.
        std::fflush(stdout);
        std::fprintf(stderr, "%s: %s\n", file.c_str(), WaveStatusName(wsOk).c_str());
        WriteError(file, ErrorText(std::current_exception()));
        return false;
    }
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", file.c_str(), WaveStatusName(result.Status).c_str());
    if (!result.Problem.empty())
        WriteError(file, result.Problem);
    if (result.Status != wsOk)
        return false;
    if (result.FramesLeftOut > 0)
        std::fprintf(stderr, "%s: %llu frames beyond the first %d were left out\n", file.c_str(),
                     static_cast<unsigned long long>(result.FramesLeftOut), result.FramesLoaded);
    if (!exportFile)
        return true;
    try {
        SaveAsciiFile();
        return true;
    } catch (...) {
        std::fprintf(stderr, "%s\n",
                     MessageWithFullStop(ErrorText(std::current_exception())).c_str());
        return false;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    TOptions options;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
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
            options.Export = true;
        } else {
            return UsageError("unknown option " + argument);
        }
    }
    if (options.Files.empty())
        return UsageError("no FILE given");

    bool allOk = true;
    for (const std::string& file : options.Files)
        allOk = DumpFile(file, options.Export) && allOk;
    return allOk ? 0 : 1;
}
