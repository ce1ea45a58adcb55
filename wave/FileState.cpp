#include "wave/FileState.h"

#include <sys/stat.h>

#include "wave/GroupedDigits.h"

TFileState FileStateOf(const std::string& name) {
    TFileState state;
    struct stat info {};
    if (stat(name.c_str(), &info) != 0)
        return state;
    state.Exists = true;
    state.Device = std::uint64_t(info.st_dev);
    state.Inode = std::uint64_t(info.st_ino);
    state.Size = std::uint64_t(info.st_size);
    state.ModifiedNs = std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    return state;
}

std::string FileChangeText(const TFileState& then, const TFileState& now) {
    if (!now.Exists)
        return "it was removed or renamed";
    if (now.Device != then.Device || now.Inode != then.Inode)
        return "another file was put in its place";
    if (now.Size < then.Size)
        return "it was cut short from " + GroupedDigits(then.Size) + " to " +
               GroupedDigits(now.Size) + " bytes";
    if (now.Size > then.Size)
        return "it grew from " + GroupedDigits(then.Size) + " to " + GroupedDigits(now.Size) +
               " bytes";
    if (now.ModifiedNs != then.ModifiedNs)
        return "it was written to";
    return {};
}
