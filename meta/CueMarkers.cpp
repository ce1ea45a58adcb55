// cue and LIST/adtl: markers and the labels, notes and regions that name them.
#include "meta/ByteReader.h"
#include "meta/MetaText.h"
#include "meta/Metadata.h"

namespace {

constexpr std::uint64_t CuePointBytes = 24;

std::string Utf8(const std::string& raw) {
    std::string encoding;
    return AsUtf8(FieldText(raw), encoding);
}

} // namespace

std::vector<TCuePoint> DecodeCue(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                                 TProblems& problems) {
    std::vector<TCuePoint> points;
    TByteReader in(body, size, bigEndian);
    const std::uint32_t count = in.U32();
    const std::uint64_t room = in.Left() / CuePointBytes;
    if (count > room)
        problems.push_back("The cue chunk lists " + std::to_string(count) +
                           " points but has room for " + std::to_string(room) + ".");
    for (std::uint64_t i = 0; i < std::min<std::uint64_t>(count, room); ++i) {
        TCuePoint point;
        point.Id = in.U32();
        point.Position = in.U32();
        point.DataChunkId = in.Raw(4);
        point.ChunkStart = in.U32();
        point.BlockStart = in.U32();
        point.SampleOffset = in.U32();
        points.push_back(point);
    }
    return points;
}

TAssociatedData DecodeAdtl(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                           TProblems& problems) {
    TAssociatedData data;
    TByteReader in(body, size, bigEndian);
    while (in.Left() > 0) {
        if (in.Left() < 8) {
            problems.push_back("LIST/adtl ends with " + std::to_string(in.Left()) +
                               " bytes that are not a whole entry.");
            break;
        }
        const std::string id = in.Raw(4);
        const std::uint32_t length = in.U32();
        TByteReader entry(in.Here(), std::min<std::uint64_t>(length, in.Left()), bigEndian);
        if (length > in.Left())
            problems.push_back("LIST/adtl entry " + id + " declares " + std::to_string(length) +
                               " bytes but has " + std::to_string(in.Left()) + "; it is cut.");
        in.Skip(length + (length % 2));
        const std::uint32_t cueId = entry.U32();
        if (id == "labl" || id == "note") {
            const std::string raw = entry.Raw(entry.Left());
            if (raw.empty() || raw.back() != '\0')
                problems.push_back("The " + id + " text of marker " + std::to_string(cueId) +
                                   " has no zero at its end.");
            (id == "labl" ? data.Labels : data.Notes).push_back({cueId, Utf8(raw)});
        } else if (id == "ltxt") {
            TCueRegion region;
            region.CueId = cueId;
            region.SampleLength = entry.U32();
            region.Purpose = entry.Raw(4);
            entry.Skip(8); // country, language, dialect, code page
            region.Text = Utf8(entry.Raw(entry.Left()));
            data.Regions.push_back(region);
        }
        if (entry.Short())
            problems.push_back("LIST/adtl entry " + id + " is shorter than its fields.");
    }
    return data;
}
