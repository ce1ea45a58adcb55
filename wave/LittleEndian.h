#pragma once
// Little-endian fields of RIFF files, read from bytes.

#include <cstdint>

inline std::uint16_t ReadU16LE(const std::uint8_t* bytes) {
    return std::uint16_t(bytes[0] | bytes[1] << 8);
}

inline std::uint32_t ReadU32LE(const std::uint8_t* bytes) {
    return std::uint32_t(ReadU16LE(bytes)) | std::uint32_t(ReadU16LE(bytes + 2)) << 16;
}

inline std::int16_t ReadI16LE(const std::uint8_t* bytes) {
    return static_cast<std::int16_t>(ReadU16LE(bytes));
}
