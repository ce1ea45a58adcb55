#pragma once
// A large 16-bit stereo wave file for benchmarks, written once into the temporary folder.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/WaveBytes.h"

inline std::string BenchWaveFile(std::uint32_t frames) {
    const std::string name = (std::filesystem::temp_directory_path() /
                              ("riffscope-bench-" + std::to_string(frames) + ".wav"))
                                 .string();
    const std::uint64_t dataBytes = std::uint64_t(frames) * 4;
    if (std::filesystem::exists(name) && std::filesystem::file_size(name) == dataBytes + 44)
        return name;
    TBytes header = TWaveBytes().Chunk("fmt ", TWaveBytes::Format()).Bytes();
    PutText(header, "data");
    PutU32(header, std::uint32_t(dataBytes));
    const std::uint32_t riffSize = std::uint32_t(header.size() - 8 + dataBytes);
    for (int i = 0; i < 4; ++i)
        header[4 + i] = std::uint8_t(riffSize >> (8 * i));
    std::FILE* out = std::fopen(name.c_str(), "wb");
    std::fwrite(header.data(), 1, header.size(), out);
    std::vector<std::int16_t> block(2 * 65536);
    std::uint32_t seed = 12345;
    for (std::uint32_t done = 0; done < frames;) {
        const std::uint32_t count = std::min<std::uint32_t>(65536, frames - done);
        for (std::uint32_t i = 0; i < 2 * count; ++i) {
            seed = seed * 1664525u + 1013904223u;
            block[i] = std::int16_t(seed >> 16);
        }
        std::fwrite(block.data(), 4, count, out);
        done += count;
    }
    std::fclose(out);
    return name;
}
