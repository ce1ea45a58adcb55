#include "wave/CodecDecode.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <sndfile.h>

#include "wave/ByteOrder.h"
#include "wave/Cancelled.h"
#include "wave/WaveBytes.h"

namespace {

// The format chunk as a little-endian RIFF file has it: the encoding's own tag (never the
// extensible form), the numbers in little-endian order, and the encoding's extra 16-bit fields.
TBytes LittleEndianFormat(const TWaveFormat& f) {
    TBytes body;
    PutU16(body, f.EncodingTag);
    PutU16(body, f.Channels);
    PutU32(body, f.SampleRate);
    PutU32(body, f.ByteRate);
    PutU16(body, f.BlockAlign);
    PutU16(body, f.BitsPerSample);
    if (f.FormatTag != ftExtensible && f.Body.size() >= 18) {
        // cbSize and what it counts: 16-bit fields (samples per block, coefficients).
        const std::size_t extra =
            std::min<std::size_t>(ReadU16(f.Body.data() + 16, f.BigEndian), f.Body.size() - 18) &
            ~std::size_t(1);
        PutU16(body, std::uint16_t(extra));
        for (std::size_t i = 0; i < extra; i += 2)
            PutU16(body, ReadU16(f.Body.data() + 18 + i, f.BigEndian));
    } else if (f.SamplesPerBlock != 0) {
        PutU16(body, 2);
        PutU16(body, f.SamplesPerBlock);
    } else {
        PutU16(body, 0);
    }
    return body;
}

// A file made of a header in memory followed by the data chunk's bytes where they lie.
struct TJoinedFile {
    TBytes Header;
    const std::uint8_t* Data;
    std::uint64_t DataSize;
    std::uint64_t Position = 0;

    std::uint64_t Length() const { return Header.size() + DataSize; }
};

sf_count_t JoinedLength(void* user) {
    return sf_count_t(static_cast<TJoinedFile*>(user)->Length());
}

sf_count_t JoinedSeek(sf_count_t offset, int whence, void* user) {
    auto& file = *static_cast<TJoinedFile*>(user);
    std::int64_t base = whence == SEEK_SET   ? 0
                        : whence == SEEK_CUR ? std::int64_t(file.Position)
                                             : std::int64_t(file.Length());
    const std::int64_t to = base + offset;
    if (to < 0)
        return -1;
    file.Position = std::uint64_t(to);
    return to;
}

sf_count_t JoinedRead(void* destination, sf_count_t count, void* user) {
    auto& file = *static_cast<TJoinedFile*>(user);
    auto* out = static_cast<std::uint8_t*>(destination);
    std::uint64_t done = 0;
    const std::uint64_t wanted = count < 0 ? 0 : std::uint64_t(count);
    while (done < wanted && file.Position < file.Length()) {
        const std::uint64_t at = file.Position;
        std::uint64_t step;
        if (at < file.Header.size()) {
            step = std::min<std::uint64_t>(wanted - done, file.Header.size() - at);
            std::memcpy(out + done, file.Header.data() + at, step);
        } else {
            const std::uint64_t in = at - file.Header.size();
            step = std::min<std::uint64_t>(wanted - done, file.DataSize - in);
            std::memcpy(out + done, file.Data + in, step);
        }
        done += step;
        file.Position += step;
    }
    return sf_count_t(done);
}

sf_count_t JoinedWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t JoinedTell(void* user) {
    return sf_count_t(static_cast<TJoinedFile*>(user)->Position);
}

struct TCloseFile {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

} // namespace

std::uint64_t DecodeWithCodec(const TFileBytes& file, const TAudioFacts& facts, TLargeBuffer& out,
                              const TProgressStep& progress) {
    const TWaveFormat& f = facts.Format;
    TJoinedFile joined;
    joined.Data = file.Data() + facts.DataOffset;
    joined.DataSize = facts.DataSize;
    const TBytes format = LittleEndianFormat(f);
    TWaveBytes header;
    header.Chunk("fmt ", format);
    if (f.Encoding != seALaw && f.Encoding != seMuLaw) {
        // The block-coded encodings want the frame count where the file says it.
        TBytes fact;
        PutU32(fact, std::uint32_t(std::min<std::uint64_t>(facts.Frames, 0xFFFFFFFFu)));
        header.Chunk("fact", fact);
    }
    header.ChunkHeader("data", std::uint32_t(std::min<std::uint64_t>(facts.DataSize, 0xFFFFFFFEu)));
    joined.Header = header.Bytes();
    const std::uint64_t riffSize = joined.Length() - 8;
    for (int i = 0; i < 4; ++i)
        joined.Header[4 + i] =
            std::uint8_t(std::min<std::uint64_t>(riffSize, 0xFFFFFFFEu) >> (8 * i));

    SF_VIRTUAL_IO io{JoinedLength, JoinedSeek, JoinedRead, JoinedWrite, JoinedTell};
    SF_INFO info{};
    std::unique_ptr<SNDFILE, TCloseFile> decoder(sf_open_virtual(&io, SFM_READ, &info, &joined));
    if (!decoder)
        throw std::runtime_error("The " + EncodingName(f) +
                                 " data could not be decoded: " + sf_strerror(nullptr) + ".");
    if (info.channels != f.Channels)
        throw std::runtime_error("The " + EncodingName(f) + " data could not be decoded.");
    const std::uint64_t frames = info.frames < 0 ? 0 : std::uint64_t(info.frames);
    const std::uint64_t channels = std::uint64_t(info.channels);
    out.Resize(std::size_t(frames * channels * sizeof(std::int16_t)));
    auto* values = reinterpret_cast<short*>(out.Data());
    constexpr std::uint64_t Step = 1 << 16;
    std::uint64_t done = 0;
    while (done < frames) {
        const sf_count_t want = sf_count_t(std::min(Step, frames - done));
        const sf_count_t got = sf_readf_short(decoder.get(), values + done * channels, want);
        if (got <= 0)
            break;
        done += std::uint64_t(got);
        if (progress && !progress(done, frames))
            throw TCancelled();
    }
    out.Resize(std::size_t(done * channels * sizeof(std::int16_t)));
    return done;
}
