#include "wave/ReadWaveFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "wave/GroupedDigits.h"
#include "wave/LittleEndian.h"
#include "wave/WaveSource.h"

namespace {

constexpr std::uint32_t LargestChunkSize = 2147483647u;
constexpr std::size_t FormatBufferSize = 20;

using TChunkId = std::array<char, 4>;

TChunkId ReadId(TWaveSource& file) {
    TChunkId id{};
    file.ReadExactly(id.data(), id.size());
    return id;
}

std::uint32_t ReadSize(TWaveSource& file) {
    std::uint8_t bytes[4];
    file.ReadExactly(bytes, sizeof bytes);
    return ReadU32LE(bytes);
}

bool IsId(const TChunkId& id, const char (&text)[5]) {
    return std::memcmp(id.data(), text, 4) == 0;
}

// An id is shown as its bytes up to the first zero byte.
std::string IdText(const TChunkId& id) {
    std::size_t length = 0;
    while (length < id.size() && id[length] != '\0')
        ++length;
    return std::string(id.data(), length);
}

std::uint16_t Field16(const std::uint8_t* body, std::size_t offset) {
    return ReadU16LE(body + offset);
}

std::uint32_t Field32(const std::uint8_t* body, std::size_t offset) {
    return ReadU32LE(body + offset);
}

std::string NumberLine(const char* label, long long value) {
    return label + std::to_string(value);
}

// Copies the data chunk's body. The declared size is untrusted: memory is committed only for
// bytes that are really there, so a few bytes declaring gigabytes cost nothing. A file's size
// is known up front; a stream's block grows as its bytes arrive.
// Ends the read of a data chunk whose body has Info.DataSize of its `size` bytes: a read that
// failed there when the file ends inside it.
void EndDataBody(TWaveInfo& Info, std::uint32_t size) {
    if (Info.DataSize < size) {
        Info.DataCutShort = true;
        Info.DeclaredDataSize = size;
        throw TReadError("data chunk runs past the end of the file", {},
                         "The data chunk declares " + std::to_string(size) +
                             " bytes but the file ends after " + std::to_string(Info.DataSize) +
                             ".");
    }
}

// Passes over the data chunk's body without keeping it, counting the bytes that are there.
void PassDataBody(TWaveSource& file, TWaveInfo& Info, std::uint32_t size) {
    Info.DataSize = file.Skip(size);
    EndDataBody(Info, size);
}

void CopyDataBody(TWaveSource& file, TWaveInfo& Info, std::uint32_t size,
                  const TProgressStep& progress) {
    Info.Data = std::make_unique<TDataBlock>();
    TDataBlock& block = *Info.Data;
    // Read a step at a time, so that a long read can show how far it has come.
    constexpr std::size_t step = std::size_t(8) << 20;
    const auto goOn = [&](std::size_t done, std::uint64_t total) {
        if (progress && !progress(done, total)) {
            Info.Cancelled = true;
            throw TReadError("cancelled");
        }
    };
    if (auto left = file.BytesLeft()) {
        const std::uint64_t toRead = std::min<std::uint64_t>(size, *left);
        block.SetSize(static_cast<std::size_t>(toRead));
        for (std::size_t done = 0; done < toRead;) {
            const std::size_t count =
                static_cast<std::size_t>(std::min<std::uint64_t>(step, toRead - done));
            file.ReadExactly(block.Bytes() + done, count);
            done += count;
            goOn(done, toRead);
        }
    } else {
        constexpr std::size_t firstStep = std::size_t(1) << 16;
        std::size_t got = 0;
        for (;;) {
            const std::size_t capacity = std::min<std::size_t>(size, std::max(firstStep, 2 * got));
            block.SetSize(capacity);
            while (got < capacity) {
                const std::size_t count = std::min(step, capacity - got);
                const std::size_t read = file.ReadUpTo(block.Bytes() + got, count);
                got += read;
                goOn(got, size);
                if (read < count)
                    break;
            }
            if (got == size || got < capacity)
                break;
        }
        block.SetSize(got);
    }
    Info.DataSize = block.Size();
    EndDataBody(Info, size);
}

// Notes what the walk meets, where the caller asked for it.
class TLayoutNotes {
  public:
    explicit TLayoutNotes(TWaveLayout* layout) : Layout(layout) {
        if (Layout != nullptr)
            *Layout = {};
    }
    void Header(std::uint32_t riffSize) {
        if (Layout != nullptr)
            Layout->RiffSize = riffSize;
    }
    void Form(const TChunkId& form) {
        if (Layout != nullptr)
            Layout->Form.assign(form.data(), form.size());
    }
    void Chunk(const TChunkId& id, std::uint64_t offset, std::uint32_t size) {
        if (Layout != nullptr)
            Layout->Chunks.push_back({std::string(id.data(), id.size()), offset, size});
    }
    void Format(const std::uint8_t* format, std::uint32_t size) {
        if (Layout == nullptr)
            return;
        TFormatFields& f = Layout->Format.emplace();
        f.FormatTag = Field16(format, 0);
        f.Channels = Field16(format, 2);
        f.SamplesPerSec = Field32(format, 4);
        f.ByteRate = Field32(format, 8);
        f.BlockAlign = Field16(format, 12);
        f.BitsPerSample = Field16(format, 14);
        if (size >= FormatBufferSize)
            f.CbSize = Field16(format, 16);
    }

