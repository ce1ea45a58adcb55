#pragma once
// Numbers of RIFF (little-endian) and RIFX (big-endian) files, read from bytes.

#include <cstdint>

#include "wave/LittleEndian.h"

inline std::uint16_t ReadU16(const std::uint8_t* bytes, bool bigEndian) {
    return bigEndian ? std::uint16_t(bytes[0] << 8 | bytes[1]) : ReadU16LE(bytes);
}

inline std::uint32_t ReadU32(const std::uint8_t* bytes, bool bigEndian) {
    if (!bigEndian)
        return ReadU32LE(bytes);
    return std::uint32_t(ReadU16(bytes, true)) << 16 | ReadU16(bytes + 2, true);
}

inline std::uint64_t ReadU64(const std::uint8_t* bytes, bool bigEndian) {
    const std::uint64_t first = ReadU32(bytes, bigEndian), second = ReadU32(bytes + 4, bigEndian);
    return bigEndian ? first << 32 | second : second << 32 | first;
}
