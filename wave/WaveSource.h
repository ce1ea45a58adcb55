#pragma once
// Where the reader's bytes come from: a regular file, or (where the caller accepts them) a
// pipe or FIFO read as a stream, in order, as its bytes arrive. Nothing here ever blocks on a
// FIFO that has no writer: it is opened without waiting, and a reader waits for a first writer
// only for a bounded time.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

// Any failure to open or read. `Problem` says why when the file's bytes are not the cause
// (a special file refused, memory); it is empty for a file that is simply short or unreadable.
struct TReadError : std::runtime_error {
    explicit TReadError(const std::string& what, std::string problem = {}, std::string reason = {})
        : std::runtime_error(what), Problem(std::move(problem)), Reason(std::move(reason)) {}
    std::string Problem;
    // Why, in words for the user, whatever the cause ("No such file or directory.").
    std::string Reason;
    // The file (or a stream that was not stalled) simply had no more bytes.
    bool FileEnded = false;
};

class TWaveSource {
  public:
    // Opens `name` for reading. A FIFO, socket or device is refused unless `acceptStreams`,
    // and then only pipes and FIFOs are taken.
    TWaveSource(const std::string& name, bool acceptStreams);
    ~TWaveSource();
    TWaveSource(const TWaveSource&) = delete;
    TWaveSource& operator=(const TWaveSource&) = delete;

    // Reads up to `count` bytes; fewer only at the end of the file or stream.
    std::size_t ReadUpTo(void* destination, std::size_t count);
    // Reads exactly `count` bytes or fails.
    void ReadExactly(void* destination, std::size_t count);
    // Moves `count` bytes on. Moving past the end is allowed; the next read then fails.
    // Returns how many of them were there.
    std::uint64_t Skip(std::uint64_t count);

    // Why a stream gave no more bytes when that was not its end: no writer came, or its writer
    // stalled. Empty for an end that is one.
    std::string StallReason() const;

    bool IsStream() const { return Stream; }
    // How many bytes the position stands from the start.
    std::uint64_t Offset() const { return Position; }
    // How many bytes were really there up to the position (a skip may go past the end).
    std::uint64_t BytesPresent() const { return BytesThere; }
    // What the file still holds after the position, when that can be known (not for a stream).
    std::optional<std::uint64_t> BytesLeft() const;

    // How long a FIFO that has no writer yet is waited for before it counts as empty.
    static constexpr int FirstWriterWaitMs = 3000;
    // How long a named FIFO may give no byte (before its first writer, or between bytes) before
    // it counts as ended; a program may change it (riffdump's --stall). Standard input and
    // unnamed pipes wait while their writer is there.
    static inline std::atomic<int> FifoStallMs{FirstWriterWaitMs};

  private:
    // For a stream: waits until a read may give bytes or the end; false once nothing came.
    bool WaitForBytes();

    int Fd = -1;
    bool Stream = false;
    bool WriterSeen = false; // a stream's writer has been there (bytes or a hang-up seen)
    bool NoWriter = false;   // a FIFO's wait for a first writer ran out
    bool Stalled = false;    // a named FIFO's writer sent nothing for the stall time
    bool Named = false;      // a named FIFO (not standard input or an unnamed pipe)
    std::uint64_t Position = 0;
    // The bytes really there up to the position: a skip may move the position past the end.
    std::uint64_t BytesThere = 0;
    std::uint64_t FileSize = 0;
};
