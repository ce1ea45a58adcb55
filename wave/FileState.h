#pragma once
// What a file is on disk, to tell when the file shown has changed under the window: which file
// the name leads to (device and inode), its size and when it was last written.

#include <cstdint>
#include <string>

struct TFileState {
    bool Exists = false;
    std::uint64_t Device = 0, Inode = 0;
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0;
};

TFileState FileStateOf(const std::string& name);

// How `now` differs from `then`, in words ("it was cut short from 3,441,572 to 1,000 bytes",
// "another file was put in its place", ...); empty when it is the same file as it was.
std::string FileChangeText(const TFileState& then, const TFileState& now);
