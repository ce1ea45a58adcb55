#pragma once
// A whole file's bytes, where the conformant reader and the decoders read them: a regular file
// is mapped (nothing is copied, the page cache serves it); a pipe or FIFO is read once into
// memory. The mapping is guarded: a file cut short meanwhile reads as zeros, not as a crash.

#include <cstdint>
#include <memory>
#include <string>

#include "LargeBuffer.h"

class TFileBytes {
  public:
    // Opens `name`. Pipes and FIFOs are read to their end when `acceptStreams`; other special
    // files are refused. Throws TReadError whose Problem says why in words.
    static std::shared_ptr<const TFileBytes> Open(const std::string& name, bool acceptStreams);
    // The bytes given (for tests and fuzzing).
    static std::shared_ptr<const TFileBytes> Copy(const std::uint8_t* bytes, std::uint64_t size);

    ~TFileBytes();
    TFileBytes(const TFileBytes&) = delete;
    TFileBytes& operator=(const TFileBytes&) = delete;

    const std::uint8_t* Data() const { return Bytes; }
    std::uint64_t Size() const { return ByteCount; }
    bool IsMapped() const { return Mapped; }

    // Hints that [offset, offset + length) will be read from start to end soon.
    void WillReadInOrder(std::uint64_t offset, std::uint64_t length) const;

  private:
    TFileBytes() = default;
    const std::uint8_t* Bytes = nullptr;
    std::uint64_t ByteCount = 0;
    bool Mapped = false;
    TLargeBuffer Buffer; // a stream's bytes
};
