#pragma once
// Large wave files for benchmarks, written once into the temporary folder and kept for later
// runs. Each returns an empty name when the file cannot be written.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "wave/WaveBytes.h"

// 16-bit stereo frames of a pseudo-random signal.
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

// The frame counts of the big files: 600 MB of 24-bit stereo, 5.2 GB of RF64.
constexpr std::uint64_t Frames24 = 100'000'000;
constexpr std::uint64_t FramesRf64 = 1'300'000'000;

// A big file of `frames` stereo frames of `bits` bits (a RIFF file, or an RF64 one with its
// sizes in ds64), filled with a cheap pseudo-random signal.
inline std::string BigFile(std::uint64_t frames, int bits, bool rf64) {
    const std::string name = (std::filesystem::temp_directory_path() /
                              ("riffscope-bench-" + std::to_string(frames) + "-" +
                               std::to_string(bits) + (rf64 ? "-rf64" : "") + ".wav"))
                                 .string();
    const std::uint64_t frameBytes = std::uint64_t(2 * bits / 8);
    const std::uint64_t dataBytes = frames * frameBytes;
    TBytes header;
    if (rf64) {
        TBytes ds64;
        const std::uint64_t riffSize = 4 + 8 + 28 + 8 + 16 + 8 + dataBytes;
        for (std::uint64_t value : {riffSize, dataBytes, frames})
            for (int i = 0; i < 8; ++i)
                ds64.push_back(std::uint8_t(value >> (8 * i)));
        PutU32(ds64, 0);
        header = TWaveBytes("WAVE", "RF64")
                     .Chunk("ds64", ds64)
                     .Chunk("fmt ", TWaveBytes::Format(1, 2, 48000, std::uint16_t(bits)))
                     .ChunkHeader("data", 0xFFFFFFFFu)
                     .RiffSize(0xFFFFFFFFu)
                     .Bytes();
    } else {
        header = TWaveBytes()
                     .Chunk("fmt ", TWaveBytes::Format(1, 2, 48000, std::uint16_t(bits)))
                     .ChunkHeader("data", std::uint32_t(dataBytes))
                     .RiffSize(std::uint32_t(4 + 24 + 8 + dataBytes))
                     .Bytes();
    }
    if (std::filesystem::exists(name) &&
        std::filesystem::file_size(name) == header.size() + dataBytes)
        return name;
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header.data()), std::streamsize(header.size()));
    std::vector<std::uint8_t> block(frameBytes * 65536);
    std::uint32_t seed = 12345;
    for (std::uint64_t done = 0; out && done < frames;) {
        const std::uint64_t count = std::min<std::uint64_t>(65536, frames - done);
        for (std::uint64_t i = 0; i < count * frameBytes; i += 2) {
            seed = seed * 1664525u + 1013904223u;
            block[i] = std::uint8_t(seed >> 16);
            block[i + 1] = std::uint8_t(seed >> 24);
        }
        out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(count * frameBytes));
        done += count;
    }
    out.close();
    if (!out) {
        std::remove(name.c_str());
        return {};
    }
    return name;
}
