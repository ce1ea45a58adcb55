#pragma once
// Builds RIFF/WAVE files from bytes, chunk by chunk, with any declared size: for tests (a
// fixture exactly as broken as the fault it shows), benchmarks and the demo file.

#include <cstdint>
#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

inline void PutU16(TBytes& out, std::uint16_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

inline void PutU32(TBytes& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(std::uint8_t(v >> shift));
}

inline void PutText(TBytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

class TWaveBytes {
  public:
    // Starts a file: id "RIFF", a size filled in by Bytes() unless given, the form type.
    explicit TWaveBytes(std::string form = "WAVE", std::string riff = "RIFF") {
        PutText(Out, riff.substr(0, 4));
        PutU32(Out, 0);
        PutText(Out, form.substr(0, 4));
    }

    // A chunk with its body; the size field says `declared` when given, else the body's size.
    TWaveBytes& Chunk(const std::string& id, const TBytes& body, long long declared = -1) {
        PutText(Out, id.substr(0, 4));
        PutU32(Out, declared < 0 ? std::uint32_t(body.size()) : std::uint32_t(declared));
        Out.insert(Out.end(), body.begin(), body.end());
        return *this;
    }

    // A chunk's id and declared size alone, for a body that the caller writes after these bytes.
    TWaveBytes& ChunkHeader(const std::string& id, std::uint32_t declared) {
        PutText(Out, id.substr(0, 4));
        PutU32(Out, declared);
        return *this;
    }

    // A format chunk body: tag, channels, rate, byte rate, block align, bits, then `extra`.
    static TBytes Format(std::uint16_t tag = 1, std::uint16_t channels = 2,
                         std::uint32_t rate = 44100, std::uint16_t bits = 16,
                         const TBytes& extra = {}) {
        TBytes body;
        const std::uint16_t align = std::uint16_t(channels * bits / 8);
        PutU16(body, tag);
        PutU16(body, channels);
        PutU32(body, rate);
        PutU32(body, rate * align);
        PutU16(body, align);
        PutU16(body, bits);
        body.insert(body.end(), extra.begin(), extra.end());
        return body;
    }

    // An extensible format chunk body of integer PCM with its channel mask.
    static TBytes ExtensibleFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                                   std::uint32_t mask) {
        TBytes extra;
        PutU16(extra, 22); // the extension's size
        PutU16(extra, bits);
        PutU32(extra, mask);
        const TBytes pcm = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                            0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        extra.insert(extra.end(), pcm.begin(), pcm.end());
        return Format(0xFFFE, channels, rate, bits, extra);
    }

    // Stereo 16-bit frames, left then right.
    static TBytes Frames(const std::vector<std::pair<std::int16_t, std::int16_t>>& frames) {
        TBytes body;
        for (auto [left, right] : frames) {
            PutU16(body, std::uint16_t(left));
            PutU16(body, std::uint16_t(right));
        }
        return body;
    }

    TWaveBytes& RiffSize(std::uint32_t size) {
        FixedRiffSize = true;
        for (int i = 0; i < 4; ++i)
            Out[4 + i] = std::uint8_t(size >> (8 * i));
        return *this;
    }

    TBytes Bytes() const {
        TBytes bytes = Out;
        if (!FixedRiffSize) {
            std::uint32_t size = std::uint32_t(bytes.size() - 8);
            for (int i = 0; i < 4; ++i)
                bytes[4 + i] = std::uint8_t(size >> (8 * i));
        }
        return bytes;
    }

  private:
    TBytes Out;
    bool FixedRiffSize = false;
};

// The usual file: a 16-byte PCM format chunk, then a data chunk.
inline TBytes PlainWave(const TBytes& data) {
    return TWaveBytes().Chunk("fmt ", TWaveBytes::Format()).Chunk("data", data).Bytes();
}
