#pragma once
// A whole file's bytes, where the conformant reader and the decoders read them: a regular file
// is mapped (nothing is copied, the page cache serves it); a pipe or FIFO is read once into
// memory. The mapping is guarded: a file cut short meanwhile reads as zeros, not as a crash.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "memory/LargeBuffer.h"

class TFileBytes {
  public:
    // Opens `name`. Pipes and FIFOs are read to their end when `acceptStreams`, up to
    // MostStreamBytes; other special files are refused. Throws TReadError whose Problem says
    // why in words (a FIFO that stalled, a stream longer than the bound).
    static std::shared_ptr<const TFileBytes> Open(const std::string& name, bool acceptStreams);
    // The most bytes a stream is read to (held in memory): 4 GiB unless a program sets more or
    // less (riffdump's --max-bytes). An endless stream stops there with a reason.
    static inline std::atomic<std::uint64_t> MostStreamBytes{std::uint64_t(4) << 30};

    // The bytes given (for tests and fuzzing).
    static std::shared_ptr<const TFileBytes> Copy(const std::uint8_t* bytes, std::uint64_t size);

    ~TFileBytes();
    TFileBytes(const TFileBytes&) = delete;
    TFileBytes& operator=(const TFileBytes&) = delete;

    const std::uint8_t* Data() const { return Bytes; }
    std::uint64_t Size() const { return ByteCount; }
    bool IsMapped() const { return Mapped; }
    // Whether a mapped file has changed since it was opened: cut short (a read found bytes
    // gone) or written to (its size or modification time is no longer what it was). What was
    // read from it may then mix two versions of the file, or zeros for what is gone.
    bool Changed() const;

    // Copies `size` bytes from `offset` into `out`. For a mapped file this reads the file
    // rather than touching the mapping: one pass over gigabytes is then a copy from the page
    // cache, without setting up a page of the mapping for every 4 KiB. Bytes the file no
    // longer has (cut short meanwhile) read as zeros.
    void ReadAt(std::uint64_t offset, void* out, std::size_t size) const;

  private:
    TFileBytes() = default;
    const std::uint8_t* Bytes = nullptr;
    std::uint64_t ByteCount = 0;
    bool Mapped = false;
    int Fd = -1; // a mapped file's, kept open for ReadAt
    std::int64_t OpenedSize = 0;
    std::int64_t OpenedChangeNs = 0; // the file's modification time when it was opened
    mutable std::atomic<bool> CutShort{false};
    TLargeBuffer Buffer; // a stream's bytes
};
