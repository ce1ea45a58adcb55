#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/PipeInput.h"
#include "tests/support/TempDir.h"
#include "wave/ReadWaveFile.h"
#include "wave/WaveBytes.h"

namespace {

using TLines = std::vector<std::string>;

struct TReadResult {
    TWaveInfo Info;
    TLines Lines;
};

TReadResult ReadBytes(const TBytes& bytes) {
    TTempDir dir;
    TReadResult result;
    ReadWaveFile(dir.Write("input.wav", bytes), result.Info,
                 [&](const std::string& line) { result.Lines.push_back(line); });
    return result;
}

// The same bytes read as a stream from an unnamed pipe.
TReadResult ReadThroughPipe(const TBytes& bytes) {
    TPipeInput input(bytes);
    TReadResult result;
    ReadWaveFile(
        input.Name(), result.Info, [&](const std::string& line) { result.Lines.push_back(line); },
        TWaveReadOptions::Streams());
    return result;
}

// A stream gives the same status, log and data as a regular file with the same bytes.
void ExpectSameAsFile(const TBytes& bytes) {
    const TReadResult file = ReadBytes(bytes);
    const TReadResult stream = ReadThroughPipe(bytes);
    EXPECT_EQ(stream.Info.Status, file.Info.Status);
    EXPECT_EQ(stream.Lines, file.Lines);
    ASSERT_EQ(bool(stream.Info.Data), bool(file.Info.Data));
    if (file.Info.Data) {
        const TDataBlock& a = *file.Info.Data;
        const TDataBlock& b = *stream.Info.Data;
        EXPECT_EQ(TBytes(b.Bytes(), b.Bytes() + b.Size()), TBytes(a.Bytes(), a.Bytes() + a.Size()));
    }
}

const std::string Ok = WaveLogClosingLine;

// The header and format lines of a file made with TWaveBytes::Format() defaults.
TLines Header(std::uint32_t riffSize) {
    return {"RIFF", "FileSize " + std::to_string(riffSize), "WAVE"};
}
TLines PlainFormatLines(std::uint32_t chunkSize = 16) {
    return {"fmt ",
            "chankSize " + std::to_string(chunkSize),
            "wFormatTag 1",
            "wChannels 2",
            "wSamplesPerSec 44100",
            "wBlockAlign 4",
            "wBitsPerSample 16"};
}
TLines Join(std::initializer_list<TLines> parts) {
    TLines all;
    for (const TLines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(ReadWaveFile, PlainStereoFileLogsThirteenLinesAndCopiesTheData) {
    TBytes data = TWaveBytes::Frames({{120, -35}, {0, 7}});
    TReadResult r = ReadBytes(PlainWave(data));
    EXPECT_EQ(r.Lines, Join({Header(8 + 36), PlainFormatLines(), {"data", "chankSize 8", Ok}}));
    EXPECT_EQ(r.Info.Status, wsOk);
    EXPECT_EQ(r.Info.ByteRate, 176400u);
    EXPECT_EQ(r.Info.BitsPerSample, 16);
    EXPECT_EQ(r.Info.Channels, 2);
    ASSERT_TRUE(r.Info.Data);
    ASSERT_EQ(r.Info.Data->Size(), 8u);
    EXPECT_EQ(r.Info.Data->Position(), 0u);
    EXPECT_EQ(TBytes(r.Info.Data->Bytes(), r.Info.Data->Bytes() + 8), data);
}

struct TCase {
    const char* Name;
    TBytes Bytes;
    std::uint16_t Status;
    TLines Lines;
};

std::vector<TCase> EdgeCases() {
    const TBytes fmt = TWaveBytes::Format();
    const TBytes four = {1, 2, 3, 4};
    std::vector<TCase> cases;
    cases.push_back({"shorter than four bytes", {'R', 'I'}, wsFailed, {Ok}});
    cases.push_back({"empty file", {}, wsFailed, {Ok}});
    cases.push_back(
        {"not RIFF", TWaveBytes("WAVE", "RIFX").Chunk("fmt ", fmt).Bytes(), wsNotWave, {}});
    cases.push_back({"another form type",
                     TWaveBytes("AVI ").Chunk("LIST", four).Bytes(),
                     wsNotWave,
                     {"RIFF", "FileSize 16", "AVI "}});
    cases.push_back({"header cut after the size",
                     {'R', 'I', 'F', 'F', 9, 0, 0, 0, 'W'},
                     wsFailed,
                     {"RIFF", "FileSize 9", Ok}});
    cases.push_back(
        {"list chunk before the format chunk",
         TWaveBytes().Chunk("LIST", four).Chunk("fmt ", fmt).Chunk("data", four).Bytes(), wsOk,
         Join({Header(52),
               {"LIST", "chankSize 4"},
               PlainFormatLines(),
               {"data", "chankSize 4", Ok}})});
    cases.push_back({"data before format",
                     TWaveBytes().Chunk("data", four).Chunk("fmt ", fmt).Bytes(),
                     wsDataBeforeFormat, Join({Header(40), {"data", "chankSize 4"}})});
    cases.push_back({"format chunk of 18 bytes",
                     TWaveBytes()
                         .Chunk("fmt ", TWaveBytes::Format(1, 2, 44100, 16, {0, 0}))
                         .Chunk("data", four)
                         .Bytes(),
                     wsOk, Join({Header(42), PlainFormatLines(18), {"data", "chankSize 4", Ok}})});
    cases.push_back(
        {"format chunk of 20 bytes",
         TWaveBytes()
             .Chunk("fmt ", TWaveBytes::Format(1, 2, 44100, 16, {22, 0, 9, 9}))
             .Chunk("data", four)
             .Bytes(),
         wsOk,
         Join({Header(44), PlainFormatLines(20), {"wcbSize 22", "data", "chankSize 4", Ok}})});
    {
        TBytes extra(24, 0xEE);
        extra[0] = 22;
        extra[1] = 0;
        cases.push_back(
            {"format chunk of 40 bytes: 20 read, 20 skipped",
             TWaveBytes()
                 .Chunk("fmt ", TWaveBytes::Format(1, 2, 44100, 16, extra))
                 .Chunk("data", four)
                 .Bytes(),
             wsOk,
             Join({Header(64), PlainFormatLines(40), {"wcbSize 22", "data", "chankSize 4", Ok}})});
    }
    cases.push_back(
        {"format chunk of 12 bytes: missing fields read as 0",
         TWaveBytes()
             .Chunk("fmt ", TBytes(fmt.begin(), fmt.begin() + 12))
             .Chunk("data", four)
             .Bytes(),
         wsOk,
         Join({Header(36),
               {"fmt ", "chankSize 12", "wFormatTag 1", "wChannels 2", "wSamplesPerSec 44100",
                "wBlockAlign 0", "wBitsPerSample 0", "data", "chankSize 4", Ok}})});
    {
        TBytes extensible = TWaveBytes::Format(0xFFFE, 2, 48000, 24, TBytes(24, 0));
        extensible[16] = 22;
        cases.push_back({"extensible format tag shows as -2",
                         TWaveBytes().Chunk("fmt ", extensible).Chunk("data", four).Bytes(), wsOk,
                         Join({Header(64),
                               {"fmt ", "chankSize 40", "wFormatTag -2", "wChannels 2",
                                "wSamplesPerSec 48000", "wBlockAlign 6", "wBitsPerSample 24",
                                "wcbSize 22", "data", "chankSize 4", Ok}})});
    }
    cases.push_back({"format chunk with no data chunk after it",
                     TWaveBytes().Chunk("fmt ", fmt).Chunk("fact", four).Bytes(), wsFailed,
                     Join({Header(40), PlainFormatLines(), {"fact", "chankSize 4", Ok}})});
    cases.push_back(
        {"odd chunk size: no pad byte is skipped",
         TWaveBytes().Chunk("fmt ", fmt).Chunk("junk", {7, 7, 7}).Chunk("data", four).Bytes(), wsOk,
         Join({Header(51),
               PlainFormatLines(),
               {"junk", "chankSize 3", "data", "chankSize 4", Ok}})});
    cases.push_back({"zero byte in an id: cut there and not the format chunk",
                     TWaveBytes().Chunk(std::string("fmt\0", 4), fmt).Bytes(), wsFailed,
                     Join({Header(28), {"fmt", "chankSize 16", Ok}})});
    cases.push_back({"first walk: size above 2^31-1 ends with no size line",
                     TWaveBytes().Chunk("LIST", four, 0x80000000LL).Chunk("fmt ", fmt).Bytes(),
                     wsBadChunkSize, Join({Header(40), {"LIST"}})});
    cases.push_back({"first walk: size of exactly 2^31-1 is accepted, then the move runs out",
                     TWaveBytes().Chunk("LIST", four, 0x7FFFFFFFLL).Bytes(), wsFailed,
                     Join({Header(16), {"LIST", "chankSize 2147483647", Ok}})});
    cases.push_back({"second walk: size above 2^31-1 ends after its size line",
                     TWaveBytes().Chunk("fmt ", fmt).Chunk("LIST", four, 0xFFFFFFFFLL).Bytes(),
                     wsBadChunkSize,
                     Join({Header(40), PlainFormatLines(), {"LIST", "chankSize 4294967295"}})});
    cases.push_back({"first walk: chunk cut after its id logs nothing for it",
                     [&] {
                         TBytes b = TWaveBytes().Chunk("fmt ", fmt).Bytes();
                         b.resize(12 + 4);
                         return b;
                     }(),
                     wsFailed, Join({Header(28), {Ok}})});
    cases.push_back({"second walk: chunk cut after its id logs the id",
                     [&] {
                         TBytes b = TWaveBytes().Chunk("fmt ", fmt).Chunk("data", four).Bytes();
                         b.resize(b.size() - 4 - 4);
                         return b;
                     }(),
                     wsFailed, Join({Header(40), PlainFormatLines(), {"data", Ok}})});
    cases.push_back({"RIFF size of all ones",
                     TWaveBytes().RiffSize(0xFFFFFFFF).Chunk("data", four).Bytes(),
                     wsDataBeforeFormat,
                     {"RIFF", "FileSize 4294967295", "WAVE", "data", "chankSize 4"}});
    return cases;
}

TEST(ReadWaveFile, EdgeCasesGiveTheirStatusAndExactLog) {
    for (const TCase& c : EdgeCases()) {
        SCOPED_TRACE(c.Name);
        ExpectSameAsFile(c.Bytes);
        TReadResult r = ReadBytes(c.Bytes);
        EXPECT_EQ(r.Info.Status, c.Status);
        EXPECT_EQ(r.Lines, c.Lines);
        // The format numbers and the data are set only on the way to wsOk.
        if (c.Status != wsOk) {
            EXPECT_FALSE(r.Info.Data);
            EXPECT_EQ(r.Info.Channels, 0);
        }
    }
}

TEST(ReadWaveFile, MissingFileFailsWithOnlyTheClosingLine) {
    TReadResult r;
    ReadWaveFile("/nonexistent/folder/file.wav", r.Info,
                 [&](const std::string& line) { r.Lines.push_back(line); });
    EXPECT_EQ(r.Info.Status, wsFailed);
    EXPECT_EQ(r.Lines, TLines{Ok});
}

TEST(ReadWaveFile, ClearsTheRecordOnEntry) {
    TReadResult r;
    r.Info.Status = wsOk;
    r.Info.Channels = 9;
    r.Info.Data = std::make_unique<TDataBlock>();
    TTempDir dir;
    ReadWaveFile(dir.Write("x.wav", {'R', 'I', 'F', 'X'}), r.Info, [](const std::string&) {});
    EXPECT_EQ(r.Info.Status, wsNotWave);
    EXPECT_EQ(r.Info.Channels, 0);
    EXPECT_FALSE(r.Info.Data);
}

// A declared size is untrusted: a data chunk claiming up to 4 GiB in a tiny file must not make
// the reader commit gigabytes. It still fails with the closing line, and the format numbers
// and the bytes the file really had are kept.
TEST(ReadWaveFile, DataChunkLargerThanTheFileFailsWithoutCommittingItsSize) {
    for (long long declared : {9LL, 0x7FFFFFFFLL, 0x80000000LL, 0xFFFFFFFFLL}) {
        SCOPED_TRACE(declared);
        TReadResult r = ReadBytes(TWaveBytes()
                                      .Chunk("fmt ", TWaveBytes::Format())
                                      .Chunk("data", {1, 2, 3, 4, 5, 6, 7, 8}, declared)
                                      .Bytes());
        EXPECT_EQ(r.Info.Status, wsFailed);
        EXPECT_EQ(r.Lines.back(), Ok);
        EXPECT_EQ(r.Lines[r.Lines.size() - 2], "chankSize " + std::to_string(declared));
        EXPECT_EQ(r.Info.Channels, 2);
        ASSERT_TRUE(r.Info.Data);
        EXPECT_EQ(r.Info.Data->Size(), 8u);
    }
}

// A stream's declared size is as untrusted as a file's, and a stream longer than one pipe's
// buffer arrives in pieces.
TEST(ReadWaveFile, StreamsGrowTheirBlockAsBytesArrive) {
    for (long long declared : {9LL, 0x7FFFFFFFLL, 0xFFFFFFFFLL})
        ExpectSameAsFile(TWaveBytes()
                             .Chunk("fmt ", TWaveBytes::Format())
                             .Chunk("data", {1, 2, 3, 4, 5, 6, 7, 8}, declared)
                             .Bytes());
    TBytes frames(300000 * 4);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = std::uint8_t(i * 7 + i / 4096);
    const TBytes big = TWaveBytes()
                           .Chunk("LIST", TBytes(100000, 'x'))
                           .Chunk("fmt ", TWaveBytes::Format())
                           .Chunk("data", frames)
                           .Bytes();
    ExpectSameAsFile(big);
    ExpectSameAsFile(TBytes(big.begin(), big.end() - 5));
}

// Only regular files are read unless streams are asked for; a FIFO with no writer is never
// waited on for ever, and a device is not even opened.
TEST(ReadWaveFile, SpecialFilesAreRefusedOrReadWithoutBlocking) {
    TTempDir dir;
    const std::string fifo = dir.File("pipe.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(30); // a read that blocks for ever ends the test program
    for (const std::string& name : {fifo, std::string("/dev/null")}) {
        SCOPED_TRACE(name);
        TReadResult r;
        ReadWaveFile(name, r.Info, [&](const std::string& line) { r.Lines.push_back(line); });
        EXPECT_EQ(r.Info.Status, wsFailed);
        EXPECT_EQ(r.Lines, TLines{Ok});
        EXPECT_EQ(r.Info.Problem, "Not a regular file");
    }
    // As a stream, a FIFO that no writer opens reads as empty after a bounded wait.
    TReadResult r;
    ReadWaveFile(
        fifo, r.Info, [&](const std::string& line) { r.Lines.push_back(line); },
        TWaveReadOptions::Streams());
    EXPECT_EQ(r.Info.Status, wsFailed);
    EXPECT_EQ(r.Lines, TLines{Ok});
    ReadWaveFile(
        "/dev/null", r.Info, [](const std::string&) {}, TWaveReadOptions::Streams());
    EXPECT_EQ(r.Info.Problem, "Not a regular file or a pipe");
    alarm(0);
}

// The log's sink may fail; the reader still ends in a status and lets nothing escape.
TEST(ReadWaveFile, ASinkThatThrowsDoesNotEscape) {
    TTempDir dir;
    const std::string file = dir.Write("x.wav", PlainWave(TWaveBytes::Frames({{1, 2}})));
    for (int failAt : {1, 3, 13}) {
        SCOPED_TRACE(failAt);
        int lines = 0;
        TWaveInfo info;
        ReadWaveFile(file, info, [&](const std::string&) {
            if (++lines >= failAt)
                throw std::runtime_error("log full");
        });
        EXPECT_EQ(info.Status, wsFailed);
        EXPECT_EQ(info.Problem, "log full");
    }
}

// Damage as one loop over a good file: every cut and every flipped header byte ends in a
// status, never a crash, and the closing line comes exactly after wsOk and wsFailed.
TEST(ReadWaveFile, DamagedFilesAlwaysEndInAStatus) {
    const TBytes good = TWaveBytes()
                            .Chunk("LIST", {'a', 'b', 'c'})
                            .Chunk("fmt ", TWaveBytes::Format(1, 2, 44100, 16, {0, 0, 1, 2}))
                            .Chunk("data", TWaveBytes::Frames({{1, -1}, {32767, -32768}}))
                            .Bytes();
    auto check = [](const TReadResult& r) {
        const std::uint16_t s = r.Info.Status;
        ASSERT_TRUE(s == wsOk || s == wsFailed || s == wsDataBeforeFormat || s == wsBadChunkSize ||
                    s == wsNotWave);
        const bool closed = !r.Lines.empty() && r.Lines.back() == Ok;
        EXPECT_EQ(closed, s == wsOk || s == wsFailed);
    };
    for (std::size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE("cut at " + std::to_string(length));
        const TBytes cut(good.begin(), good.begin() + long(length));
        TReadResult r = ReadBytes(cut);
        check(r);
        ExpectSameAsFile(cut);
        EXPECT_EQ(r.Info.Status, wsFailed) << "a cut file never reads as anything else";
    }
    for (std::size_t at = 0; at < good.size() - 8; ++at) {
        for (std::uint8_t mask : {std::uint8_t{0x01}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
            SCOPED_TRACE("byte " + std::to_string(at) + " xor " + std::to_string(mask));
            TBytes damaged = good;
            damaged[at] ^= mask;
            check(ReadBytes(damaged));
            ExpectSameAsFile(damaged);
        }
    }
}

// A file that ends too soon says its real size and where the walk stopped, the same read as a
// file or through a pipe; the status stays wsFailed.
TEST(ReadWaveFile, AFileThatEndsTooSoonSaysWhereTheWalkStopped) {
    const TBytes plain = PlainWave(TWaveBytes::Frames({{1, 2}}));
    const auto cut = [](const TBytes& bytes, std::size_t size) {
        return TBytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(size));
    };
    // The odd chunk's pad byte is not skipped: the next header is read one byte early, inside
    // the data chunk's id, and declares a size far past the end.
    TBytes odd = TWaveBytes()
                     .Chunk("fmt ", TWaveBytes::Format())
                     .Chunk("inst", {60, 0, 0, 0, 127, 1, 127})
                     .Bytes();
    odd.push_back(0);
    const TBytes rest = TWaveBytes().Chunk("data", TBytes(std::size_t(4) * 1000, 0x10)).Bytes();
    odd.insert(odd.end(), rest.begin() + 12, rest.end());
    const struct {
        const char* Name;
        TBytes Bytes;
        std::string Reason;
    } cases[] = {
        {"inside the RIFF header", cut(plain, 7),
         "The file ends after 7 bytes, inside its RIFF header."},
        {"inside a chunk header", cut(plain, 15),
         "The file ends after 15 bytes, inside the chunk header at offset 12."},
        {"inside the format chunk's fields", cut(plain, 30),
         "The chunk at offset 12 declares 16 bytes; the file ends after 30."},
        {"at a chunk boundary, with no data chunk", cut(plain, 36),
         "The file ends after 36 bytes, before a data chunk."},
        {"after a chunk that declares more than there is",
         TWaveBytes()
             .Chunk("fmt ", TWaveBytes::Format())
             .Chunk("junk", {1, 2, 3, 4}, 0x7FFFFFFF)
             .Bytes(),
         "The chunk at offset 36 declares 2,147,483,647 bytes; the file ends after 48."},
        {"an odd chunk's pad byte taken for a header", odd,
         "The chunk at offset 51 declares 1,024,097 bytes; the file ends after 4,060."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        for (const TReadResult& read : {ReadBytes(c.Bytes), ReadThroughPipe(c.Bytes)}) {
            EXPECT_EQ(read.Info.Status, wsFailed);
            EXPECT_EQ(read.Info.Reason, c.Reason);
        }
    }
}

} // namespace
