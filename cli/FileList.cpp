#include "cli/FileList.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>

#include <sys/stat.h>

#include "wave/WaveSource.h"

namespace {

// Reads the list a block at a time through `read` (0 at its end); false with `problem` set.
bool SplitNames(const std::function<std::size_t(char*, std::size_t)>& read, bool nulSeparated,
                std::vector<std::string>& names, std::string& problem) {
    const char separator = nulSeparated ? '\0' : '\n';
    const char* entry = nulSeparated ? "entry" : "line";
    std::string name;
    std::uint64_t line = 1;
    std::uint64_t total = 0;
    char block[65536];
    std::size_t got = 0;
    while ((got = read(block, sizeof block)) > 0) {
        total += got;
        if (total > MostFileListBytes) {
            problem = "the list goes on past " + std::to_string(MostFileListBytes) +
                      " bytes, the longest read, at " + entry + " " + std::to_string(line);
            return false;
        }
        for (std::size_t i = 0; i < got; ++i) {
            if (block[i] != separator) {
                // PATH_MAX counts the NUL that ends a name.
                if (name.size() + 1 >= PATH_MAX) {
                    problem = std::string(entry) + " " + std::to_string(line) + " is longer than " +
                              std::to_string(PATH_MAX - 1) + " bytes, the longest name of a file";
                    return false;
                }
                name += block[i];
                continue;
            }
            ++line;
            if (!name.empty()) {
                names.push_back(std::move(name));
                name.clear();
            }
        }
    }
    if (!name.empty())
        names.push_back(std::move(name));
    return true;
}

} // namespace

bool ReadFileList(const std::string& listName, bool nulSeparated, std::vector<std::string>& names,
                  std::string& problem) {
    struct stat info {};
    try {
        // A named FIFO is read as a stream input is: without waiting for ever for a writer.
        if (listName != "-" && stat(listName.c_str(), &info) == 0 && S_ISFIFO(info.st_mode)) {
            TWaveSource source(listName, true);
            const bool ok =
                SplitNames([&](char* to, std::size_t size) { return source.ReadUpTo(to, size); },
                           nulSeparated, names, problem);
            if (ok && !source.StallReason().empty()) {
                problem = source.StallReason();
                return false;
            }
            return ok;
        }
    } catch (const TReadError& error) {
        problem = error.Reason.empty() ? error.what() : error.Reason;
        return false;
    }
    std::FILE* in = listName == "-" ? stdin : std::fopen(listName.c_str(), "rb");
    if (in == nullptr) {
        problem = std::strerror(errno);
        return false;
    }
    bool ok = SplitNames([&](char* to, std::size_t size) { return std::fread(to, 1, size, in); },
                         nulSeparated, names, problem);
    if (ok && std::ferror(in)) {
        problem = std::strerror(errno);
        ok = false;
    }
    if (in != stdin)
        std::fclose(in);
    return ok;
}
