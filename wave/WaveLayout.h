#pragma once
// The structure a read met, for tools that report it as data rather than as log lines: the
// RIFF header, every chunk header read in file order, and the format chunk's fields.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TChunkRecord {
    std::string Id;       // the four raw bytes of the id
    std::uint64_t Offset; // where the chunk's header starts in the file
    std::uint32_t Size;   // the declared size of its body
};

struct TFormatFields {
    std::uint16_t FormatTag = 0;
    std::uint16_t Channels = 0;
    std::uint32_t SamplesPerSec = 0;
    std::uint32_t ByteRate = 0;
    std::uint16_t BlockAlign = 0;
    std::uint16_t BitsPerSample = 0;
    std::optional<std::uint16_t> CbSize; // only in a format chunk of 20 bytes or more
};

struct TWaveLayout {
    std::optional<std::uint32_t> RiffSize; // once the header's size was read
    std::string Form;                      // the form type's four raw bytes, once read
    std::vector<TChunkRecord> Chunks;      // each chunk whose id and size were read
    std::optional<TFormatFields> Format;   // once the format chunk's fields were read
};
