#pragma once
// The names of a --files-from list: one per line, or NUL-separated.

#include <string>
#include <vector>

// Reads `listName` ("-" for standard input) and appends its names to `names`; empty entries
// are skipped. False when the list cannot be read.
bool ReadFileList(const std::string& listName, bool nulSeparated, std::vector<std::string>& names);
