#pragma once
// The in-memory copy of a data chunk's body: a block of bytes with a size, a read position
// and an in-order read, handed from the reader to whoever decodes it.

#include <cstddef>
#include <cstdint>

#include "memory/LargeBuffer.h"

class TDataBlock {
  public:
    // Sets the block's size; the bytes are uninitialised and the position stays where it is.
    void SetSize(std::size_t size) { Buffer.Resize(size); }
    std::size_t Size() const { return Buffer.Size(); }

    std::size_t Position() const { return ReadPosition; }
    void SetPosition(std::size_t position) { ReadPosition = position; }

    // Copies up to `count` bytes from the position on and advances it; returns the count copied.
    std::size_t Read(void* destination, std::size_t count);

    // The bytes before `offset` have been decoded and are not needed again: their memory goes
    // back to the system (a large block's pages then read as zeros).
    void ReleaseBefore(std::size_t offset) { Buffer.ReleaseBefore(offset); }

    // Direct access for decoding the whole block in one pass.
    const std::uint8_t* Bytes() const {
        return reinterpret_cast<const std::uint8_t*>(Buffer.Data());
    }
    std::uint8_t* Bytes() { return reinterpret_cast<std::uint8_t*>(Buffer.Data()); }

  private:
    TLargeBuffer Buffer;
    std::size_t ReadPosition = 0;
};
