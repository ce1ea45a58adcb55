#pragma once
// What a WAV file's metadata chunks say, decoded: each chunk kind's values as plain data, for
// the window and riffdump to show. Problems with damaged chunks are said in words; a damaged
// chunk is decoded as far as it goes.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using TProblems = std::vector<std::string>;

// One text of a LIST/INFO chunk.
struct TInfoField {
    std::string Id;       // "IART", ...
    std::string Name;     // "Artist", ...; the id where it has no name
    std::string Text;     // as UTF-8
    std::string Encoding; // "UTF-8" or "Latin-1": how the bytes were read
};

// A broadcast wave description.
struct TBext {
    std::string Description, Originator, OriginatorReference, OriginationDate, OriginationTime;
    std::uint64_t TimeReference = 0; // frames since midnight
    std::uint16_t Version = 0;
    std::string Umid; // hexadecimal, empty when all zeros
    // Loudness values (version 2 on), absent where the chunk says "not given".
    std::optional<double> LoudnessValue, LoudnessRange, MaxTruePeakLevel, MaxMomentaryLoudness,
        MaxShortTermLoudness;
    std::string CodingHistory;
};

struct TCuePoint {
    std::uint32_t Id = 0;
    std::uint32_t Position = 0;
    std::string DataChunkId;
    std::uint32_t ChunkStart = 0, BlockStart = 0, SampleOffset = 0;
};

// The associated data of markers (LIST/adtl): labels, notes and labelled regions.
struct TCueText {
    std::uint32_t CueId = 0;
    std::string Text;
};
struct TCueRegion {
    std::uint32_t CueId = 0;
    std::uint32_t SampleLength = 0;
    std::string Purpose;
    std::string Text;
};
struct TAssociatedData {
    std::vector<TCueText> Labels, Notes;
    std::vector<TCueRegion> Regions;
};

// A marker: a cue point with what the associated data says of it.
struct TMarker {
    std::uint32_t Id = 0;
    std::uint64_t Frame = 0; // the cue point's sample offset; frames count from 0
    std::string Label, Note;
    std::optional<std::uint64_t> Length; // a region's length in frames
};

struct TSampleLoop {
    std::uint32_t Id = 0, Type = 0, Start = 0, End = 0, Fraction = 0, PlayCount = 0;
};
struct TSampler {
    std::uint32_t Manufacturer = 0, Product = 0, SamplePeriod = 0, UnityNote = 0, PitchFraction = 0,
                  SmpteFormat = 0, SmpteOffset = 0;
    double FineTuneCents = 0;
    std::vector<TSampleLoop> Loops;
};

struct TInstrument {
    int UnshiftedNote = 0, FineTune = 0, Gain = 0, LowNote = 0, HighNote = 0, LowVelocity = 0,
        HighVelocity = 0;
};

struct TPeakEnvelope {
    std::uint32_t Version = 0, Timestamp = 0;
    std::vector<std::pair<float, std::uint32_t>> Peaks; // value and position, per channel
};

struct TAcid {
    std::uint32_t Flags = 0;
    std::uint16_t RootNote = 0;
    std::uint32_t Beats = 0;
    std::uint16_t MeterDenominator = 0, MeterNumerator = 0;
    float Tempo = 0;
    bool OneShot() const { return Flags & 1; }
    bool RootNoteSet() const { return Flags & 2; }
    bool Stretch() const { return Flags & 4; }
    bool DiskBased() const { return Flags & 8; }
};

struct TDs64Sizes {
    std::uint64_t RiffSize = 0, DataSize = 0, SampleCount = 0;
    std::vector<std::pair<std::string, std::uint64_t>> Table;
};

struct TId3Tags {
    std::string Title, Artist, Album;
};

struct TOtherChunk {
    std::string Id;
    std::uint64_t Offset = 0, Size = 0;
};

struct TFileMetadata {
    std::uint32_t SampleRate = 0;
    std::vector<TInfoField> Info;
    std::optional<TBext> Bext;
    std::optional<std::string> Ixml, Axml; // indented for reading
    std::vector<TMarker> Markers;
    std::optional<TSampler> Sampler;
    std::optional<TInstrument> Instrument;
    std::optional<std::uint32_t> FactSamples;
    std::optional<TPeakEnvelope> Peak;
    std::optional<TAcid> Acid;
    std::optional<TDs64Sizes> Ds64;
    std::optional<TId3Tags> Id3;
    std::vector<TOtherChunk> Other; // chunks shown by id, offset and size only
    TProblems Problems;
};

// One chunk as the file holds it: its id, where its header starts, its size, and the bytes of
// its body that are there (`Body` points into the file's bytes).
struct TMetaChunk {
    std::string Id;
    std::uint64_t Offset = 0;
    std::uint64_t Size = 0;
    const std::uint8_t* Body = nullptr;
    std::uint64_t BodySize = 0; // what is there of the body: less than Size when cut short
};

// Every metadata chunk of a file decoded (fmt and data are not metadata), markers joined to
// their labels, notes and regions by cue id.
TFileMetadata DecodeMetadata(const std::vector<TMetaChunk>& chunks, std::uint32_t sampleRate,
                             bool bigEndian);

// The decoders, one per chunk kind: `body` and `size` are the chunk's body.
std::vector<TInfoField> DecodeInfo(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                                   TProblems& problems); // the body after "INFO"
TBext DecodeBext(const std::uint8_t* body, std::uint64_t size, bool bigEndian, TProblems& problems);
// iXML and axml laid out one element to a line, indented two spaces a level up to 32 levels
// (deeper lines keep the 32nd level's indentation), so the text stays linear in the chunk.
std::string IndentXml(const std::string& text, const std::string& chunk, TProblems& problems);
std::vector<TCuePoint> DecodeCue(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                                 TProblems& problems);
TAssociatedData DecodeAdtl(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                           TProblems& problems); // the body after "adtl"
TSampler DecodeSmpl(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                    TProblems& problems);
TInstrument DecodeInst(const std::uint8_t* body, std::uint64_t size, TProblems& problems);
TPeakEnvelope DecodePeak(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                         TProblems& problems);
TAcid DecodeAcid(const std::uint8_t* body, std::uint64_t size, bool bigEndian, TProblems& problems);
TDs64Sizes DecodeDs64(const std::uint8_t* body, std::uint64_t size, TProblems& problems);
TId3Tags DecodeId3(const std::uint8_t* body, std::uint64_t size, TProblems& problems);

// A time of day from frames since midnight at `rate`: hh:mm:ss.mmm.
std::string TimeOfDay(std::uint64_t frames, std::uint32_t rate);
