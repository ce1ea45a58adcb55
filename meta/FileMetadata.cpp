// Every metadata chunk of a file, each to its decoder; markers joined to their texts.
#include <cstdio>
#include <map>

#include "meta/Metadata.h"

namespace {

bool IsList(const TMetaChunk& chunk, const char* form) {
    return chunk.Id == "LIST" && chunk.BodySize >= 4 &&
           std::string(reinterpret_cast<const char*>(chunk.Body), 4) == form;
}

} // namespace

std::string TimeOfDay(std::uint64_t frames, std::uint32_t rate) {
    if (rate == 0)
        return "unknown";
    const std::uint64_t millis = frames * 1000 / rate;
    char text[32];
    std::snprintf(text, sizeof text, "%02llu:%02llu:%02llu.%03llu",
                  static_cast<unsigned long long>(millis / 3'600'000),
                  static_cast<unsigned long long>(millis / 60'000 % 60),
                  static_cast<unsigned long long>(millis / 1000 % 60),
                  static_cast<unsigned long long>(millis % 1000));
    return text;
}

TFileMetadata DecodeMetadata(const std::vector<TMetaChunk>& chunks, std::uint32_t sampleRate,
                             bool bigEndian) {
    TFileMetadata meta;
    meta.SampleRate = sampleRate;
    TProblems& problems = meta.Problems;
    std::vector<TCuePoint> cues;
    TAssociatedData adtl;
    for (const TMetaChunk& chunk : chunks) {
        const std::uint8_t* body = chunk.Body;
        const std::uint64_t size = chunk.BodySize;
        if (size < chunk.Size)
            problems.push_back("The " + chunk.Id + " chunk is cut short: " + std::to_string(size) +
                               " of its " + std::to_string(chunk.Size) + " bytes are there.");
        if (IsList(chunk, "INFO")) {
            auto fields = DecodeInfo(body + 4, size - 4, bigEndian, problems);
            meta.Info.insert(meta.Info.end(), fields.begin(), fields.end());
        } else if (IsList(chunk, "adtl")) {
            TAssociatedData more = DecodeAdtl(body + 4, size - 4, bigEndian, problems);
            adtl.Labels.insert(adtl.Labels.end(), more.Labels.begin(), more.Labels.end());
            adtl.Notes.insert(adtl.Notes.end(), more.Notes.begin(), more.Notes.end());
            adtl.Regions.insert(adtl.Regions.end(), more.Regions.begin(), more.Regions.end());
        } else if (chunk.Id == "bext") {
            meta.Bext = DecodeBext(body, size, bigEndian, problems);
        } else if (chunk.Id == "iXML") {
            meta.Ixml =
                IndentXml(std::string(reinterpret_cast<const char*>(body), size), "iXML", problems);
        } else if (chunk.Id == "axml") {
            meta.Axml =
                IndentXml(std::string(reinterpret_cast<const char*>(body), size), "axml", problems);
        } else if (chunk.Id == "cue ") {
            cues = DecodeCue(body, size, bigEndian, problems);
        } else if (chunk.Id == "smpl") {
            meta.Sampler = DecodeSmpl(body, size, bigEndian, problems);
        } else if (chunk.Id == "inst") {
            meta.Instrument = DecodeInst(body, size, problems);
        } else if (chunk.Id == "fact" && size >= 4) {
            meta.FactSamples =
                bigEndian ? std::uint32_t(body[0] << 24 | body[1] << 16 | body[2] << 8 | body[3])
                          : std::uint32_t(body[0] | body[1] << 8 | body[2] << 16 |
                                          std::uint32_t(body[3]) << 24);
        } else if (chunk.Id == "PEAK") {
            meta.Peak = DecodePeak(body, size, bigEndian, problems);
        } else if (chunk.Id == "acid") {
            meta.Acid = DecodeAcid(body, size, bigEndian, problems);
        } else if (chunk.Id == "ds64") {
            meta.Ds64 = DecodeDs64(body, size, problems);
        } else if (chunk.Id == "id3 " || chunk.Id == "ID3 ") {
            meta.Id3 = DecodeId3(body, size, problems);
        } else {
            meta.Other.push_back({chunk.Id, chunk.Offset, chunk.Size});
        }
    }
    // Each cue point is a marker, named by the labels, notes and regions of its id.
    std::map<std::uint32_t, std::size_t> byId;
    for (const TCuePoint& cue : cues) {
        byId[cue.Id] = meta.Markers.size();
        meta.Markers.push_back({cue.Id, cue.SampleOffset, {}, {}, std::nullopt});
    }
    const auto markerOf = [&](std::uint32_t id, const char* what) -> TMarker* {
        const auto found = byId.find(id);
        if (found == byId.end()) {
            problems.push_back(std::string("A ") + what + " names marker " + std::to_string(id) +
                               ", which no cue point has.");
            return nullptr;
        }
        return &meta.Markers[found->second];
    };
    for (const TCueText& label : adtl.Labels)
        if (TMarker* marker = markerOf(label.CueId, "label"))
            marker->Label = label.Text;
    for (const TCueText& note : adtl.Notes)
        if (TMarker* marker = markerOf(note.CueId, "note"))
            marker->Note = note.Text;
    for (const TCueRegion& region : adtl.Regions)
        if (TMarker* marker = markerOf(region.CueId, "region")) {
            marker->Length = region.SampleLength;
            if (marker->Label.empty())
                marker->Label = region.Text;
        }
    return meta;
}
