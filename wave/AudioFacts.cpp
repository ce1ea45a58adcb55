#include "wave/AudioFacts.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "meta/Metadata.h"
#include "wave/ByteOrder.h"

namespace {

constexpr std::uint32_t SizeFromDs64 = 0xFFFFFFFFu;
constexpr std::uint64_t HeaderBytes = 8;
constexpr std::uint64_t RiffHeaderBytes = 12;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// An id for people: its bytes up to the first zero byte.
std::string IdText(const std::uint8_t* id) {
    std::size_t length = 0;
    while (length < 4 && id[length] != 0)
        ++length;
    return std::string(reinterpret_cast<const char*>(id), length);
}

std::string RawId(const std::uint8_t* id) {
    return std::string(reinterpret_cast<const char*>(id), 4);
}

bool IdIs(const std::uint8_t* id, const char (&text)[5]) {
    return std::memcmp(id, text, 4) == 0;
}

// Whether four bytes read like a chunk id: printable ASCII, as every writer uses.
bool LooksLikeId(const std::uint8_t* id) {
    return std::all_of(id, id + 4, [](std::uint8_t c) { return c >= 0x20 && c < 0x7F; });
}

std::string Number(std::uint64_t value) {
    return std::to_string(value);
}

std::string ByteCount(std::uint64_t count) {
    return Number(count) + (count == 1 ? " byte" : " bytes");
}

// The sizes that an RF64 or BW64 file keeps in its ds64 chunk: none when the chunk is too short
// for the RIFF and data sizes. What else is wrong with it the metadata says.
std::optional<TDs64Sizes> ReadDs64(const std::uint8_t* body, std::uint64_t size,
                                   TAudioFacts& facts) {
    constexpr std::uint64_t SizesBytes = 24;
    if (size < SizesBytes) {
        facts.Problem("The ds64 chunk has " + ByteCount(size) +
                      ", fewer than the 24 its sizes need.");
        return std::nullopt;
    }
    TProblems told; // by the metadata, once
    return DecodeDs64(body, size, told);
}

std::uint16_t ContainerBytesFor(const TWaveFormat& f, TAudioFacts& facts) {
    const std::uint16_t needed = std::uint16_t((f.BitsPerSample + 7) / 8);
    if (f.Channels == 0 || needed == 0)
        return 0;
    if (f.BlockAlign % f.Channels == 0) {
        const int each = f.BlockAlign / f.Channels;
        if (each >= needed && each <= 8)
            return std::uint16_t(each);
    }
    facts.Problem("The block align says " + Number(f.BlockAlign) + " bytes a frame, but " +
                  Number(f.Channels) + " channels of " + Number(f.BitsPerSample) + " bits take " +
                  Number(std::uint64_t(f.Channels) * needed) + "; frames of " +
                  Number(std::uint64_t(f.Channels) * needed) + " bytes are read.");
    return needed;
}

// Names the encoding from the tag and checks that its sizes make sense.
void SetEncoding(TWaveFormat& f, TAudioFacts& facts) {
    switch (f.EncodingTag) {
    case ftPcm:
        f.Encoding = sePcm;
        if (f.BitsPerSample < 1 || f.BitsPerSample > 64) {
            facts.Refuse("Integer PCM of " + Number(f.BitsPerSample) +
                         " bits is not decoded (1 to 64 bits are).");
            f.Encoding = seUnknown;
        }
        break;
    case ftFloat:
        f.Encoding = seFloat;
        if (f.BitsPerSample != 32 && f.BitsPerSample != 64) {
            facts.Refuse("IEEE float of " + Number(f.BitsPerSample) +
                         " bits is not decoded (32 and 64 bits are).");
            f.Encoding = seUnknown;
        }
        break;
    case ftALaw:
        f.Encoding = seALaw;
        break;
    case ftMuLaw:
        f.Encoding = seMuLaw;
        break;
    case ftImaAdpcm:
        f.Encoding = seImaAdpcm;
        break;
    case ftMsAdpcm:
        f.Encoding = seMsAdpcm;
        break;
    case ftGsm610:
        f.Encoding = seGsm610;
        break;
    default: {
        char tag[8];
        std::snprintf(tag, sizeof tag, "0x%04X", f.EncodingTag);
        facts.Refuse(std::string("The encoding ") + tag + " is not one this program decodes.");
        f.Encoding = seUnknown;
    }
    }
    if (f.Encoding == seALaw || f.Encoding == seMuLaw) {
        if (f.BitsPerSample != 8)
            facts.Problem("The format says " + Number(f.BitsPerSample) +
                          " bits a sample; this encoding has 8.");
        f.ContainerBytes = 1;
        if (f.BlockAlign != f.Channels)
            facts.Problem("The block align says " + Number(f.BlockAlign) + " bytes a frame; " +
                          Number(f.Channels) + " channels of this encoding take " +
                          Number(f.Channels) + ".");
    }
    if (f.IsPlain())
        f.ContainerBytes = ContainerBytesFor(f, facts);
}

// The sub-format's fixed part after its tag: two 16-bit fields (in the file's byte order) and
// eight bytes.
constexpr std::uint16_t SubFormatData2 = 0x0000, SubFormatData3 = 0x0010;
const std::uint8_t SubFormatData4[8] = {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

} // namespace

TWaveFormat ReadFormatChunk(const std::uint8_t* body, std::uint64_t size, bool bigEndian,
                            TAudioFacts& facts) {
    TWaveFormat f;
    f.BigEndian = bigEndian;
    f.Body.assign(body, body + std::min<std::uint64_t>(size, 4096));
    if (size < 14) {
        facts.Refuse("The format chunk has " + ByteCount(size) + ", fewer than 14.");
        return f;
    }
    f.FormatTag = ReadU16(body, bigEndian);
    f.EncodingTag = f.FormatTag;
    f.Channels = ReadU16(body + 2, bigEndian);
    f.SampleRate = ReadU32(body + 4, bigEndian);
    f.ByteRate = ReadU32(body + 8, bigEndian);
    f.BlockAlign = ReadU16(body + 12, bigEndian);
    if (size >= 16)
        f.BitsPerSample = ReadU16(body + 14, bigEndian);
    else if (f.Channels > 0)
        f.BitsPerSample = std::uint16_t(8 * (f.BlockAlign / f.Channels)); // the oldest form
    f.ValidBits = f.BitsPerSample;
    if (f.FormatTag == ftExtensible) {
        if (size < 40) {
            facts.Problem("An extensible format chunk needs 40 bytes; this one has " +
                          Number(size) + ".");
            f.EncodingTag = 0;
        } else {
            const std::uint16_t valid = ReadU16(body + 18, bigEndian);
            f.ChannelMask = ReadU32(body + 20, bigEndian);
            // The sub-format's first field is the tag; the other twelve bytes are fixed.
            f.EncodingTag = std::uint16_t(ReadU32(body + 24, bigEndian));
            if (ReadU32(body + 24, bigEndian) > 0xFFFF ||
                ReadU16(body + 28, bigEndian) != SubFormatData2 ||
                ReadU16(body + 30, bigEndian) != SubFormatData3 ||
                std::memcmp(body + 32, SubFormatData4, sizeof SubFormatData4) != 0)
                facts.Problem("The extensible format's sub-format is not of the usual kind; its "
                              "first two bytes are taken as the tag.");
            if (valid > f.BitsPerSample)
                facts.Problem("The format says " + Number(valid) + " valid bits in samples of " +
                              Number(f.BitsPerSample) + "; all " + Number(f.BitsPerSample) +
                              " are taken.");
            else if (valid != 0)
                f.ValidBits = valid;
        }
    }
    if (f.EncodingTag == ftImaAdpcm || f.EncodingTag == ftMsAdpcm) {
        // After cbSize, the frames each block codes.
        if (size >= 20)
            f.SamplesPerBlock = ReadU16(body + 18, bigEndian);
    }
    if (f.Channels == 0)
        facts.Refuse("The format says 0 channels, so there are no samples to read.");
    if (f.SampleRate == 0)
        facts.Problem("The format says 0 samples a second: no times can be given.");
    SetEncoding(f, facts);
    if (f.IsPlain() && f.SampleRate != 0 &&
        std::uint64_t(f.ByteRate) != std::uint64_t(f.SampleRate) * f.BlockAlign)
        facts.Problem("The byte rate says " + Number(f.ByteRate) + " but rate x block align is " +
                      Number(std::uint64_t(f.SampleRate) * f.BlockAlign) + ".");
    return f;
}

namespace {

// Frames in `bytes` of data for a block-coded encoding (a last short block counts as far as
// it goes).
std::uint64_t BlockCodedFrames(const TWaveFormat& f, std::uint64_t bytes) {
    if (f.BlockAlign == 0 || f.Channels == 0)
        return 0;
    std::uint64_t perBlock = f.SamplesPerBlock;
    if (f.Encoding == seGsm610)
        perBlock = 320;
    return bytes / f.BlockAlign * perBlock;
}

class TChunkWalk {
  public:
    TChunkWalk(const std::uint8_t* bytes, std::uint64_t size, TAudioFacts& facts)
        : Bytes(bytes), Size(size), Facts(facts) {}

