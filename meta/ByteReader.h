#pragma once
// Reads the fields of a metadata chunk's body in order, never past its end: a field the body
// does not hold reads as zeros (or as the bytes that are there) and marks the reader short.

#include <cstdint>
#include <string>

class TByteReader {
  public:
    TByteReader(const std::uint8_t* bytes, std::uint64_t size, bool bigEndian)
        : Bytes(bytes), Size(size), BigEndian(bigEndian) {}

    std::uint64_t Position() const { return At; }
    std::uint64_t Left() const { return At < Size ? Size - At : 0; }
    // Whether a read wanted more bytes than were left.
    bool Short() const { return WasShort; }
    const std::uint8_t* Here() const { return Bytes + At; }

    std::uint64_t Unsigned(int bytes) {
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint64_t byte =
                At + std::uint64_t(i) < Size ? Bytes[At + std::uint64_t(i)] : 0;
            value |= BigEndian ? byte << (8 * (bytes - 1 - i)) : byte << (8 * i);
        }
        Skip(std::uint64_t(bytes));
        return value;
    }
    std::uint16_t U16() { return std::uint16_t(Unsigned(2)); }
    std::uint32_t U32() { return std::uint32_t(Unsigned(4)); }
    std::uint64_t U64() { return Unsigned(8); }
    std::int16_t I16() { return std::int16_t(U16()); }
    std::int32_t I32() { return std::int32_t(U32()); }
    std::uint8_t U8() { return std::uint8_t(Unsigned(1)); }
    float F32() {
        const std::uint32_t bits = U32();
        float value;
        static_assert(sizeof value == 4);
        __builtin_memcpy(&value, &bits, 4);
        return value;
    }
    // `count` bytes as they are (fewer when the body ends first).
    std::string Raw(std::uint64_t count) {
        const std::uint64_t there = count < Left() ? count : Left();
        std::string text(reinterpret_cast<const char*>(Bytes + At), there);
        Skip(count);
        return text;
    }
    void Skip(std::uint64_t count) {
        if (count > Left())
            WasShort = true;
        At = count > Left() ? Size : At + count;
    }

  private:
    const std::uint8_t* Bytes;
    std::uint64_t Size;
    bool BigEndian;
    std::uint64_t At = 0;
    bool WasShort = false;
};
