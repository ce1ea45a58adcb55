// bext: the broadcast wave description, fixed fields then the coding history.
#include <cstdio>

#include "meta/ByteReader.h"
#include "meta/MetaText.h"
#include "meta/Metadata.h"

namespace {

constexpr std::uint64_t FixedPart = 602; // every field before the coding history
constexpr std::int16_t LoudnessNotGiven = 0x7FFF;

std::string Text(TByteReader& in, std::uint64_t size) {
    std::string encoding;
    return AsUtf8(FieldText(in.Raw(size)), encoding);
}

std::optional<double> Loudness(TByteReader& in, bool given) {
    const std::int16_t value = in.I16();
    if (!given || value == LoudnessNotGiven)
        return std::nullopt;
    return value / 100.0;
}

} // namespace

TBext DecodeBext(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                 TProblems& problems) {
    TBext bext;
    TByteReader in(body, size, bigEndian);
    bext.Description = Text(in, 256);
    bext.Originator = Text(in, 32);
    bext.OriginatorReference = Text(in, 32);
    bext.OriginationDate = Text(in, 10);
    bext.OriginationTime = Text(in, 8);
    const std::uint64_t low = in.U32(), high = in.U32();
    bext.TimeReference = high << 32 | low;
    bext.Version = in.U16();
    std::string umid;
    bool zero = true;
    for (int i = 0; i < 64; ++i) {
        const std::uint8_t byte = in.U8();
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", byte);
        umid += hex;
        zero = zero && byte == 0;
    }
    if (!zero)
        bext.Umid = umid;
    const bool loudness = bext.Version >= 2;
    bext.LoudnessValue = Loudness(in, loudness);
    bext.LoudnessRange = Loudness(in, loudness);
    bext.MaxTruePeakLevel = Loudness(in, loudness);
    bext.MaxMomentaryLoudness = Loudness(in, loudness);
    bext.MaxShortTermLoudness = Loudness(in, loudness);
    in.Skip(180);
    if (in.Short()) {
        problems.push_back("The bext chunk has " + std::to_string(size) +
                           " bytes, fewer than the " + std::to_string(FixedPart) +
                           " of its fixed fields; the rest read as empty.");
        return bext;
    }
    std::string history = in.Raw(in.Left());
    while (!history.empty() && (history.back() == '\0'))
        history.pop_back();
    std::string encoding;
    bext.CodingHistory = AsUtf8(history, encoding);
    return bext;
}
