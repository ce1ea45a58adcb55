#include "wave/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "wave/MappingGuard.h"
#include "wave/WaveSource.h"

namespace {

// The system's words for an error, as a sentence.
std::string ErrnoSentence(int error) {
    std::string text = std::strerror(error);
    return text + ".";
}

std::int64_t ModifiedNs(const struct stat& info) {
    return std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

[[noreturn]] void Fail(int error) {
    throw TReadError("cannot open", ErrnoSentence(error));
}

} // namespace

std::shared_ptr<const TFileBytes> TFileBytes::Open(const std::string& name, bool acceptStreams) {
    struct stat info {};
    if (stat(name.c_str(), &info) != 0)
        Fail(errno);
    std::shared_ptr<TFileBytes> file(new TFileBytes);
    if (!S_ISREG(info.st_mode)) {
        // A stream is read through the reader's own source, which never waits for ever for
        // a FIFO's first writer; its bytes are kept.
        TWaveSource source(name, acceptStreams);
        std::uint64_t size = 0;
        const std::uint64_t most = MostStreamBytes;
        for (;;) {
            // One byte past the bound tells a stream that ends there from a longer one.
            const auto step =
                std::size_t(std::min<std::uint64_t>(std::uint64_t(1) << 20, most + 1 - size));
            file->Buffer.Resize(size + step);
            const std::size_t got =
                source.ReadUpTo(reinterpret_cast<std::uint8_t*>(file->Buffer.Data()) + size, step);
            size += got;
            if (size > most)
                throw TReadError("too long", "The stream goes on past " + std::to_string(most) +
                                                 " bytes, the most read from a stream; reading "
                                                 "stopped there.");
            if (got < step)
                break;
        }
        // A FIFO that stalled has not ended: what came of it is not the file.
        if (const std::string stall = source.StallReason(); !stall.empty())
            throw TReadError("stalled", stall);
        file->Buffer.Resize(size);
        file->Bytes = reinterpret_cast<const std::uint8_t*>(file->Buffer.Data());
        file->ByteCount = size;
        return file;
    }
    const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        Fail(errno);
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = errno;
        close(fd);
        if (!S_ISREG(info.st_mode))
            throw TReadError("refused", "Not a regular file.");
        Fail(error);
    }
    file->ByteCount = static_cast<std::uint64_t>(info.st_size);
    file->OpenedSize = info.st_size;
    file->OpenedChangeNs = ModifiedNs(info);
    if (file->ByteCount > 0) {
        void* bytes = mmap(nullptr, file->ByteCount, PROT_READ, MAP_SHARED, fd, 0);
        const int error = errno;
        if (bytes == MAP_FAILED) {
            close(fd);
            Fail(error);
        }
        file->Fd = fd;
        file->Bytes = static_cast<const std::uint8_t*>(bytes);
        file->Mapped = true;
        GuardMapping(bytes, file->ByteCount);
    } else {
        close(fd);
    }
    return file;
}

std::shared_ptr<const TFileBytes> TFileBytes::Copy(const std::uint8_t* bytes, std::uint64_t size) {
    std::shared_ptr<TFileBytes> file(new TFileBytes);
    file->Buffer.Resize(size);
    if (size > 0)
        std::memcpy(file->Buffer.Data(), bytes, size);
    file->Bytes = reinterpret_cast<const std::uint8_t*>(file->Buffer.Data());
    file->ByteCount = size;
    return file;
}

TFileBytes::~TFileBytes() {
    if (Mapped) {
        UnguardMapping(Bytes);
        munmap(const_cast<std::uint8_t*>(Bytes), ByteCount);
        close(Fd);
    }
}

void TFileBytes::ReadAt(std::uint64_t offset, void* out, std::size_t size) const {
    auto* to = static_cast<std::uint8_t*>(out);
    if (!Mapped) {
        std::memcpy(to, Bytes + offset, size);
        return;
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(Fd, to + done, size - done, off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            // The file is shorter than it was: what is gone reads as zeros, as in the mapping.
            std::memset(to + done, 0, size - done);
            CutShort.store(true, std::memory_order_release);
            NoteMappedFileChanged();
            return;
        }
        done += std::size_t(got);
    }
}

bool TFileBytes::Changed() const {
    if (!Mapped)
        return false; // a stream's bytes are a copy of their own
    if (CutShort.load(std::memory_order_acquire) || MappingCutShort(Bytes))
        return true;
    struct stat now {};
    return fstat(Fd, &now) != 0 || now.st_size != OpenedSize || ModifiedNs(now) != OpenedChangeNs;
}
