// The conformant reading on real files from other projects' test suites, with the values those
// projects state about them, and on generated files of every encoding and container checked
// against the codec library's own reading of the same bytes.

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>

#include <unistd.h>

#include <sndfile.h>

#include "tests/support/TempDir.h"
#include "wave/AudioFile.h"
#include "wave/AudioSamples.h"
#include "wave/MappingGuard.h"
#include "wave/SpeakerPositions.h"
#include "wave/WaveBytes.h"

namespace {

std::string Corpus(const std::string& name) {
    return std::string(CORPORA_DIR) + "/" + name;
}

TAudioFile Open(const std::string& path) {
    return OpenAudioFile(path, false);
}

// Every value of every frame, frame by frame.
std::vector<double> AllValues(const TAudioFile& file) {
    TAudioSamples samples(file.Bytes, file.Facts);
    std::vector<double> values;
    for (std::uint64_t frame = 0; frame < samples.Frames(); ++frame)
        for (int channel = 0; channel < samples.Channels(); ++channel)
            values.push_back(samples.At(channel, frame));
    return values;
}

bool HasProblem(const TAudioFacts& facts, const std::string& words) {
    for (const std::string& problem : facts.Problems)
        if (problem.find(words) != std::string::npos)
            return true;
    return false;
}

struct TCorpusRow {
    const char* File;
    const char* Container;
    TSampleEncoding Encoding;
    int Channels;
    unsigned Rate;
    int Bits, ValidBits;
    std::uint64_t Frames;
    std::vector<double> First; // the first values, frame by frame
    const char* Problem;       // words one of the problems holds, or null for none at all
};

class CorpusFile : public testing::TestWithParam<TCorpusRow> {};

TEST_P(CorpusFile, ReadsAsItsProjectStates) {
    const TCorpusRow& row = GetParam();
    const TAudioFile file = Open(Corpus(row.File));
    const TAudioFacts& facts = file.Facts;
    ASSERT_TRUE(facts.Decodable) << (facts.Problems.empty() ? "" : facts.Problems.front());
    EXPECT_EQ(facts.Container, row.Container);
    EXPECT_EQ(facts.Format.Encoding, row.Encoding);
    EXPECT_EQ(facts.Format.Channels, row.Channels);
    EXPECT_EQ(facts.Format.SampleRate, row.Rate);
    EXPECT_EQ(facts.Format.BitsPerSample, row.Bits);
    EXPECT_EQ(facts.Format.ValidBits, row.ValidBits);
    EXPECT_EQ(facts.Frames, row.Frames);
    const std::vector<double> values = AllValues(file);
    ASSERT_GE(values.size(), row.First.size());
    EXPECT_EQ(std::vector<double>(values.begin(), values.begin() + long(row.First.size())),
              row.First);
    if (row.Problem == nullptr)
        EXPECT_TRUE(facts.Problems.empty()) << facts.Problems.front();
    else
        EXPECT_TRUE(HasProblem(facts, row.Problem)) << row.Problem;
}

INSTANTIATE_TEST_SUITE_P(
    Corpora, CorpusFile,
    testing::Values(
        TCorpusRow{"hound/pcmwaveformat-16bit-44100Hz-mono.wav",
                   "RIFF",
                   sePcm,
                   1,
                   44100,
                   16,
                   16,
                   4,
                   {2, -3, 5, -7},
                   nullptr},
        TCorpusRow{"hound/waveformatex-16bit-44100Hz-stereo.wav",
                   "RIFF",
                   sePcm,
                   2,
                   44100,
                   16,
                   16,
                   4,
                   {2, -3, 5, -7, 11, -13, 17, -19},
                   nullptr},
        TCorpusRow{"hound/pcmwaveformat-16bit-44100Hz-mono-extra.wav",
                   "RIFF",
                   sePcm,
                   1,
                   44100,
                   16,
                   16,
                   4,
                   {2},
                   nullptr},
        TCorpusRow{"hound/waveformatex-ieeefloat-44100Hz-mono.wav",
                   "RIFF",
                   seFloat,
                   1,
                   44100,
                   32,
                   32,
                   4,
                   {2.0, 3.0, -16411.0, 1019.0},
                   nullptr},
        TCorpusRow{"hound/waveformatextensible-ieeefloat-44100Hz-mono.wav",
                   "RIFF",
                   seFloat,
                   1,
                   44100,
                   32,
                   32,
                   4,
                   {2.0, 3.0, -16411.0, 1019.0},
                   nullptr},
        TCorpusRow{"hound/pcmwaveformat-8bit-44100Hz-mono.wav",
                   "RIFF",
                   sePcm,
                   1,
                   44100,
                   8,
                   8,
                   4,
                   {19, -53, 89, -127},
                   nullptr},
        TCorpusRow{"hound/pcmwaveformat-24bit-4byte-48kHz-stereo.wav",
                   "RIFF",
                   sePcm,
                   2,
                   48000,
                   24,
                   24,
                   2,
                   {-96, 23052, 8388607, -8360672},
                   "stand in the low bits"},
        TCorpusRow{"hound/waveformatextensible-24bit-4byte-48kHz-stereo.wav",
                   "RIFF",
                   sePcm,
                   2,
                   48000,
                   32,
                   24,
                   2,
                   {-96, 23052, 8388607, -8360672},
                   "stand in the low bits"},
        // A game's file whose RIFF size is far off: read all the same, and said.
        TCorpusRow{"hound/waveformatex-8bit-11025Hz-mono.wav",
                   "RIFF",
                   sePcm,
                   1,
                   11025,
                   8,
                   8,
                   4,
                   {-128, -128, -128, -128},
                   "RIFF size says 16478"},
        TCorpusRow{"hound/waveformatextensible-24bit-192kHz-mono.wav",
                   "RIFF",
                   sePcm,
                   1,
                   192000,
                   24,
                   24,
                   4,
                   {-17, 4194319, -6291437, 8355817},
                   nullptr},
        TCorpusRow{"hound/waveformatextensible-32bit-48kHz-stereo.wav",
                   "RIFF",
                   sePcm,
                   2,
                   48000,
                   32,
                   32,
                   2,
                   {19, -229373, 33587161, -2147483497},
                   nullptr},
        // Extensible with 0 valid bits: all 32 are taken.
        TCorpusRow{"hound/nonstandard-02.wav",
                   "RIFF",
                   sePcm,
                   2,
                   48000,
                   32,
                   32,
                   2,
                   {19, -229373, 33587161, -2147483497},
                   nullptr},
        // JUNK and bext before fmt, a PCM tag with a 40-byte format chunk.
        TCorpusRow{"hound/nonstandard-01.wav",
                   "RIFF",
                   sePcm,
                   2,
                   48000,
                   24,
                   24,
                   1,
                   {0, 0},
                   "RIFF size says 802"},
        TCorpusRow{"go-audio-wav/kick.wav", "RIFF", sePcm, 1, 22050, 16, 16, 4484, {}, nullptr},
        TCorpusRow{
            "go-audio-wav/kick-16b441k.wav", "RIFF", sePcm, 2, 44100, 16, 16, 7782, {}, nullptr},
        TCorpusRow{"go-audio-wav/bass.wav",
                   "RIFF",
                   sePcm,
                   2,
                   44100,
                   24,
                   24,
                   23957,
                   {0, 0, 110, 103, 63, 58, -2915},
                   nullptr},
        // An inst chunk of odd size 7 with its pad byte: a valid file.
        TCorpusRow{"go-audio-wav/misaligned-chunk.wav",
                   "RIFF",
                   sePcm,
                   2,
                   44100,
                   24,
                   24,
                   564480,
                   {},
                   nullptr},
        TCorpusRow{"scipy/test-44100Hz-le-1ch-4bytes.wav",
                   "RIFF",
                   sePcm,
                   1,
                   44100,
                   32,
                   32,
                   4410,
                   {},
                   "RIFF size says 17700"},
        TCorpusRow{
            "scipy/test-8000Hz-le-2ch-1byteu.wav", "RIFF", sePcm, 2, 8000, 8, 8, 800, {}, nullptr},
        TCorpusRow{"scipy/test-44100Hz-2ch-32bit-float-le.wav",
                   "RIFF",
                   seFloat,
                   2,
                   44100,
                   32,
                   32,
                   441,
                   {},
                   nullptr},
        TCorpusRow{"scipy/test-48000Hz-2ch-64bit-float-le-wavex.wav",
                   "RIFF",
                   seFloat,
                   2,
                   48000,
                   64,
                   64,
                   480,
                   {},
                   nullptr},
        // 5 valid bits in bytes; the data chunk's pad byte is missing at the end.
        TCorpusRow{"scipy/test-8000Hz-le-5ch-9S-5bit.wav",
                   "RIFF",
                   sePcm,
                   5,
                   8000,
                   5,
                   5,
                   9,
                   {0},
                   "pad byte is missing"},
        TCorpusRow{"scipy/test-8000Hz-le-4ch-9S-12bit.wav",
                   "RIFF",
                   sePcm,
                   4,
                   8000,
                   12,
                   12,
                   9,
                   {0},
                   nullptr},
        TCorpusRow{"scipy/test-8000Hz-le-3ch-5S-24bit.wav",
                   "RIFF",
                   sePcm,
                   3,
                   8000,
                   24,
                   24,
                   5,
                   {},
                   nullptr},
        TCorpusRow{"scipy/test-8000Hz-le-3ch-5S-64bit.wav",
                   "RIFF",
                   sePcm,
                   3,
                   8000,
                   64,
                   64,
                   5,
                   {},
                   nullptr},
        TCorpusRow{"scipy/test-8000Hz-le-3ch-5S-24bit-rf64.wav",
                   "RF64",
                   sePcm,
                   3,
                   8000,
                   24,
                   24,
                   5,
                   {},
                   nullptr},
        TCorpusRow{"scipy/test-8000Hz-le-1ch-1byte-ulaw.wav",
                   "RIFF",
                   seMuLaw,
                   1,
                   8000,
                   8,
                   8,
                   9,
                   {},
                   nullptr},
        // The file ends at 1024 bytes inside a data chunk that declares 17640.
        TCorpusRow{"scipy/test-44100Hz-le-1ch-4bytes-early-eof.wav",
                   "RIFF",
                   sePcm,
                   1,
                   44100,
                   32,
                   32,
                   236,
                   {},
                   "declares 17640 bytes but the file ends after 944"},
        // Block align 4 for three 24-bit channels: 9-byte frames are read, and it is said.
        TCorpusRow{"scipy/test-8000Hz-le-3ch-5S-24bit-inconsistent.wav",
                   "RIFF",
                   sePcm,
                   3,
                   8000,
                   24,
                   24,
                   5,
                   {},
                   "block align says 4"}));

TEST(CorpusFile, ExtremesAndSumsAsStated) {
    const auto extremes = [](const std::string& name) {
        const std::vector<double> values = AllValues(Open(Corpus(name)));
        return std::make_pair(*std::min_element(values.begin(), values.end()),
                              *std::max_element(values.begin(), values.end()));
    };
    // Bytes less 128: 0b11111000 is the highest, 0 the lowest.
    EXPECT_EQ(extremes("scipy/test-8000Hz-le-5ch-9S-5bit.wav"), std::make_pair(-128.0, 120.0));
    EXPECT_EQ(extremes("scipy/test-8000Hz-le-4ch-9S-12bit.wav"),
              std::make_pair(-32768.0, double(0x7FF0)));
    const auto sum = [](const std::string& name) {
        const std::vector<double> values = AllValues(Open(Corpus(name)));
        return std::accumulate(values.begin(), values.end(), 0.0);
    };
    EXPECT_EQ(sum("go-audio-wav/kick.wav"), 180896);
    EXPECT_EQ(sum("go-audio-wav/bwf.wav"), 1003870765);
}

// Big-endian and 64-bit twins hold the same samples as their RIFF files.
// (Two integer pairs must match exactly; the tolerance only ever matters for the float pair.)
TEST(CorpusFile, TwinsDecodeEqual) {
    const std::pair<const char*, const char*> twins[] = {
        {"scipy/test-44100Hz-2ch-32bit-float-be.wav", "scipy/test-44100Hz-2ch-32bit-float-le.wav"},
        {"scipy/test-44100Hz-be-1ch-4bytes.wav", "scipy/test-44100Hz-le-1ch-4bytes.wav"},
        {"scipy/test-8000Hz-be-3ch-5S-24bit.wav", "scipy/test-8000Hz-le-3ch-5S-24bit.wav"},
        {"scipy/test-44100Hz-le-1ch-4bytes-rf64.wav", "scipy/test-44100Hz-le-1ch-4bytes.wav"},
        {"scipy/test-8000Hz-le-3ch-5S-24bit-rf64.wav", "scipy/test-8000Hz-le-3ch-5S-24bit.wav"},
    };
    for (const auto& [twin, riff] : twins) {
        const TAudioFile a = Open(Corpus(twin)), b = Open(Corpus(riff));
        ASSERT_TRUE(a.Facts.Decodable) << twin;
        const std::vector<double> va = AllValues(a), vb = AllValues(b);
        ASSERT_EQ(va.size(), vb.size()) << twin;
        EXPECT_GT(va.size(), 0u);
        // The float pair was written apart and differs in the last bit of some values.
        for (std::size_t i = 0; i < va.size(); ++i)
            ASSERT_NEAR(va[i], vb[i], 1e-7 * std::max(1.0, std::abs(vb[i]))) << twin << " " << i;
    }
}

// Files that are no WAV file, or have no samples, say why.
TEST(CorpusFile, RefusalsNameTheirReason) {
    const std::pair<const char*, const char*> rows[] = {
        {"scipy/Transparent Busy.ani", "Not a WAV file: a RIFF file of form \"ACON\""},
        {"scipy/example_1.nc", "Not a WAV file: it starts with"},
        {"go-audio-wav/bloop.aif", "Not a WAV file: it starts with \"FORM\""},
        {"scipy/test-44100Hz-le-1ch-4bytes-early-eof-no-data.wav", "There is no data chunk."},
        {"scipy/test-44100Hz-le-1ch-4bytes-incomplete-chunk.wav", "not a whole chunk header"},
        {"no/such/file.wav", "No such file or directory."},
    };
    for (const auto& [name, words] : rows) {
        const TAudioFile file = Open(Corpus(name));
        EXPECT_FALSE(file.Facts.Decodable) << name;
        EXPECT_TRUE(HasProblem(file.Facts, words)) << name << ": " << words;
    }
}

// Fuzz finds of another reader: absurd sizes are never trusted.
TEST(CorpusFile, FuzzFindsReadWithoutHarm) {
    for (const char* name : {"hound/fuzz"}) {
        for (const auto& entry : std::filesystem::directory_iterator(Corpus(name))) {
            const TAudioFile file = Open(entry.path().string());
            if (file.Facts.Decodable)
                AllValues(file);
        }
    }
}

} // namespace

