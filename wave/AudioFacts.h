#pragma once
// The second way to read a WAV file: as its format says, whatever the container (RIFF, RIFX,
// RF64, BW64), with 64-bit sizes, pad bytes after odd bodies and every chunk to the end of the
// file. It reads the file's bytes where they are and copies no samples; what is odd or wrong
// in the file is said in plain words, never thrown.

#include <cstdint>
#include <string>
#include <vector>

#include "wave/WaveFormat.h"

struct TAudioChunk {
    std::string Id;       // the four raw bytes of the id
    std::uint64_t Offset; // where the chunk's header starts in the file
    std::uint64_t Size;   // the size of its body (from ds64 where the header says 0xFFFFFFFF)
    bool Padded;          // an odd body followed by its pad byte
    // The problems (of the file's list) that are this chunk's: its size, its pad byte, what
    // its body says.
    std::vector<std::string> Problems;
};

struct TAudioFacts {
    bool IsWave = false;   // a RIFF, RIFX, RF64 or BW64 file of form WAVE
    std::string Container; // "RIFF", "RIFX", "RF64", "BW64"; empty when not a WAV file
    std::uint64_t FileSize = 0;
    std::uint64_t RiffSize = 0; // what the header (or ds64) says follows its first 8 bytes
    bool HasFormat = false;
    TWaveFormat Format;
    bool HasData = false;
    std::uint64_t DataOffset = 0;    // where the data chunk's body starts
    std::uint64_t DataSize = 0;      // the bytes of the body that are there and are taken
    std::uint64_t Frames = 0;        // whole frames of the data
    double Seconds = 0;              // Frames / rate; 0 when the rate is 0
    std::vector<TAudioChunk> Chunks; // every chunk, in file order
    std::vector<std::string> Problems;
    // Whether the samples can be decoded: a known encoding with a usable format and a data chunk.
    bool Decodable = false;
    // Why the samples cannot be decoded, in one sentence (one of the problems); empty when
    // they can.
    std::string Refusal;

    void Problem(std::string text) { Problems.push_back(std::move(text)); }
    // A problem that keeps the samples from being decoded; the first one is the refusal.
    void Refuse(std::string text) {
        if (Refusal.empty())
            Refusal = text;
        Problem(std::move(text));
    }
};

// Reads the structure of the `size` bytes at `bytes` (a whole file). Reads nothing outside them.
TAudioFacts ReadAudioFacts(const std::uint8_t* bytes, std::uint64_t size);

// The facts of a format chunk body of `size` bytes (problems go to `facts`).
TWaveFormat ReadFormatChunk(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                            TAudioFacts& facts);
