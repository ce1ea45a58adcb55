#pragma once
// A file's samples as its format says, read where they are: integer PCM and float straight
// from the file's bytes (a mapping, nothing copied); the compressed encodings once decoded to
// 16-bit values in memory. Any number of channels; frames count from 0 here.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "memory/LargeArray.h"
#include "memory/LargeBuffer.h"
#include "wave/AudioFacts.h"
#include "wave/FileBytes.h"
#include "wave/Progress.h"

class TAudioSamples {
  public:
    // The samples of a file whose facts say Decodable. A compressed encoding is decoded here
    // (progress told as it goes); throws std::runtime_error with a message in words when its
    // data cannot be decoded, std::bad_alloc when memory runs out.
    TAudioSamples(std::shared_ptr<const TFileBytes> file, const TAudioFacts& facts,
                  const TProgressStep& progress = {});

    int Channels() const { return ChannelCount; }
    std::uint64_t Frames() const { return FrameCount; }
    // Whether values are IEEE floats (else integers, exact as doubles up to 53 bits).
    bool IsFloat() const { return Float; }
    // Bits of the values: the container's (or the valid bits) for integer PCM, 16 for decoded
    // encodings.
    int BitsOfValues() const { return ValueBits; }
    // The value that is 0 dBFS: 2^(bits-1) for integers, 1 for floats.
    double FullScale() const { return Float ? 1.0 : std::ldexp(1.0, std::max(ValueBits, 1) - 1); }

    // Whether the file the samples are read from changed since it was opened (see TFileBytes).
    bool SourceChanged() const { return File && File->Changed(); }

    double At(int channel, std::uint64_t frame) const;
    // Values of `channel` at frames first..first+count-1, into `out`.
    void Read(int channel, std::uint64_t first, std::size_t count, double* out) const;
    // The lowest and highest value of `channel` in each of `blocks` blocks of `blockFrames`
    // frames from frame `first` on (the last block ends at the last frame). Integer values
    // only (false for floats, whose order of NaN and signed zeros the caller keeps itself).
    // Reads the file in one pass without touching its mapping; safe from several threads.
    bool BlockExtremes(int channel, std::uint64_t first, std::uint64_t blockFrames,
                       std::uint64_t blocks, double* mins, double* maxs) const;
    // The two channels whose block extremes will be asked for one after the other (the two
    // plots'): one pass over the file then gives both, the second kept until it is asked for.
    void ExpectTogether(int first, int second) const;
    // Frames first..first+count-1 of every channel, planar: integers into `ints[channel]`
    // where values are integers of at most 32 bits, otherwise doubles into `doubles[channel]`.
    // Reads the file rather than its mapping, as BlockExtremes does; safe from several threads.
    void ReadFrames(std::uint64_t first, std::size_t count, std::int32_t* const* ints,
                    double* const* doubles) const;
    // Whether ReadFrames gives integers.
    bool HasIntValues() const { return !Float && ValueBits <= 32; }
    // An integer sample exactly (for integer encodings).
    std::int64_t IntAt(int channel, std::uint64_t frame) const;

    // Writes frame `frame` as text: each channel's value after a space, then CR LF; integers
    // as decoded, floats in the shortest text that reads back to the same value. Returns the
    // end. `out` must have room for LongestLine() characters.
    char* FormatFrame(std::uint64_t frame, char* out) const;
    std::size_t LongestLine() const { return std::size_t(ChannelCount) * 26 + 2; }

  private:
    // Where one channel's block extremes go: doubles, or 32-bit integers to wait in a stash.
    struct TBlockOut {
        double* Mins = nullptr;
        double* Maxs = nullptr;
        std::int32_t* IntMins = nullptr;
        std::int32_t* IntMaxs = nullptr;
        void Put(std::uint64_t block, std::int64_t low, std::int64_t high) const {
            if (Mins) {
                Mins[block] = double(low);
                Maxs[block] = double(high);
            } else {
                IntMins[block] = std::int32_t(low);
                IntMaxs[block] = std::int32_t(high);
            }
        }
    };
    struct TStashKey {
        int Channel;
        std::uint64_t First, BlockFrames, Blocks;
        bool operator==(const TStashKey&) const = default;
    };
    struct TStash {
        TStashKey Key;
        TLargeArray<std::int32_t> Mins, Maxs;
    };
    void ExtremesPass(const int* channels, int wanted, std::uint64_t first,
                      std::uint64_t blockFrames, std::uint64_t blocks, const TBlockOut* outs) const;
    const std::uint8_t* SampleAt(int channel, std::uint64_t frame) const {
        return Base + frame * FrameBytes + std::uint64_t(channel) * Container;
    }

    std::shared_ptr<const TFileBytes> File; // keeps the mapping alive
    std::uint64_t DataOffset = 0;           // where frame 0 starts in the file
    TLargeBuffer Decoded;                   // a compressed file's 16-bit values
    const std::uint8_t* Base = nullptr;
    std::uint64_t FrameCount = 0;
    std::uint32_t FrameBytes = 0;
    int ChannelCount = 0;
    int Container = 0;
    int ValueBits = 0; // the low bits a value is read from (the container's, or fewer)
    bool BigEndian = false;
    bool Float = false;
    mutable std::mutex StashLock;
    mutable std::pair<int, int> Together{-1, -1};
    mutable std::vector<TStash> Stashes;
};