  private:
    TWaveLayout* Layout;
};

// Where the walk is, so that a file that ends too soon can be told where it ended: in the
// RIFF header, in a chunk's header, after a chunk whose body runs past the end, or at a chunk
// boundary before the chunk the walk looks for.
class TWalkPlace {
  public:
    void Seeking(const char* what) { Sought = what; }
    void HeaderAt(std::uint64_t offset) { Header = offset; }
    // A chunk's header was read whole: the next one is due past its body.
    void ChunkRead(std::uint64_t offset, std::uint32_t size) {
        Chunk = offset;
        Declared = size;
        InChunk = true;
        Header = offset + 8 + size;
    }

    std::string EndReason(std::uint64_t present) const {
        if (Header == 0)
            return "The file ends after " + GroupedDigits(present) +
                   " bytes, inside its RIFF header.";
        if (InChunk && present < Header)
            return "The chunk at offset " + GroupedDigits(Chunk) + " declares " +
                   GroupedDigits(Declared) + " bytes; the file ends after " +
                   GroupedDigits(present) + ".";
        if (present == Header)
            return "The file ends after " + GroupedDigits(present) + " bytes, before " + Sought +
                   ".";
        return "The file ends after " + GroupedDigits(present) +
               " bytes, inside the chunk header at " + "offset " + GroupedDigits(Header) + ".";
    }

