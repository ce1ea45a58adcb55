#pragma once
// A large 16-bit stereo wave file for benchmarks, written once into the temporary folder.
// Returns an empty name when the file cannot be written.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "wave/WaveBytes.h"

inline std::string BenchWaveFile(std::uint32_t frames) {
    const std::string name = (std::filesystem::temp_directory_path() /
                              ("riffscope-bench-" + std::to_string(frames) + ".wav"))
                                 .string();
    const std::uint64_t dataBytes = std::uint64_t(frames) * 4;
    if (std::filesystem::exists(name) && std::filesystem::file_size(name) == dataBytes + 44)
        return name;
    const TBytes header = TWaveBytes()
                              .Chunk("fmt ", TWaveBytes::Format())
                              .ChunkHeader("data", std::uint32_t(dataBytes))
                              .RiffSize(std::uint32_t(4 + 24 + 8 + dataBytes))
                              .Bytes();
    std::FILE* out = std::fopen(name.c_str(), "wb");
    if (out == nullptr)
        return {};
    bool written = std::fwrite(header.data(), 1, header.size(), out) == header.size();
    std::vector<std::int16_t> block(2 * 65536);
    std::uint32_t seed = 12345;
    for (std::uint32_t done = 0; written && done < frames;) {
        const std::uint32_t count = std::min<std::uint32_t>(65536, frames - done);
        for (std::uint32_t i = 0; i < 2 * count; ++i) {
            seed = seed * 1664525u + 1013904223u;
            block[i] = std::int16_t(seed >> 16);
        }
        written = std::fwrite(block.data(), 4, count, out) == count;
        done += count;
    }
    written = std::fclose(out) == 0 && written;
    if (!written) {
        std::remove(name.c_str()); // never leave a short file that a later run would take
        return {};
    }
    return name;
}
