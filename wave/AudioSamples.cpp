#include "AudioSamples.h"

#include <charconv>
#include <cstring>

#include "CodecDecode.h"

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