  private:
    const char* Sought = "a format chunk";
    std::uint64_t Header = 0; // where the header read last (or next) starts
    std::uint64_t Chunk = 0;  // the last chunk whose header was read whole
    std::uint32_t Declared = 0;
    bool InChunk = false;
};

void WalkFrom(TWaveSource& file, TWalkPlace& place, TWaveInfo& Info, const TWaveLog& Log,
              const TWaveReadOptions& options);

// The walk itself; returns normally for every status but wsFailed, which is thrown.
void WalkChunks(const std::string& FileName, TWaveInfo& Info, const TWaveLog& Log,
                const TWaveReadOptions& options) {
    TWaveSource file(FileName, options.AcceptStreams);
    TWalkPlace place;
    try {
        WalkFrom(file, place, Info, Log, options);
    } catch (TReadError& error) {
        if (error.FileEnded)
            error.Reason = place.EndReason(file.BytesPresent());
        throw;
    }
}

void WalkFrom(TWaveSource& file, TWalkPlace& place, TWaveInfo& Info, const TWaveLog& Log,
              const TWaveReadOptions& options) {
    TLayoutNotes notes(options.Layout);

    TChunkId riff = ReadId(file);
    if (!IsId(riff, "RIFF")) {
        Info.Status = wsNotWave;
        return;
    }
    Log(IdText(riff));
    const std::uint32_t riffSize = ReadSize(file);
    notes.Header(riffSize);
    Log(NumberLine("FileSize ", riffSize));
    TChunkId form = ReadId(file);
    notes.Form(form);
    Log(IdText(form));
    if (!IsId(form, "WAVE")) {
        Info.Status = wsNotWave;
        return;
    }

    // First walk: to the format chunk (or a data chunk met too early).
    TChunkId id{};
    std::uint32_t size = 0;
    for (;;) {
        file.Skip(size);
        const std::uint64_t offset = file.Offset();
        place.HeaderAt(offset);
        id = ReadId(file);
        size = ReadSize(file);
        place.ChunkRead(offset, size);
        notes.Chunk(id, offset, size);
        Log(IdText(id));
        if (size > LargestChunkSize) {
            Info.Status = wsBadChunkSize;
            return;
        }
        Log(NumberLine("chankSize ", size));
        if (IsId(id, "fmt ") || IsId(id, "data"))
            break;
    }
    if (IsId(id, "data")) {
        Info.Status = wsDataBeforeFormat;
        return;
    }

    std::uint8_t format[FormatBufferSize] = {};
    file.ReadExactly(format, std::min<std::size_t>(FormatBufferSize, size));
    notes.Format(format, size);
    Log(NumberLine("wFormatTag ", std::int16_t(Field16(format, 0))));
    Log(NumberLine("wChannels ", Field16(format, 2)));
    Log(NumberLine("wSamplesPerSec ", Field32(format, 4)));
    Log(NumberLine("wBlockAlign ", Field16(format, 12)));
    Log(NumberLine("wBitsPerSample ", Field16(format, 14)));
    if (size > FormatBufferSize)
        file.Skip(size - FormatBufferSize);
    if (size >= FormatBufferSize)
        Log(NumberLine("wcbSize ", Field16(format, 16)));

    // Second walk: to the data chunk. Here the id is logged before the size is read.
    place.Seeking("a data chunk");
    size = 0;
    for (;;) {
        file.Skip(size);
        const std::uint64_t offset = file.Offset();
        place.HeaderAt(offset);
        id = ReadId(file);
        Log(IdText(id));
        size = ReadSize(file);
        place.ChunkRead(offset, size);
        notes.Chunk(id, offset, size);
        Log(NumberLine("chankSize ", size));
        if (IsId(id, "data"))
            break;
        if (size > LargestChunkSize) {
            Info.Status = wsBadChunkSize;
            return;
        }
    }

    Info.Status = wsOk;
    Info.ByteRate = Field32(format, 8);
    Info.BitsPerSample = Field16(format, 14);
    Info.Channels = Field16(format, 2);
    if (options.KeepData)
        CopyDataBody(file, Info, size, options.Progress);
    else
        PassDataBody(file, Info, size);
    Log(WaveLogClosingLine);
}

} // namespace

void ReadWaveFile(const std::string& FileName, TWaveInfo& Info, const TWaveLog& Log,
                  const TWaveReadOptions& options) {
    Info.Status = wsOk;
    Info.ByteRate = 0;
    Info.BitsPerSample = 0;
    Info.Channels = 0;
    Info.Data.reset();
    Info.Problem.clear();
    Info.Reason.clear();
    Info.DataCutShort = false;
    Info.Cancelled = false;
    Info.DeclaredDataSize = 0;
    Info.DataSize = 0;
    try {
        WalkChunks(FileName, Info, Log, options);
        return;
    } catch (const TReadError& error) {
        Info.Problem = error.Problem;
        Info.Reason = !error.Reason.empty()    ? error.Reason
                      : !error.Problem.empty() ? error.Problem + "."
                                               : "The file could not be read.";
    } catch (const std::bad_alloc&) {
        Info.Problem = "Out of memory";
        Info.Reason = "Out of memory.";
    } catch (const std::exception& error) {
        Info.Problem = error.what(); // the log's own sink failed
    } catch (...) {
        Info.Problem = "Unknown error";
    }
    // Whatever went wrong (open, a short read, memory, the log), the caller sees a status.
    Info.Status = wsFailed;
    try {
        Log(WaveLogClosingLine);
    } catch (...) {
        // A log that cannot take its closing line has already said what it could.
    }
}
