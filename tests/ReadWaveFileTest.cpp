#include <gtest/gtest.h>

#include "ReadWaveFile.h"
#include "support/TempDir.h"
#include "support/WaveBytes.h"

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

const std::string Ok = WaveLogClosingLine;

// The header and format lines of a file made with TWaveBytes::Format() defaults.
TLines Header(std::uint32_t riffSize) { return {"RIFF", "FileSize " + std::to_string(riffSize), "WAVE"}; }
TLines PlainFormatLines(std::uint32_t chunkSize = 16) {
    return {"fmt ",         "chankSize " + std::to_string(chunkSize), "wFormatTag 1",
            "wChannels 2",  "wSamplesPerSec 44100",                   "wBlockAlign 4",
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
    cases.push_back({"not RIFF", TWaveBytes("WAVE", "RIFX").Chunk("fmt ", fmt).Bytes(), wsNotWave, {}});
    cases.push_back({"another form type", TWaveBytes("AVI ").Chunk("LIST", four).Bytes(), wsNotWave,
                     {"RIFF", "FileSize 16", "AVI "}});
    cases.push_back({"header cut after the size", {'R', 'I', 'F', 'F', 9, 0, 0, 0, 'W'}, wsFailed,
                     {"RIFF", "FileSize 9", Ok}});
    cases.push_back({"list chunk before the format chunk",
                     TWaveBytes().Chunk("LIST", four).Chunk("fmt ", fmt).Chunk("data", four).Bytes(),
                     wsOk,
                     Join({Header(52), {"LIST", "chankSize 4"}, PlainFormatLines(),
                           {"data", "chankSize 4", Ok}})});
    cases.push_back({"data before format", TWaveBytes().Chunk("data", four).Chunk("fmt ", fmt).Bytes(),
                     wsDataBeforeFormat, Join({Header(40), {"data", "chankSize 4"}})});
    cases.push_back({"format chunk of 18 bytes",
                     TWaveBytes().Chunk("fmt ", TWaveBytes::Format(1, 2, 44100, 16, {0, 0}))
                         .Chunk("data", four).Bytes(),
                     wsOk, Join({Header(42), PlainFormatLines(18), {"data", "chankSize 4", Ok}})});
    cases.push_back({"format chunk of 20 bytes",
                     TWaveBytes().Chunk("fmt ", TWaveBytes::Format(1, 2, 44100, 16, {22, 0, 9, 9}))
                         .Chunk("data", four).Bytes(),
                     wsOk,
                     Join({Header(44), PlainFormatLines(20), {"wcbSize 22", "data", "chankSize 4", Ok}})});
    {
        TBytes extra(24, 0xEE);
        extra[0] = 22;
        extra[1] = 0;
        cases.push_back({"format chunk of 40 bytes: 20 read, 20 skipped",
                         TWaveBytes().Chunk("fmt ", TWaveBytes::Format(1, 2, 44100, 16, extra))
                             .Chunk("data", four).Bytes(),
                         wsOk,
                         Join({Header(64), PlainFormatLines(40),
                               {"wcbSize 22", "data", "chankSize 4", Ok}})});
    }
    cases.push_back({"format chunk of 12 bytes: missing fields read as 0",
                     TWaveBytes().Chunk("fmt ", TBytes(fmt.begin(), fmt.begin() + 12))
                         .Chunk("data", four).Bytes(),
                     wsOk,
                     Join({Header(36),
                           {"fmt ", "chankSize 12", "wFormatTag 1", "wChannels 2",
                            "wSamplesPerSec 44100", "wBlockAlign 0", "wBitsPerSample 0", "data",
                            "chankSize 4", Ok}})});
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
    cases.push_back({"odd chunk size: no pad byte is skipped",
                     TWaveBytes().Chunk("fmt ", fmt).Chunk("junk", {7, 7, 7}).Chunk("data", four).Bytes(),
                     wsOk,
                     Join({Header(51), PlainFormatLines(), {"junk", "chankSize 3", "data", "chankSize 4", Ok}})});
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
    cases.push_back({"RIFF size of all ones", TWaveBytes().RiffSize(0xFFFFFFFF).Chunk("data", four).Bytes(),
                     wsDataBeforeFormat,
                     {"RIFF", "FileSize 4294967295", "WAVE", "data", "chankSize 4"}});
    return cases;
}

TEST(ReadWaveFile, EdgeCasesGiveTheirStatusAndExactLog) {
    for (const TCase& c : EdgeCases()) {
        SCOPED_TRACE(c.Name);
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
        TReadResult r = ReadBytes(TBytes(good.begin(), good.begin() + long(length)));
        check(r);
        EXPECT_EQ(r.Info.Status, wsFailed) << "a cut file never reads as anything else";
    }
    for (std::size_t at = 0; at < good.size() - 8; ++at) {
        for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
            SCOPED_TRACE("byte " + std::to_string(at) + " xor " + std::to_string(mask));
            TBytes damaged = good;
            damaged[at] ^= mask;
            check(ReadBytes(damaged));
        }
    }
}

} // namespace
