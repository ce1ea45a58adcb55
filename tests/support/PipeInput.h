#pragma once
// Hands bytes to a reader through an unnamed pipe, as `riffdump /dev/stdin < file` or a
// process substitution would: a writer thread feeds the pipe while the reader reads it by name.

#include <csignal>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

class TPipeInput {
  public:
    explicit TPipeInput(std::vector<std::uint8_t> bytes) : Bytes(std::move(bytes)) {
        std::signal(SIGPIPE, SIG_IGN); // a reader that stops early ends the writer with EPIPE
        if (pipe2(Fds, O_CLOEXEC) != 0)
            Fds[0] = Fds[1] = -1;
        Writer = std::thread([this] {
            std::size_t done = 0;
            while (done < Bytes.size()) {
                const ssize_t n = write(Fds[1], Bytes.data() + done, Bytes.size() - done);
                if (n <= 0)
                    break; // the reader stopped reading before the end
                done += std::size_t(n);
            }
            close(Fds[1]);
        });
    }
    ~TPipeInput() {
        close(Fds[0]); // a writer still blocked on a full pipe gets EPIPE and ends
        Writer.join();
    }
    TPipeInput(const TPipeInput&) = delete;
    TPipeInput& operator=(const TPipeInput&) = delete;

    // A name that opens the pipe's reading end.
    std::string Name() const { return "/proc/self/fd/" + std::to_string(Fds[0]); }

  private:
    std::vector<std::uint8_t> Bytes;
    int Fds[2];
    std::thread Writer;
};
