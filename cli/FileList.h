#pragma once
// The names of a --files-from list: one per line, or NUL-separated. A list is read with bounds,
// so a wrong LIST (/dev/zero, an endless pipe) ends with a reason rather than growing without
// end: no name may be longer than the system's path limit, no list longer than
// MostFileListBytes, and a named FIFO that gives nothing stalls out as a FIFO input does.

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint64_t MostFileListBytes = std::uint64_t(256) << 20;

// Reads `listName` ("-" for standard input) and appends its names to `names`; empty entries
// are skipped. False, with the reason in `problem`, when the list cannot be read or breaks a
// bound (with the number of the line, or entry, where it did).
bool ReadFileList(const std::string& listName, bool nulSeparated, std::vector<std::string>& names,
                  std::string& problem);
