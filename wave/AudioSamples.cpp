#include "wave/AudioSamples.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include <cstring>
#include <emmintrin.h>
#include <vector>

#include "wave/CodecDecode.h"

namespace {

// The container's integer as stored: 8 bits and fewer unsigned, less 128; wider signed, from
// its low `bits` bits.
inline std::int64_t IntegerAt(const std::uint8_t* p, int container, bool bigEndian, int bits) {
    if (container == 1)
        return std::int64_t(p[0]) - 128;
    std::uint64_t raw = 0;
    if (bigEndian)
        for (int i = 0; i < container; ++i)
            raw = raw << 8 | p[i];
    else
        for (int i = container - 1; i >= 0; --i)
            raw = raw << 8 | p[i];
    const int unused = 64 - bits;
    return static_cast<std::int64_t>(raw << unused) >> unused;
}

inline double FloatAt(const std::uint8_t* p, int container, bool bigEndian) {
    std::uint8_t bytes[8];
    if (bigEndian)
        for (int i = 0; i < container; ++i)
            bytes[i] = p[container - 1 - i];
    else
        std::memcpy(bytes, p, std::size_t(container));
    if (container == 4) {
        float value;
        std::memcpy(&value, bytes, 4);
        return value;
    }
    double value;
    std::memcpy(&value, bytes, 8);
    return value;
}

// The lowest and highest 16-bit value in each of the eight lanes of `bytes` bytes (a multiple
// of 16) of 16-bit values: with 1, 2, 4 or 8 channels a lane always holds the same channel.
void Int16Lanes(const std::uint8_t* values, std::uint64_t bytes, std::int16_t* lows,
                std::int16_t* highs) {
    __m128i low = _mm_set1_epi16(32767), high = _mm_set1_epi16(-32768);
    for (std::uint64_t at = 0; at < bytes; at += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + at));
        low = _mm_min_epi16(low, v);
        high = _mm_max_epi16(high, v);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lows), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(highs), high);
}

template <typename T> inline T Load(const std::uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

} // namespace

TAudioSamples::TAudioSamples(std::shared_ptr<const TFileBytes> file, const TAudioFacts& facts,
                             const TProgressStep& progress)
    : File(std::move(file)) {
    const TWaveFormat& format = facts.Format;
    ChannelCount = format.Channels;
    if (format.IsPlain()) {
        Base = File->Data() + facts.DataOffset;
        DataOffset = facts.DataOffset;
        FrameCount = facts.Frames;
        Container = format.ContainerBytes;
        FrameBytes = format.FrameBytes();
        BigEndian = format.BigEndian;
        Float = format.Encoding == seFloat;
        ValueBits = format.ValueBits != 0 ? format.ValueBits : 8 * Container;
        return;
    }
    FrameCount = DecodeWithCodec(*File, facts, Decoded, progress);
    Base = reinterpret_cast<const std::uint8_t*>(Decoded.Data());
    Container = 2;
    ValueBits = 16;
    FrameBytes = std::uint32_t(2 * ChannelCount);
    BigEndian = false;
}

double TAudioSamples::At(int channel, std::uint64_t frame) const {
    const std::uint8_t* p = SampleAt(channel, frame);
    return Float ? FloatAt(p, Container, BigEndian)
                 : double(IntegerAt(p, Container, BigEndian, ValueBits));
}

std::int64_t TAudioSamples::IntAt(int channel, std::uint64_t frame) const {
    return IntegerAt(SampleAt(channel, frame), Container, BigEndian, ValueBits);
}

