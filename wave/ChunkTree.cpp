#include "wave/ChunkTree.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "meta/MetadataText.h"
#include "wave/ByteOrder.h"

namespace {

constexpr std::uint64_t HeaderBytes = 8;
constexpr std::uint64_t Ds64FixedBytes = 28; // three 64-bit sizes and the table's length
constexpr std::uint64_t Ds64EntryBytes = 12; // an id and a 64-bit size

std::string Hex(std::uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

// Takes one of each of `taken` out of `all`; what is left is said of no node below.
std::vector<std::string> Unclaimed(std::vector<std::string> all,
                                   const std::vector<std::string>& taken) {
    if (taken.empty())
        return all;
    // Each taken problem removes the first of its kind still there.
    std::unordered_map<std::string_view, std::size_t> toTake;
    for (const std::string& problem : taken)
        ++toTake[problem];
    std::vector<std::string> left;
    for (std::string& problem : all) {
        const auto found = toTake.find(problem);
        if (found != toTake.end() && found->second > 0)
            --found->second;
        else
            left.push_back(std::move(problem));
    }
    return left;
}

void CollectProblems(const TChunkNode& node, std::vector<std::string>& into) {
    into.insert(into.end(), node.Problems.begin(), node.Problems.end());
    for (const TChunkNode& child : node.Children)
        CollectProblems(child, into);
}

// The lines of metadata groups, titled where there is more than one.
std::vector<std::string> GroupLines(const std::vector<TMetaGroup>& groups) {
    std::vector<std::string> lines;
    for (const TMetaGroup& group : groups) {
        if (group.Title == "Other chunks")
            continue; // its id, offset and size: the node says them already
        if (groups.size() > 1)
            lines.push_back(group.Title + ":");
        for (const std::string& line : group.Lines)
            lines.push_back(groups.size() > 1 ? "  " + line : line);
    }
    return lines;
}

class TTreeBuilder {
  public:
    explicit TTreeBuilder(const TAudioFile& file)
        : File(file), Facts(file.Facts), Bytes(file.Bytes ? file.Bytes->Data() : nullptr),
          Size(file.Bytes ? file.Bytes->Size() : 0), BigEndian(Facts.Container == "RIFX"),
          Rate(Facts.HasFormat ? Facts.Format.SampleRate : 0), Meta(MetadataChunks(file)) {
        for (std::size_t i = 0; i < Meta.size(); ++i)
            MetaByOffset.emplace_back(Meta[i].Offset, i);
        std::stable_sort(MetaByOffset.begin(), MetaByOffset.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    TChunkNode Build();

  private:
    TChunkNode ChunkNode(const TAudioChunk& chunk);
    void FormatFields(TChunkNode& node) const;
    void DataFields(TChunkNode& node) const;
    void MetadataFields(TChunkNode& node, const TMetaChunk& chunk) const;
    void ListEntries(TChunkNode& list) const;
    void Ds64Entries(TChunkNode& ds64) const;
    std::uint64_t Room(std::uint64_t body) const { return body < Size ? Size - body : 0; }

    const TAudioFile& File;
    const TAudioFacts& Facts;
    const std::uint8_t* Bytes;
    std::uint64_t Size;
    bool BigEndian;
    std::uint32_t Rate;
    std::vector<TMetaChunk> Meta;
    std::vector<std::pair<std::uint64_t, std::size_t>> MetaByOffset; // offset, index in Meta
    bool FormatTaken = false, DataTaken = false;
};

TChunkNode TTreeBuilder::Build() {
    TChunkNode root;
    root.Id = Facts.Container;
    root.Offset = 0;
    root.HeaderSize = 12;
    if (Facts.IsWave) {
        root.Form = "WAVE";
        root.Declared = Facts.RiffSize;
        root.Used = Size - HeaderBytes;
        root.Fields.push_back("Container: " + Facts.Container + " (form WAVE)");
        root.Fields.push_back("File size: " + std::to_string(Size) + " bytes");
        root.Fields.push_back(
            "Size after the header's first 8 bytes: " + std::to_string(Facts.RiffSize) +
            " (the file has " + std::to_string(Size - HeaderBytes) + ")");
        root.Children.reserve(Facts.Chunks.size());
        for (const TAudioChunk& chunk : Facts.Chunks)
            root.Children.push_back(ChunkNode(chunk));
    }
    // What no chunk claims is the file's: its size, a missing chunk, bytes at its end.
    std::vector<std::string> claimed;
    for (const TChunkNode& child : root.Children)
        CollectProblems(child, claimed);
    std::vector<std::string> all = Facts.Problems;
    if (Facts.IsWave) {
        const TFileMetadata meta = MetadataOf(File);
        all.insert(all.end(), meta.Problems.begin(), meta.Problems.end());
    }
    root.Problems = Unclaimed(std::move(all), claimed);
    return root;
}

TChunkNode TTreeBuilder::ChunkNode(const TAudioChunk& chunk) {
    TChunkNode node;
    node.Id = chunk.Id;
    node.Offset = chunk.Offset;
    node.Declared = chunk.Size;
    const std::uint64_t body = chunk.Offset + HeaderBytes;
    node.Used = std::min(chunk.Size, Room(body));
    if (chunk.Size % 2 == 1)
        node.Pad = chunk.Padded ? pbPresent : body + chunk.Size <= Size ? pbMissing : pbNone;
    node.Problems = chunk.Problems;
    const std::uint32_t written = ReadU32(Bytes + chunk.Offset + 4, BigEndian);
    if (written != chunk.Size)
        node.Fields.push_back(
            "The header's size field says " + Hex(written, 8) +
            (Facts.Container == "RIFF" || Facts.Container == "RIFX"
                 ? "; the size taken is " + std::to_string(chunk.Size)
                 : "; the size is taken from ds64: " + std::to_string(chunk.Size)));
    if (chunk.Id == "fmt " && !FormatTaken) {
        FormatTaken = true;
        FormatFields(node);
    } else if (chunk.Id == "data" && !DataTaken && Facts.HasData && body == Facts.DataOffset) {
        DataTaken = true;
        node.Used = Facts.DataSize;
        DataFields(node);
    }
    for (auto at = std::lower_bound(MetaByOffset.begin(), MetaByOffset.end(),
                                    std::pair{chunk.Offset, std::size_t(0)});
         at != MetaByOffset.end() && at->first == chunk.Offset; ++at)
        MetadataFields(node, Meta[at->second]);
    if (chunk.Id == "LIST")
        ListEntries(node);
    if (chunk.Id == "ds64")
        Ds64Entries(node);
    return node;
}

void TTreeBuilder::FormatFields(TChunkNode& node) const {
    const TWaveFormat& f = Facts.Format;
    auto& lines = node.Fields;
    lines.push_back("Format tag: " + Hex(f.FormatTag, 4) +
                    (f.FormatTag == ftExtensible ? " (extensible)" : ""));
    lines.push_back("Encoding: " + EncodingName(f) +
                    (f.EncodingTag != f.FormatTag ? " (" + Hex(f.EncodingTag, 4) + ")" : ""));
    lines.push_back("Channels: " + std::to_string(f.Channels));
    lines.push_back("Samples a second: " + std::to_string(f.SampleRate));
    lines.push_back("Bytes a second: " + std::to_string(f.ByteRate));
    lines.push_back("Block align: " + std::to_string(f.BlockAlign));
    lines.push_back("Bits a sample: " + std::to_string(f.BitsPerSample));
    if (node.Used >= 18) // the bytes there, not what a cut header claims
        lines.push_back("Extra bytes (cbSize): " +
                        std::to_string(ReadU16(Bytes + node.BodyOffset() + 16, BigEndian)));
    if (f.FormatTag == ftExtensible) {
        lines.push_back("Valid bits: " + std::to_string(f.ValidBits));
        lines.push_back("Channel mask: " + Hex(f.ChannelMask, 8));
    }
    if (f.SamplesPerBlock != 0)
        lines.push_back("Frames a block: " + std::to_string(f.SamplesPerBlock));
}

void TTreeBuilder::DataFields(TChunkNode& node) const {
    node.Fields.push_back("Audio from offset " + std::to_string(Facts.DataOffset) + ", " +
                          std::to_string(Facts.DataSize) + " bytes");
    if (Facts.Decodable)
        node.Fields.push_back("Frames: " + std::to_string(Facts.Frames) + " (" +
                              SecondsText(Facts.Frames, Rate) + ")");
}

void TTreeBuilder::MetadataFields(TChunkNode& node, const TMetaChunk& chunk) const {
    std::vector<TMetaChunk> chunks = {chunk};
    std::vector<std::string> joined;
    const bool adtl =
        chunk.Id == "LIST" && chunk.BodySize >= 4 && std::equal(chunk.Body, chunk.Body + 4, "adtl");
    if (adtl) {
        // Its labels name cue points: read with the file's cue chunks, and what those say
        // of themselves is theirs.
        std::vector<TMetaChunk> cues;
        for (const TMetaChunk& other : Meta)
            if (other.Id == "cue ")
                cues.push_back(other);
        joined = DecodeMetadata(cues, Rate, BigEndian).Problems;
        chunks.insert(chunks.begin(), cues.begin(), cues.end());
    }
    const TFileMetadata meta = DecodeMetadata(chunks, Rate, BigEndian);
    const std::vector<std::string> lines = GroupLines(MetadataText(meta));
    node.Fields.insert(node.Fields.end(), lines.begin(), lines.end());
    const std::vector<std::string> own = Unclaimed(meta.Problems, joined);
    node.Problems.insert(node.Problems.end(), own.begin(), own.end());
}

void TTreeBuilder::ListEntries(TChunkNode& list) const {
    if (list.Used < 4)
        return;
    const std::uint64_t body = list.BodyOffset();
    list.Form.assign(reinterpret_cast<const char*>(Bytes + body), 4);
    const std::uint64_t end = body + list.Used;
    std::uint64_t at = body + 4;
    while (end - at >= HeaderBytes) {
        TChunkNode entry;
        entry.Id.assign(reinterpret_cast<const char*>(Bytes + at), 4);
        entry.Offset = at;
        entry.Declared = ReadU32(Bytes + at + 4, BigEndian);
        entry.Used = std::min(entry.Declared, end - at - HeaderBytes);
        std::uint64_t next = at + HeaderBytes + entry.Used;
        if (entry.Declared % 2 == 1 && entry.Used == entry.Declared) {
            entry.Pad = next < end ? pbPresent : pbMissing;
            next += next < end ? 1 : 0;
        }
        // Each entry read alone by its list's decoder: what it says and what is wrong with it.
        const std::uint64_t bytes = next - at;
        if (list.Form == "INFO") {
            for (const TInfoField& field : DecodeInfo(Bytes + at, bytes, BigEndian, entry.Problems))
                entry.Fields.push_back(
                    field.Name + ": " + field.Text +
                    (field.Encoding == "UTF-8" ? "" : " (" + field.Encoding + ")"));
        } else if (list.Form == "adtl") {
            const TAssociatedData data = DecodeAdtl(Bytes + at, bytes, BigEndian, entry.Problems);
            for (const TCueText& label : data.Labels)
                entry.Fields.push_back("Label of cue " + std::to_string(label.CueId) + ": " +
                                       label.Text);
            for (const TCueText& note : data.Notes)
                entry.Fields.push_back("Note of cue " + std::to_string(note.CueId) + ": " +
                                       note.Text);
            for (const TCueRegion& region : data.Regions)
                entry.Fields.push_back("Region of cue " + std::to_string(region.CueId) + ": " +
                                       std::to_string(region.SampleLength) + " frames, " +
                                       region.Text);
        }
        list.Children.push_back(std::move(entry));
        at = next;
    }
    // What the entries say of themselves is theirs, not the list's as well.
    std::vector<std::string> theirs;
    for (const TChunkNode& entry : list.Children)
        CollectProblems(entry, theirs);
    list.Problems = Unclaimed(std::move(list.Problems), theirs);
}

void TTreeBuilder::Ds64Entries(TChunkNode& ds64) const {
    if (ds64.Used < Ds64FixedBytes)
        return;
    const std::uint64_t body = ds64.BodyOffset();
    const std::uint32_t count = ReadU32(Bytes + body + 24, false);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = Ds64FixedBytes + std::uint64_t(i) * Ds64EntryBytes;
        if (at + Ds64EntryBytes > ds64.Used)
            break;
        TChunkNode entry;
        entry.Id.assign(reinterpret_cast<const char*>(Bytes + body + at), 4);
        entry.Offset = body + at;
        entry.HeaderSize = 0;
        entry.Declared = ReadU64(Bytes + body + at + 4, false);
        entry.Used = Ds64EntryBytes;
        entry.TableEntry = true;
        entry.Fields.push_back("The " + entry.Id +
                               " chunk's size: " + std::to_string(entry.Declared));
        ds64.Children.push_back(std::move(entry));
    }
}

} // namespace

TChunkNode ChunkTreeOf(const TAudioFile& file) {
    return TTreeBuilder(file).Build();
}

std::string PadByteText(TPadByte pad) {
    switch (pad) {
    case pbPresent:
        return "present";
    case pbMissing:
        return "missing";
    case pbNone:
        break;
    }
    return "none";
}
