#include "cli/SourceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TSourceFile::TSourceFile(const std::string& name) : Name(name) {
    struct stat info {};
    if (stat(name.c_str(), &info) != 0)
        return; // the reads say why, by the name
    Device = info.st_dev;
    Inode = info.st_ino;
    Known = true;
    // Only a regular file is opened here: opening a FIFO, even without waiting, would let its
    // writer go on before the reader is there.
    if (!S_ISREG(info.st_mode))
        return;
    const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd); // replaced by something else meanwhile: read by the name as before
        return;
    }
    Fd = fd;
    Name = "/proc/self/fd/" + std::to_string(fd);
    Device = info.st_dev;
    Inode = info.st_ino;
    Known = true;
}

TSourceFile::~TSourceFile() {
    if (Fd >= 0)
        close(Fd);
}

bool TSourceFile::IsNamedBy(const std::string& other) const {
    struct stat info {};
    return Known && stat(other.c_str(), &info) == 0 && info.st_dev == Device &&
           info.st_ino == Inode;
}
