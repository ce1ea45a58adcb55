#include "wave/MemoryFile.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <sys/mman.h>
#include <unistd.h>

TMemoryFile::TMemoryFile(const std::uint8_t* bytes, std::uint64_t size) {
    Fd = memfd_create("riffscope-stream", MFD_CLOEXEC);
    if (Fd < 0)
        throw std::runtime_error(std::strerror(errno));
    std::uint64_t done = 0;
    while (done < size) {
        const ssize_t wrote = write(Fd, bytes + done, size - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            const int error = errno;
            close(Fd);
            throw std::runtime_error(std::strerror(error));
        }
        done += std::uint64_t(wrote);
    }
    Path = "/proc/self/fd/" + std::to_string(Fd);
}

TMemoryFile::~TMemoryFile() {
    close(Fd);
}
