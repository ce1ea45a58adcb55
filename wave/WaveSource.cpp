#include "wave/WaveSource.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* NotRegular = "Not a regular file";

// The system's words for the error in errno, as a sentence.
std::string ErrnoReason() {
    return std::string(std::strerror(errno)) + ".";
}
constexpr const char* NotRegularOrPipe = "Not a regular file or a pipe";

// The system names an open unnamed pipe "pipe:[inode]"; a named FIFO by its path.
bool IsUnnamedPipe(int fd) {
    char target[64] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    return length > 5 && std::string_view(target, 5) == "pipe:";
}

} // namespace

TWaveSource::TWaveSource(const std::string& name, bool acceptStreams) {
    // The type is looked at before opening: opening a device may itself do something.
    struct stat info {};
    if (stat(name.c_str(), &info) != 0)
        throw TReadError("cannot open", {}, ErrnoReason());
    const auto accepted = [acceptStreams](mode_t mode) {
        return S_ISREG(mode) || (acceptStreams && S_ISFIFO(mode));
    };
    if (!accepted(info.st_mode))
        throw TReadError("refused", acceptStreams ? NotRegularOrPipe : NotRegular);
    // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever if none comes.
    Fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (Fd < 0)
        throw TReadError("cannot open", {}, ErrnoReason());
    if (fstat(Fd, &info) != 0 || !accepted(info.st_mode)) {
        close(Fd);
        throw TReadError("refused", acceptStreams ? NotRegularOrPipe : NotRegular);
    }
    Stream = !S_ISREG(info.st_mode);
    FileSize = Stream ? 0 : static_cast<std::uint64_t>(info.st_size);
    // An unnamed pipe (standard input, a process substitution) had its writer from the start:
    // once it reads empty it is over. Only a named FIFO may still be waiting for a writer.
    WriterSeen = Stream && IsUnnamedPipe(Fd);
    Named = Stream && !WriterSeen;
}

TWaveSource::~TWaveSource() {
    close(Fd);
}

bool TWaveSource::WaitForBytes() {
    using namespace std::chrono;
    const auto giveUp = steady_clock::now() + milliseconds(FifoStallMs);
    for (;;) {
        // An unnamed pipe's writer is there: its bytes or its end will come. A named FIFO, whose
        // writer may be any program, gives a byte within the stall time or counts as ended.
        int timeout = -1;
        if (!WriterSeen || Named) {
            const auto left = duration_cast<milliseconds>(giveUp - steady_clock::now()).count();
            if (left <= 0)
                return false;
            timeout = static_cast<int>(left);
        }
        pollfd wait{Fd, POLLIN, 0};
        const int ready = poll(&wait, 1, timeout);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            throw TReadError("cannot wait");
        if (ready == 0)
            continue; // the wait for a first writer ran out: checked above
        if (wait.revents & POLLHUP)
            WriterSeen = true; // a writer came and went: what is left is all there will be
        return true;
    }
}

std::size_t TWaveSource::ReadUpTo(void* destination, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(destination);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = read(Fd, out + done, count - done);
        if (got > 0) {
            done += static_cast<std::size_t>(got);
            WriterSeen = true;
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno == EAGAIN && Stream) {
            WriterSeen = true; // a writer holds the pipe open but has sent nothing yet
            if (!WaitForBytes()) {
                Stalled = true;
                break;
            }
            continue;
        }
        if (got < 0)
            throw TReadError("cannot read");
        // The end of a file, or a stream with no writer at the moment.
        if (!Stream || WriterSeen)
            break;
        if (!WaitForBytes()) {
            NoWriter = true;
            break;
        }
    }
    Position += done;
    BytesThere += done;
    return done;
}

std::string TWaveSource::StallReason() const {
    const auto seconds = [] {
        const int ms = FifoStallMs;
        return ms % 1000 == 0 ? std::to_string(ms / 1000) : std::to_string(ms / 1000.0);
    };
    if (NoWriter)
        return "No writer opened the FIFO within " + seconds() + " seconds.";
    if (Stalled)
        return "The FIFO gave no byte for " + seconds() + " seconds.";
    return {};
}

void TWaveSource::ReadExactly(void* destination, std::size_t count) {
    if (ReadUpTo(destination, count) == count)
        return;
    std::string reason = StallReason();
    const bool ended = reason.empty();
    if (ended && Position == 0)
        reason = "The file is empty.";
    else if (ended)
        reason = "The file ends after " + std::to_string(BytesThere) + " bytes, inside a chunk.";
    TReadError error("read past the end of the file", {}, reason);
    error.FileEnded = ended && Position != 0;
    throw error;
}

std::uint64_t TWaveSource::Skip(std::uint64_t count) {
    if (count == 0)
        return 0;
    if (!Stream) {
        const std::uint64_t there = std::min(count, *BytesLeft());
        if (lseek(Fd, static_cast<off_t>(count), SEEK_CUR) < 0)
            throw TReadError("cannot move");
        Position += count;
        BytesThere += there;
        return there;
    }
    // A stream cannot seek: its bytes are read and dropped.
    std::uint8_t scratch[65536];
    std::uint64_t there = 0;
    while (there < count) {
        const std::size_t step =
            static_cast<std::size_t>(std::min<std::uint64_t>(count - there, sizeof scratch));
        const std::size_t got = ReadUpTo(scratch, step);
        there += got;
        if (got < step) {
            Position += count - there; // past the end, as a seek would go
            break;
        }
    }
    return there;
}

std::optional<std::uint64_t> TWaveSource::BytesLeft() const {
    if (Stream)
        return std::nullopt;
    return Position < FileSize ? FileSize - Position : 0;
}
