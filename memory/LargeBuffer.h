#pragma once
// A growable block of raw bytes for arrays that can reach gigabytes (a file's data chunk,
// a series' value lists). A large block lives in a mapping of its own: it grows by remapping
// its pages, never by copying them, and asks for transparent huge pages, since page faults
// dominate the cost of filling fresh memory.

#include <cstddef>

class TLargeBuffer {
  public:
    TLargeBuffer() = default;
    ~TLargeBuffer();
    TLargeBuffer(const TLargeBuffer&) = delete;
    TLargeBuffer& operator=(const TLargeBuffer&) = delete;
    TLargeBuffer(TLargeBuffer&& other) noexcept;
    TLargeBuffer& operator=(TLargeBuffer&& other) noexcept;

    // Resizes to exactly `bytes`, keeping the first min(old, new) bytes. New bytes are
    // left uninitialised, except in a block of at least 1 MiB grown from empty: that one is
    // a fresh mapping and reads as zeros. Throws std::bad_alloc when memory cannot be had;
    // the buffer is then unchanged.
    void Resize(std::size_t bytes);
    void Release();
    // The bytes before `offset` are no longer needed: the whole pages they fill go back to the
    // system at once (a mapped block's pages then read as zeros). The size stays.
    void ReleaseBefore(std::size_t offset);

    std::byte* Data() { return Bytes; }
    const std::byte* Data() const { return Bytes; }
    std::size_t Size() const { return SizeInBytes; }

  private:
    std::byte* Bytes = nullptr;
    std::size_t SizeInBytes = 0;
};