    void Run();

  private:
    // Whether a chunk header could start at `at`: a printable id and a body inside the file.
    bool HeaderFits(std::uint64_t at) const {
        return at + HeaderBytes <= Size && LooksLikeId(Bytes + at) &&
               ReadU32(Bytes + at + 4, BigEndian) <= Size - at - HeaderBytes;
    }
    std::uint64_t SizeOf(const std::uint8_t* id, std::uint32_t declared);
    void TakeData(std::uint64_t body, std::uint64_t declared, bool placeholder);

    const std::uint8_t* Bytes;
    std::uint64_t Size;
    TAudioFacts& Facts;
    bool BigEndian = false;
    std::optional<TDs64Sizes> Ds64;
    std::uint64_t DataDeclared = 0;
    bool DataSeen = false, FormatSeen = false, DataBeforeFormat = false;
};

std::uint64_t TChunkWalk::SizeOf(const std::uint8_t* id, std::uint32_t declared) {
    if (declared != SizeFromDs64 || !Ds64)
        return declared;
    if (IdIs(id, "data"))
        return Ds64->DataSize;
    for (const auto& [tableId, size] : Ds64->Table)
        if (std::memcmp(tableId.data(), id, 4) == 0)
            return size;
    return declared;
}

void TChunkWalk::TakeData(std::uint64_t body, std::uint64_t declared, bool placeholder) {
    const std::uint64_t present = Size - body;
    Facts.HasData = true;
    Facts.DataOffset = body;
    DataDeclared = declared;
    if (placeholder) {
        Facts.DataSize = present;
        Facts.Problem("The data chunk's size is a placeholder (" + Number(declared) +
                      "); the data is taken to the end of the file: " + Number(present) +
                      " bytes.");
    } else if (declared > present) {
        Facts.DataSize = present;
        Facts.Problem("The data chunk declares " + Number(declared) +
                      " bytes but the file ends after " + Number(present) +
                      "; the frames present are taken.");
    } else {
        Facts.DataSize = declared;
    }
}

void TChunkWalk::Run() {
    const std::uint8_t* id = Bytes;
    Facts.FileSize = Size;
    if (Size < RiffHeaderBytes) {
        Facts.Refuse(Size == 0 ? "The file is empty."
                               : "The file has " + ByteCount(Size) + ": too short for a WAV file.");
        return;
    }
    const bool rf64 = IdIs(id, "RF64") || IdIs(id, "BW64");
    BigEndian = IdIs(id, "RIFX");
    if (!IdIs(id, "RIFF") && !BigEndian && !rf64) {
        Facts.Refuse("Not a WAV file: it starts with " + Quoted(IdText(id)) + ".");
        return;
    }
    if (!IdIs(Bytes + 8, "WAVE")) {
        Facts.Refuse("Not a WAV file: a " + IdText(id) + " file of form " +
                     Quoted(IdText(Bytes + 8)) + ".");
        return;
    }
    Facts.IsWave = true;
    Facts.Container = RawId(id);
    Facts.RiffSize = ReadU32(Bytes + 4, BigEndian);
    std::uint64_t at = RiffHeaderBytes;
    // What is said of a ds64 chunk is said before the walk reaches it.
    std::size_t ds64Problems = Facts.Problems.size();
    if (rf64) {
        if (at + HeaderBytes <= Size && IdIs(Bytes + at, "ds64")) {
            const std::uint64_t size = ReadU32(Bytes + at + 4, false);
            const std::uint64_t room = Size - at - HeaderBytes;
            Ds64 = ReadDs64(Bytes + at + HeaderBytes, std::min(size, room), Facts);
        } else {
            Facts.Problem("The " + Facts.Container +
                          " file has no ds64 chunk first; its 32-bit sizes are taken.");
            ds64Problems = Facts.Problems.size();
        }
        if (Ds64 && Facts.RiffSize == SizeFromDs64)
            Facts.RiffSize = Ds64->RiffSize;
    }
    while (at < Size) {
        if (Size - at < HeaderBytes) {
            Facts.Problem("The file ends with " + ByteCount(Size - at) +
                          (Size - at == 1 ? " that is" : " that are") +
                          " not a whole chunk header.");
            break;
        }
        const std::uint8_t* header = Bytes + at;
        const std::uint32_t declared32 = ReadU32(header + 4, BigEndian);
        const std::uint64_t declared = SizeOf(header, declared32);
        const std::uint64_t body = at + HeaderBytes;
        const std::uint64_t room = Size - body;
        const bool isData = IdIs(header, "data");
        TAudioChunk chunk{RawId(header), at, declared, false, {}};
        // What is said from here on, until the chunk is listed, is said of it.
        const std::size_t problemsBefore =
            at == RiffHeaderBytes && IdIs(header, "ds64") ? ds64Problems : Facts.Problems.size();
        const auto listChunk = [&] {
            chunk.Problems.assign(Facts.Problems.begin() + std::ptrdiff_t(problemsBefore),
                                  Facts.Problems.end());
            Facts.Chunks.push_back(chunk);
        };
        if (isData && !DataSeen) {
            DataSeen = true;
            DataBeforeFormat = !FormatSeen;
            // A stream writer that could not come back to fill in the size leaves a
            // placeholder: all ones, or 0 with the samples following.
            const bool allOnes = declared == SizeFromDs64 && !(rf64 && Ds64);
            const bool zeroWithData = declared == 0 && room > 0 && !HeaderFits(body);
            TakeData(body, declared, allOnes || zeroWithData);
            chunk.Size = (allOnes || zeroWithData) ? Facts.DataSize : declared;
            if (allOnes || zeroWithData || declared > room) {
                listChunk();
                break; // the data runs to the end of the file
            }
        } else if (declared > room) {
            Facts.Problem("The " + Quoted(IdText(header)) + " chunk declares " + Number(declared) +
                          " bytes but the file ends after " + Number(room) + ".");
            if (IdIs(header, "fmt ") && !FormatSeen) {
                FormatSeen = true;
                Facts.HasFormat = true;
                Facts.Format = ReadFormatChunk(Bytes + body, room, BigEndian, Facts);
            }
            listChunk();
            break;
        } else if (IdIs(header, "fmt ") && !FormatSeen) {
            FormatSeen = true;
            Facts.HasFormat = true;
            Facts.Format = ReadFormatChunk(Bytes + body, declared, BigEndian, Facts);
        }
        std::uint64_t next = body + declared;
        if (declared % 2 == 1) {
            if (next == Size) {
                Facts.Problem("The " + Quoted(IdText(header)) +
                              " chunk's pad byte is missing at the end of the file.");
            } else if (!HeaderFits(next + 1) && HeaderFits(next)) {
                // Some writers leave out the pad byte: the next chunk follows at once.
                Facts.Problem("The " + Quoted(IdText(header)) + " chunk of odd size " +
                              Number(declared) + " is not followed by its pad byte.");
            } else {
                chunk.Padded = true;
                next += 1;
            }
        }
        listChunk();
        at = next;
    }
    if (!FormatSeen)
        Facts.Refuse("There is no format chunk.");
    if (!DataSeen)
        Facts.Refuse("There is no data chunk.");
    if (DataBeforeFormat && FormatSeen)
        Facts.Problem("The data chunk comes before the format chunk.");
    const std::uint64_t riffExpected = Size - HeaderBytes;
    if (Facts.RiffSize != riffExpected && !(Facts.RiffSize == SizeFromDs64 && !Ds64))
        Facts.Problem("The " + Facts.Container + " size says " + Number(Facts.RiffSize) +
                      " bytes follow its header, but the file has " + Number(riffExpected) + ".");
}

// Where fewer bits are valid than the container holds, most writers put them in the high bits
// (the low ones zero) and the value is the container's integer as stored. Some put them in
// the low bits with a zero or sign top byte; read as stored, those would be nonsense. The
// first frames tell which.
std::uint16_t ValueBitsOf(const TWaveFormat& f, const std::uint8_t* data, std::uint64_t frames) {
    const int width = 8 * f.ContainerBytes;
    const int valid = f.ValidBits;
    if (f.Encoding != sePcm || f.ContainerBytes < 2 || valid >= width || valid == 0)
        return std::uint16_t(width);
    const std::uint64_t samples = std::min<std::uint64_t>(frames, 65536) * f.Channels;
    const std::uint64_t lowMask = (std::uint64_t(1) << (width - valid)) - 1;
    const std::uint64_t widthMask =
        width == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << width) - 1;
    bool lowZero = true, fitsLow = true;
    for (std::uint64_t i = 0; i < samples && fitsLow; ++i) {
        const std::uint8_t* p = data + i * f.ContainerBytes;
        std::uint64_t raw = 0;
        for (int b = 0; b < f.ContainerBytes; ++b)
            raw = raw << 8 | p[f.BigEndian ? b : f.ContainerBytes - 1 - b];
        lowZero = lowZero && (raw & lowMask) == 0;
        // The low valid bits sign-extended to the container, and zero-padded.
        const std::uint64_t signExtended =
            std::uint64_t(std::int64_t(raw << (64 - valid)) >> (64 - valid)) & widthMask;
        fitsLow = raw >> valid == 0 || raw == signExtended;
    }
    return lowZero || !fitsLow ? std::uint16_t(width) : std::uint16_t(valid);
}

// The frames of the data, as the format says to read them.
void MeasureData(const std::uint8_t* bytes, TAudioFacts& facts) {
    const TWaveFormat& f = facts.Format;
    if (f.Encoding == seUnknown || f.Channels == 0) {
        if (facts.Refusal.empty())
            facts.Refuse("The format names no encoding this program decodes.");
        return;
    }
    if (f.IsPlain() || f.Encoding == seALaw || f.Encoding == seMuLaw) {
        const std::uint64_t frameBytes = f.FrameBytes();
        if (frameBytes == 0) {
            facts.Refuse("The format gives no size for a sample.");
            return;
        }
        facts.Frames = facts.DataSize / frameBytes;
        const std::uint64_t rest = facts.DataSize % frameBytes;
        if (rest != 0)
            facts.Problem("The data ends with " + ByteCount(rest) +
                          " of a frame that is not whole, left out.");
        facts.DataSize -= rest;
        TWaveFormat& format = facts.Format;
        format.ValueBits = ValueBitsOf(format, bytes + facts.DataOffset, facts.Frames);
        if (format.IsPlain() && format.ValueBits < 8 * format.ContainerBytes)
            facts.Problem("The " + Number(format.ValidBits) +
                          " valid bits stand in the low bits of " + Number(format.ContainerBytes) +
                          "-byte containers; they are read as " + Number(format.ValidBits) +
                          "-bit values.");
    } else {
        if (f.BlockAlign == 0) {
            facts.Refuse("The format says a block of 0 bytes.");
            return;
        }
        facts.Frames = BlockCodedFrames(f, facts.DataSize);
    }
    facts.Decodable = true;
    if (f.SampleRate != 0)
        facts.Seconds = double(facts.Frames) / f.SampleRate;
}

// Problems said after the walk are the format's or the data's.
void ListWithTheirChunks(TAudioFacts& facts, std::size_t from) {
    const auto first = [&](const char* id) -> TAudioChunk* {
        for (TAudioChunk& chunk : facts.Chunks)
            if (chunk.Id == id)
                return &chunk;
        return nullptr;
    };
    for (std::size_t i = from; i < facts.Problems.size(); ++i) {
        const std::string& problem = facts.Problems[i];
        TAudioChunk* chunk = first(problem.rfind("The format", 0) == 0 ? "fmt " : "data");
        if (chunk != nullptr)
            chunk->Problems.push_back(problem);
    }
}

} // namespace

TAudioFacts ReadAudioFacts(const std::uint8_t* bytes, std::uint64_t size) {
    TAudioFacts facts;
    TChunkWalk(bytes, size, facts).Run();
    if (!facts.IsWave || !facts.HasFormat || !facts.HasData)
        return facts;
    const std::size_t walked = facts.Problems.size();
    MeasureData(bytes, facts);
    ListWithTheirChunks(facts, walked);
    return facts;
}
