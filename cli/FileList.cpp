#include "cli/FileList.h"

#include <cstdio>

bool ReadFileList(const std::string& listName, bool nulSeparated, std::vector<std::string>& names) {
    std::FILE* in = listName == "-" ? stdin : std::fopen(listName.c_str(), "rb");
    if (in == nullptr)
        return false;
    const char separator = nulSeparated ? '\0' : '\n';
    std::string name;
    char block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0) {
        for (std::size_t i = 0; i < got; ++i) {
            if (block[i] != separator) {
                name += block[i];
            } else if (!name.empty()) {
                names.push_back(std::move(name));
                name.clear();
            }
        }
    }
    const bool ok = !std::ferror(in);
    if (!name.empty())
        names.push_back(std::move(name));
    if (in != stdin)
        std::fclose(in);
    return ok;
}