void TAudioSamples::Read(int channel, std::uint64_t first, std::size_t count, double* out) const {
    if (count == 0)
        return; // a codec that gave no frames leaves no samples to point at
    const std::uint8_t* p = SampleAt(channel, first);
    const std::size_t step = FrameBytes;
    // The common layouts in loops of their own; every other one through the general reads.
    if (!BigEndian && !Float && ValueBits == 8 * Container) {
        switch (Container) {
        case 1:
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = double(int(p[0]) - 128);
            return;
        case 2:
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = Load<std::int16_t>(p);
            return;
        case 3:
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = double(std::int32_t(std::uint32_t(p[0]) << 8 | std::uint32_t(p[1]) << 16 |
                                             std::uint32_t(p[2]) << 24) >>
                                8);
            return;
        case 4:
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = Load<std::int32_t>(p);
            return;
        default:
            break;
        }
    } else if (!BigEndian && Float) {
        if (Container == 4) {
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = Load<float>(p);
        } else {
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = Load<double>(p);
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i, p += step)
        out[i] = Float ? FloatAt(p, Container, BigEndian)
                       : double(IntegerAt(p, Container, BigEndian, ValueBits));
}

void TAudioSamples::ReadFrames(std::uint64_t first, std::size_t count, std::int32_t* const* ints,
                               double* const* doubles) const {
    if (count == 0)
        return;
    thread_local std::vector<std::uint8_t> buffer;
    const std::uint8_t* bytes = SampleAt(0, first);
    if (Decoded.Size() == 0) {
        buffer.resize(std::size_t(count) * FrameBytes);
        File->ReadAt(DataOffset + first * FrameBytes, buffer.data(), buffer.size());
        bytes = buffer.data();
    }
    const std::size_t step = FrameBytes;
    for (int c = 0; c < ChannelCount; ++c) {
        const std::uint8_t* p = bytes + std::size_t(c) * Container;
        if (!HasIntValues()) {
            double* out = doubles[c];
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = Float ? FloatAt(p, Container, BigEndian)
                               : double(IntegerAt(p, Container, BigEndian, ValueBits));
            continue;
        }
        std::int32_t* out = ints[c];
        // The common layouts in loops of their own; every other one through the general read.
        if (!BigEndian && ValueBits == 8 * Container && Container == 2) {
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = Load<std::int16_t>(p);
        } else if (!BigEndian && ValueBits == 24 && Container == 3) {
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = std::int32_t(std::uint32_t(p[0]) << 8 | std::uint32_t(p[1]) << 16 |
                                      std::uint32_t(p[2]) << 24) >>
                         8;
        } else if (!BigEndian && ValueBits == 32 && Container == 4) {
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = Load<std::int32_t>(p);
        } else {
            for (std::size_t i = 0; i < count; ++i, p += step)
                out[i] = std::int32_t(IntegerAt(p, Container, BigEndian, ValueBits));
        }
    }
}

void TAudioSamples::ExtremesPass(const int* channels, int wanted, std::uint64_t first,
                                 std::uint64_t blockFrames, std::uint64_t blocks,
                                 const TBlockOut* outs) const {
    // A stretch of whole blocks at a time, copied into a buffer of this thread's.
    constexpr std::uint64_t StretchBytes = std::uint64_t(1) << 20;
    const std::uint64_t blocksPerStretch =
        std::max<std::uint64_t>(1, StretchBytes / (blockFrames * FrameBytes));
    thread_local std::vector<std::uint8_t> buffer;
    const bool fromFile = Decoded.Size() == 0;
    const bool lanes = Container == 2 && !BigEndian && ValueBits == 16 && 8 % ChannelCount == 0;
    for (std::uint64_t b = 0; b < blocks; b += blocksPerStretch) {
        const std::uint64_t from = first + b * blockFrames;
        if (from >= FrameCount)
            break;
        const std::uint64_t frames =
            std::min(FrameCount - from, std::min(blocksPerStretch, blocks - b) * blockFrames);
        const std::uint8_t* bytes = Base + from * FrameBytes;
        if (fromFile) {
            buffer.resize(std::size_t(frames * FrameBytes));
            File->ReadAt(DataOffset + from * FrameBytes, buffer.data(), buffer.size());
            bytes = buffer.data();
        }
        for (std::uint64_t k = 0; k * blockFrames < frames; ++k) {
            const std::uint64_t count = std::min(blockFrames, frames - k * blockFrames);
            const std::uint8_t* block = bytes + k * blockFrames * FrameBytes;
            if (lanes && count % std::uint64_t(8 / ChannelCount) == 0) {
                // 16-bit values eight at a time, each lane always one channel's.
                std::int16_t lows[8], highs[8];
                Int16Lanes(block, count * FrameBytes, lows, highs);
                for (int w = 0; w < wanted; ++w) {
                    int lo = 32767, hi = -32768;
                    for (int lane = channels[w]; lane < 8; lane += ChannelCount) {
                        lo = std::min<int>(lo, lows[lane]);
                        hi = std::max<int>(hi, highs[lane]);
                    }
                    outs[w].Put(b + k, lo, hi);
                }
                continue;
            }
            for (int w = 0; w < wanted; ++w) {
                const std::uint8_t* p = block + std::uint64_t(channels[w]) * Container;
                std::int64_t low = IntegerAt(p, Container, BigEndian, ValueBits), high = low;
                for (std::uint64_t i = 1; i < count; ++i) {
                    const std::int64_t v =
                        IntegerAt(p + i * FrameBytes, Container, BigEndian, ValueBits);
                    low = std::min(low, v);
                    high = std::max(high, v);
                }
                outs[w].Put(b + k, low, high);
            }
        }
    }
}

void TAudioSamples::ExpectTogether(int a, int b) const {
    std::lock_guard hold(StashLock);
    Together = {a, b};
    Stashes.clear();
}

bool TAudioSamples::BlockExtremes(int channel, std::uint64_t first, std::uint64_t blockFrames,
                                  std::uint64_t blocks, double* mins, double* maxs) const {
    if (Float || blockFrames == 0)
        return false;
    const TStashKey key{channel, first, blockFrames, blocks};
    int partner = -1;
    {
        std::lock_guard hold(StashLock);
        for (auto it = Stashes.begin(); it != Stashes.end(); ++it) {
            if (!(it->Key == key))
                continue;
            for (std::uint64_t i = 0; i < blocks; ++i) {
                mins[i] = it->Mins[i];
                maxs[i] = it->Maxs[i];
            }
            Stashes.erase(it);
            return true;
        }
        if (Together.first == channel && Together.second != channel)
            partner = Together.second;
        else if (Together.second == channel && Together.first != channel)
            partner = Together.first;
    }
    // The partner's extremes come from the same pass and wait for its plot to ask; narrow
    // values wait as 32-bit integers, at half the memory of the plot's own.
    const int channels[2] = {channel, partner};
    TBlockOut outs[2] = {{mins, maxs, nullptr, nullptr}, {}};
    TStash stash{TStashKey{partner, first, blockFrames, blocks}, {}, {}};
    const bool pair = partner >= 0 && ValueBits <= 32;
    if (pair) {
        stash.Mins.resize(std::size_t(blocks));
        stash.Maxs.resize(std::size_t(blocks));
        outs[1] = {nullptr, nullptr, stash.Mins.data(), stash.Maxs.data()};
    }
    ExtremesPass(channels, pair ? 2 : 1, first, blockFrames, blocks, outs);
    if (pair) {
        std::lock_guard hold(StashLock);
        Stashes.push_back(std::move(stash));
    }
    return true;
}

char* TAudioSamples::FormatFrame(std::uint64_t frame, char* out) const {
    const std::uint8_t* p = SampleAt(0, frame);
    for (int c = 0; c < ChannelCount; ++c, p += Container) {
        *out++ = ' ';
        if (!Float)
            out = std::to_chars(out, out + 24, IntegerAt(p, Container, BigEndian, ValueBits)).ptr;
        else if (Container == 4)
            out = std::to_chars(out, out + 24, float(FloatAt(p, 4, BigEndian))).ptr;
        else
            out = std::to_chars(out, out + 24, FloatAt(p, 8, BigEndian)).ptr;
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}
