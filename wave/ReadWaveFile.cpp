#include "ReadWaveFile.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>

#include <sys/stat.h>

namespace {

constexpr std::uint32_t LargestChunkSize = 2147483647u;
constexpr std::size_t FormatBufferSize = 20;

using TChunkId = std::array<char, 4>;

// Any failure to open or read: the reader turns it into wsFailed.
struct TReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The file for the length of one call, with the position the walk stands at.
class TWaveFile {
public:
    explicit TWaveFile(const std::string& name) : File(std::fopen(name.c_str(), "rb")) {
        if (File == nullptr)
            throw TReadError("cannot open");
        struct stat info{};
        KnowsSize = fstat(fileno(File), &info) == 0 && S_ISREG(info.st_mode);
        if (KnowsSize)
            FileSize = static_cast<std::uint64_t>(info.st_size);
    }
    ~TWaveFile() { std::fclose(File); }
    TWaveFile(const TWaveFile&) = delete;
    TWaveFile& operator=(const TWaveFile&) = delete;

    // Reads exactly `count` bytes or fails.
    void ReadExactly(void* destination, std::size_t count) {
        std::size_t got = count == 0 ? 0 : std::fread(destination, 1, count, File);
        Position += got;
        if (got != count)
            throw TReadError("read past the end of the file");
    }

    // Moving past the end is allowed; the next read then fails.
    void Skip(std::uint32_t count) {
        if (count == 0)
            return;
        if (fseeko(File, static_cast<off_t>(count), SEEK_CUR) != 0)
            throw TReadError("cannot move");
        Position += count;
    }

    // What the file still holds after the position, when that can be known.
    std::optional<std::uint64_t> BytesLeft() const {
        if (!KnowsSize)
            return std::nullopt;
        return Position < FileSize ? FileSize - Position : 0;
    }

    TChunkId ReadId() {
        TChunkId id{};
        ReadExactly(id.data(), id.size());
        return id;
    }

    std::uint32_t ReadSize() {
        std::uint8_t bytes[4];
        ReadExactly(bytes, sizeof bytes);
        return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
               std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
    }

private:
    std::FILE* File;
    std::uint64_t Position = 0;
    bool KnowsSize = false; // not for a pipe or a device
    std::uint64_t FileSize = 0;
};

bool IsId(const TChunkId& id, const char (&text)[5]) { return std::memcmp(id.data(), text, 4) == 0; }

// An id is shown as its bytes up to the first zero byte.
std::string IdText(const TChunkId& id) {
    std::size_t length = 0;
    while (length < id.size() && id[length] != '\0')
        ++length;
    return std::string(id.data(), length);
}

std::uint16_t Field16(const std::uint8_t* body, std::size_t offset) {
    return std::uint16_t(body[offset] | body[offset + 1] << 8);
}

std::uint32_t Field32(const std::uint8_t* body, std::size_t offset) {
    return std::uint32_t(Field16(body, offset)) | std::uint32_t(Field16(body, offset + 2)) << 16;
}

std::string NumberLine(const char* label, long long value) { return label + std::to_string(value); }

// Copies the data chunk's body. The declared size is untrusted: memory is committed only for
// bytes the file really holds, so a few-byte file declaring gigabytes costs nothing.
void CopyDataBody(TWaveFile& file, TWaveInfo& Info, std::uint32_t size) {
    Info.Data = std::make_unique<TDataBlock>();
    std::uint64_t toRead = size;
    if (auto left = file.BytesLeft(); left && *left < toRead)
        toRead = *left;
    Info.Data->SetSize(static_cast<std::size_t>(toRead));
    file.ReadExactly(Info.Data->Bytes(), static_cast<std::size_t>(toRead));
    if (toRead < size)
        throw TReadError("data chunk runs past the end of the file");
}

// The walk itself; returns normally for every status but wsFailed, which is thrown.
void WalkChunks(const std::string& FileName, TWaveInfo& Info, const TWaveLog& Log) {
    TWaveFile file(FileName);

    TChunkId riff = file.ReadId();
    if (!IsId(riff, "RIFF")) {
        Info.Status = wsNotWave;
        return;
    }
    Log(IdText(riff));
    Log(NumberLine("FileSize ", file.ReadSize()));
    TChunkId form = file.ReadId();
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
        id = file.ReadId();
        size = file.ReadSize();
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
    size = 0;
    for (;;) {
        file.Skip(size);
        id = file.ReadId();
        Log(IdText(id));
        size = file.ReadSize();
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
    CopyDataBody(file, Info, size);
    Log(WaveLogClosingLine);
}

} // namespace

void ReadWaveFile(const std::string& FileName, TWaveInfo& Info, const TWaveLog& Log) {
    Info.Status = wsOk;
    Info.ByteRate = 0;
    Info.BitsPerSample = 0;
    Info.Channels = 0;
    Info.Data.reset();
    try {
        WalkChunks(FileName, Info, Log);
    } catch (...) {
        // Whatever went wrong (open, a short read, memory), the caller sees only the status.
        Info.Status = wsFailed;
        Log(WaveLogClosingLine);
    }
}
