#pragma once
// Hands bytes to a reader through an unnamed pipe that holds them all before the reader opens
// it, its writing end already closed: the stream `riffdump /dev/stdin < file` reads, with no
// writer thread (a fuzz run starts no thread per input). Holds() is false where the pipe cannot
// take the bytes (beyond the system's most for a pipe); TPipeInput feeds those.

#include <algorithm>
#include <cstdint>
#include <string>

#include <fcntl.h>
#include <unistd.h>

class TFilledPipe {
  public:
    TFilledPipe(const std::uint8_t* data, std::size_t size) {
        if (pipe2(Fds, O_CLOEXEC | O_NONBLOCK) != 0) {
            Fds[0] = Fds[1] = -1;
            return;
        }
        constexpr std::size_t UsualCapacity = 65536;
        if (size > UsualCapacity)
            fcntl(Fds[1], F_SETPIPE_SZ, static_cast<int>(std::min<std::size_t>(size, 1 << 30)));
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = write(Fds[1], data + done, size - done);
            if (n <= 0)
                break; // full: the pipe could not grow to the bytes
            done += static_cast<std::size_t>(n);
        }
        close(Fds[1]);
        Full = done == size;
    }
    ~TFilledPipe() {
        if (Fds[0] >= 0)
            close(Fds[0]);
    }
    TFilledPipe(const TFilledPipe&) = delete;
    TFilledPipe& operator=(const TFilledPipe&) = delete;

    bool Holds() const { return Fds[0] >= 0 && Full; }
    // A name that opens the pipe's reading end.
    std::string Name() const { return "/proc/self/fd/" + std::to_string(Fds[0]); }

  private:
    int Fds[2];
    bool Full = false;
};