namespace {

struct TEncodingRow {
    const char* Name;
    int Format; // the codec library's container, encoding and byte order
    int Channels;
};

// A file written by the codec library from random values, and its own reading of every
// sample as 32-bit integers (left-justified) or doubles.
struct TWrittenFile {
    std::string Path;
    std::vector<int> Ints;
    std::vector<double> Doubles;
    std::int64_t Frames = 0;
};

TWrittenFile WriteWithCodec(const TTempDir& dir, const TEncodingRow& row, int frames) {
    TWrittenFile file;
    file.Path = dir.File(std::string(row.Name) + ".wav");
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = row.Channels;
    info.format = row.Format;
    SNDFILE* out = sf_open(file.Path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(out, nullptr) << row.Name << ": " << sf_strerror(nullptr);
    if (out == nullptr)
        return file;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<double> written(std::size_t(frames * row.Channels));
    for (double& v : written)
        v = value(random);
    sf_writef_double(out, written.data(), frames);
    sf_close(out);
    SNDFILE* in = sf_open(file.Path.c_str(), SFM_READ, &info);
    file.Frames = info.frames;
    file.Ints.resize(std::size_t(info.frames * info.channels));
    sf_readf_int(in, file.Ints.data(), info.frames);
    sf_seek(in, 0, SEEK_SET);
    file.Doubles.resize(file.Ints.size());
    sf_command(in, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
    sf_readf_double(in, file.Doubles.data(), info.frames);
    sf_close(in);
    return file;
}

class GeneratedFile : public testing::TestWithParam<TEncodingRow> {};

TEST_P(GeneratedFile, DecodesAsTheCodecLibraryReadsIt) {
    const TEncodingRow& row = GetParam();
    TTempDir dir;
    const TWrittenFile written = WriteWithCodec(dir, row, 3000);
    ASSERT_GT(written.Frames, 0);
    const TAudioFile file = Open(written.Path);
    ASSERT_TRUE(file.Facts.Decodable) << file.Facts.Problems.front();
    const TAudioSamples samples(file.Bytes, file.Facts);
    ASSERT_EQ(samples.Channels(), row.Channels);
    ASSERT_EQ(std::int64_t(samples.Frames()), written.Frames);
    const bool compressed = file.Facts.Format.IsCompressed();
    for (std::int64_t frame = 0; frame < written.Frames; ++frame) {
        for (int channel = 0; channel < row.Channels; ++channel) {
            const std::size_t k = std::size_t(frame * row.Channels + channel);
            const double value = samples.At(channel, std::uint64_t(frame));
            if (samples.IsFloat()) {
                ASSERT_EQ(value, written.Doubles[k]) << frame;
            } else {
                // The library's integers are left-justified in 32 bits; ours are the
                // container's own (16 bits for what is decoded).
                const int width = compressed ? 16 : samples.BitsOfValues();
                ASSERT_EQ(std::int64_t(value) * (std::int64_t(1) << (32 - width)),
                          std::int64_t(written.Ints[k]))
                    << row.Name << " frame " << frame << " channel " << channel;
            }
        }
    }
    // Block extremes (integers only) as one by one; the last block is short.
    const std::uint64_t blockFrames = 128, blocks = (samples.Frames() + 127) / 128;
    std::vector<double> mins(blocks), maxs(blocks);
    if (samples.BlockExtremes(row.Channels - 1, 0, blockFrames, blocks, mins.data(), maxs.data())) {
        for (std::uint64_t b = 0; b < blocks; ++b) {
            double low = samples.At(row.Channels - 1, b * 128), high = low;
            for (std::uint64_t f = b * 128;
                 f < std::min<std::uint64_t>(samples.Frames(), b * 128 + 128); ++f) {
                low = std::min(low, samples.At(row.Channels - 1, f));
                high = std::max(high, samples.At(row.Channels - 1, f));
            }
            ASSERT_EQ(mins[b], low) << row.Name << " block " << b;
            ASSERT_EQ(maxs[b], high) << row.Name << " block " << b;
        }
    } else {
        EXPECT_TRUE(samples.IsFloat());
    }
    // Read in blocks as in one by one.
    std::vector<double> block(std::size_t(written.Frames));
    samples.Read(row.Channels - 1, 0, block.size(), block.data());
    for (std::size_t i = 0; i < block.size(); i += 97)
        ASSERT_EQ(block[i], samples.At(row.Channels - 1, i));
}

INSTANTIATE_TEST_SUITE_P(
    EveryEncodingAndContainer, GeneratedFile,
    testing::Values(TEncodingRow{"u8", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1},
                    TEncodingRow{"s16", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2},
                    TEncodingRow{"s24", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 6},
                    TEncodingRow{"s32", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 3},
                    TEncodingRow{"f32", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2},
                    TEncodingRow{"f64", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 1},
                    TEncodingRow{"s16_be", SF_FORMAT_WAV | SF_FORMAT_PCM_16 | SF_ENDIAN_BIG, 2},
                    TEncodingRow{"s24_be", SF_FORMAT_WAV | SF_FORMAT_PCM_24 | SF_ENDIAN_BIG, 1},
                    TEncodingRow{"f32_be", SF_FORMAT_WAV | SF_FORMAT_FLOAT | SF_ENDIAN_BIG, 2},
                    TEncodingRow{"s24_rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_24, 2},
                    TEncodingRow{"f64_rf64", SF_FORMAT_RF64 | SF_FORMAT_DOUBLE, 2},
                    TEncodingRow{"s24_ext", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 6},
                    TEncodingRow{"f32_ext", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 2},
                    TEncodingRow{"alaw", SF_FORMAT_WAV | SF_FORMAT_ALAW, 2},
                    TEncodingRow{"ulaw", SF_FORMAT_WAV | SF_FORMAT_ULAW, 1},
                    TEncodingRow{"ulaw_rf64", SF_FORMAT_RF64 | SF_FORMAT_ULAW, 2},
                    TEncodingRow{"ima", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 2},
                    TEncodingRow{"msadpcm", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 1},
                    TEncodingRow{"gsm", SF_FORMAT_WAV | SF_FORMAT_GSM610, 1}),
    [](const testing::TestParamInfo<TEncodingRow>& row) { return std::string(row.param.Name); });

// A-law and mu-law against values of the standard's table, whatever decodes them.
TEST(GeneratedFile, CompandedCodesAsTheStandardGives) {
    TTempDir dir;
    const auto decode = [&](std::uint16_t tag, std::uint8_t code) {
        const std::string path =
            dir.Write("c.wav", TWaveBytes()
                                   .Chunk("fmt ", TWaveBytes::Format(tag, 1, 8000, 8))
                                   .Chunk("data", {code, code})
                                   .Bytes());
        const TAudioFile file = Open(path);
        return TAudioSamples(file.Bytes, file.Facts).At(0, 0);
    };
    EXPECT_EQ(decode(7, 0xFF), 0);      // mu-law: positive zero
    EXPECT_EQ(decode(7, 0x80), 32124);  // its largest
    EXPECT_EQ(decode(7, 0x00), -32124); // and smallest
    EXPECT_EQ(decode(6, 0xD5), 8);      // A-law: the smallest positive step
    EXPECT_EQ(decode(6, 0x55), -8);
    EXPECT_EQ(decode(6, 0xAA), 32256); // its largest
}

} // namespace

namespace {

// Another program cuts the file short while its samples are shown: the pages past the new end
// read as zeros, the program goes on, and it can say what happened.
TEST(MappedFile, CutShortWhileShownReadsZerosNotACrash) {
    TTempDir dir;
    std::vector<std::pair<std::int16_t, std::int16_t>> frames(100000, {1234, -1234});
    const std::string path = dir.Write("cut.wav", PlainWave(TWaveBytes::Frames(frames)));
    const TAudioFile file = Open(path);
    ASSERT_TRUE(file.Facts.Decodable);
    const TAudioSamples samples(file.Bytes, file.Facts);
    EXPECT_EQ(samples.At(1, 99999), -1234);
    ClearMappedFileChanged();
    ASSERT_EQ(truncate(path.c_str(), 4096), 0);
    EXPECT_EQ(samples.At(0, 0), 1234); // the first page is still the file's
    EXPECT_EQ(samples.At(1, 99999), 0);
    std::vector<double> values(100000);
    samples.Read(0, 0, values.size(), values.data());
    EXPECT_EQ(values[99999], 0);
    EXPECT_TRUE(MappedFileChanged());
}

} // namespace

// Bytes after the last chunk are counted in words that agree with their number.
TEST(AudioFacts, TrailingBytesAreCountedInGrammar) {
    for (const auto& [extra, words] :
         {std::pair{1, "1 byte that is not"}, std::pair{3, "3 bytes that are not"}}) {
        TBytes bytes = PlainWave(TWaveBytes::Frames({{1, 2}}));
        bytes.insert(bytes.end(), std::size_t(extra), 0x55);
        const TAudioFacts facts = ReadAudioFacts(bytes.data(), bytes.size());
        bool said = false;
        for (const std::string& problem : facts.Problems)
            said = said || problem.find(words) != std::string::npos;
        EXPECT_TRUE(said) << words;
    }
}

// A channel is named by the position its mask bit stands for, in bit order; without a mask, or
// past the mask's bits, it keeps its number.
TEST(ChannelName, FromTheChannelMask) {
    struct TCase {
        int Channel;
        std::uint32_t Mask;
        const char* Name;
    } cases[] = {
        {0, 0x3F, "Front Left"},
        {3, 0x3F, "LFE"},
        {5, 0x3F, "Back Right"},
        {4, 0x60F, "Side Left"},
        {0, 0x4, "Centre"},
        {1, 0x4, "Channel 2"},
        {1, 0x300, "Side Left"},
        {3, 0x2F00, "Top Centre"},
        {4, 0x2F00, "Top Front Centre"},
        {0, 0x20000, "Top Back Right"},
        {0, 0x40000, "Channel 1"}, // bit 18 names none
        {1, 0, "Channel 2"},
        {6, 0x3F, "Channel 7"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ChannelName(c.Channel, c.Mask), c.Name) << c.Channel << ", mask " << c.Mask;
    EXPECT_EQ(MaskedChannelName(1, 0), "");
    // Every position from the lowest bit: each channel of an all-positions mask has a name.
    const std::vector<int> all = SpeakerPositions(20, 0x3FFFF);
    EXPECT_EQ(all[17], spTopBackRight);
    EXPECT_EQ(all[18], spNone);
}

// Every channel of the largest count names itself as the whole list of positions does; naming
// each one through a list of the channels before it took minutes for such a file.
TEST(ChannelName, OfEveryChannelOfManyAgreesWithThePositions) {
    const int channels = 65535;
    for (const std::uint32_t mask : {0x3Fu, 0x80000005u, 0xFFFFFFFFu}) {
        const std::vector<int> positions = SpeakerPositions(channels, mask);
        for (int c = 0; c < channels; ++c)
            ASSERT_EQ(MaskedChannelName(c, mask), SpeakerName(positions[std::size_t(c)]))
                << "channel " << c << ", mask " << mask;
    }
}
