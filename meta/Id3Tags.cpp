// id3 / ID3: an ID3v2 tag inside the file; its title, artist and album when present.
#include "meta/ByteReader.h"
#include "meta/MetaText.h"
#include "meta/Metadata.h"

namespace {

// UTF-16 text (with a byte-order mark, or big-endian without one) as UTF-8.
std::string FromUtf16(const std::string& raw, bool bigEndian) {
    std::size_t i = 0;
    if (raw.size() >= 2) {
        const auto a = static_cast<unsigned char>(raw[0]), b = static_cast<unsigned char>(raw[1]);
        if ((a == 0xFF && b == 0xFE) || (a == 0xFE && b == 0xFF)) {
            bigEndian = a == 0xFE;
            i = 2;
        }
    }
    std::string out;
    for (; i + 1 < raw.size(); i += 2) {
        const auto a = static_cast<unsigned char>(raw[i]),
                   b = static_cast<unsigned char>(raw[i + 1]);
        char32_t c = bigEndian ? char32_t(a << 8 | b) : char32_t(b << 8 | a);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < raw.size()) {
            const auto c2 = static_cast<unsigned char>(raw[i + 2]),
                       d2 = static_cast<unsigned char>(raw[i + 3]);
            const char32_t low = bigEndian ? char32_t(c2 << 8 | d2) : char32_t(d2 << 8 | c2);
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        if (c == 0)
            break;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string FrameText(const std::string& raw) {
    if (raw.empty())
        return {};
    const std::string text = raw.substr(1);
    std::string encoding;
    switch (raw[0]) {
    case 1:
        return FromUtf16(text, false);
    case 2:
        return FromUtf16(text, true);
    case 3:
        return FieldText(text);
    default:
        return AsUtf8(FieldText(text), encoding);
    }
}

std::uint32_t SyncSafe(std::uint32_t value) {
    return (value & 0x7F) | (value >> 8 & 0x7F) << 7 | (value >> 16 & 0x7F) << 14 |
           (value >> 24 & 0x7F) << 21;
}

} // namespace

TId3Tags DecodeId3(const std::uint8_t* body, std::uint64_t size, TProblems& problems) {
    TId3Tags tags;
    TByteReader in(body, size, true);
    if (in.Raw(3) != "ID3") {
        problems.push_back("The ID3 chunk does not hold an ID3v2 tag.");
        return tags;
    }
    const int version = in.U8();
    in.U8(); // revision
    const std::uint8_t flags = in.U8();
    const std::uint64_t tagSize = SyncSafe(in.U32());
    if (tagSize > in.Left())
        problems.push_back("The ID3 tag declares " + std::to_string(tagSize) + " bytes but has " +
                           std::to_string(in.Left()) + ".");
    TByteReader frames(in.Here(), std::min<std::uint64_t>(tagSize, in.Left()), true);
    if (flags & 0x40) // an extended header, passed over
        frames.Skip(version == 4 ? SyncSafe(frames.U32()) - 4 : frames.U32());
    const int idBytes = version == 2 ? 3 : 4;
    while (frames.Left() > std::uint64_t(idBytes == 3 ? 6 : 10)) {
        const std::string id = frames.Raw(std::uint64_t(idBytes));
        if (id[0] == '\0')
            break; // padding
        std::uint64_t length = frames.Unsigned(idBytes == 3 ? 3 : 4);
        if (version == 4)
            length = SyncSafe(std::uint32_t(length));
        if (idBytes == 4)
            frames.Skip(2); // frame flags
        const std::string raw = frames.Raw(length);
        if (id == "TIT2" || id == "TT2")
            tags.Title = FrameText(raw);
        else if (id == "TPE1" || id == "TP1")
            tags.Artist = FrameText(raw);
        else if (id == "TALB" || id == "TAL")
            tags.Album = FrameText(raw);
    }
    return tags;
}
