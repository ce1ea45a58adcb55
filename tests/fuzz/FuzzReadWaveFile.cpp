#include "tests/fuzz/FuzzReadWaveFile.h"

#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

#include "cli/FileDump.h"
#include "cli/ReportJson.h"
#include "meta/MetadataText.h"
#include "report/Policy.h"
#include "report/QualityReport.h"
#include "report/ReportText.h"
#include "report/RuleCatalog.h"
#include "spectrum/SpectralPyramid.h"
#include "tests/fuzz/JsonCheck.h"
#include "tests/support/FilledPipe.h"
#include "tests/support/PipeInput.h"
#include "wave/AudioFile.h"
#include "wave/AudioSamples.h"
#include "wave/ChunkTree.h"
#include "wave/ReadWaveFile.h"
#include "wave/WaveBytes.h"

namespace {

// What `read` gives for the bytes as a stream from an unnamed pipe: one filled beforehand
// where it can hold them, else one fed by a writer thread.
template <class TRead> auto ThroughPipe(const std::uint8_t* data, std::size_t size, TRead read) {
    const TFilledPipe filled(data, size);
    if (filled.Holds())
        return read(filled.Name());
    TPipeInput input(std::vector<std::uint8_t>(data, data + size));
    return read(input.Name());
}

// riffdump's reports of the file: the JSON one well-formed, each line of the label track a
// start, an end and a label.
bool FuzzDumpFile(const std::string& fileName) {
    TDumpOptions json;
    json.Json = true;
    const TFileReport report = DumpFile(fileName, json);
    if (report.Out.empty() || report.Out.back() != '\n' ||
        !IsWellFormedJson(std::string_view(report.Out).substr(0, report.Out.size() - 1)))
        return false;
    TDumpOptions cues;
    cues.Cues = true;
    const std::string track = DumpFile(fileName, cues).Out;
    std::size_t tabs = 0;
    for (char c : track) {
        if (c == '\t')
            ++tabs;
        else if (c == '\n' && std::exchange(tabs, 0) != 2)
            return false;
    }
    return tabs == 0;
}

// The quality report of the file, judged by the input read as a policy where it is one: every
// rule it names is in the catalogue, only a policy fails the run, and its JSON is well-formed.
// Two threads for odd sizes, so that the split of the pass is fuzzed too. Large inputs are
// left to the reader's checks: the report's cost grows with the audio, not with what it finds.
bool FuzzQualityReport(const TAudioFile& file, const std::uint8_t* data, std::size_t size) {
    TReportOptions options;
    try {
        options.Policy = ParsePolicy(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const TPolicyError& error) {
        if (error.Line < 1)
            return false; // text in memory always has a line to blame
    }
    constexpr std::size_t ReportedUpTo = 256 * 1024;
    if (size > ReportedUpTo)
        return true;
    options.Threads = 1 + int(size % 2);
    const std::optional<TQualityReport> report = MakeQualityReport(file, options);
    if (!report || (report->FailsRun && !options.Policy.Given))
        return false;
    for (const TRuleResult& rule : report->Rules)
        if (FindRule(rule.Id) == nullptr)
            return false;
    QualityReportText("fuzz.wav", *report);
    return IsWellFormedJson(QualityReportJson(*report));
}

// The spectrogram of the first two channels as the window draws it: the pyramid built on two
// threads, a full view, a zoomed one and the previews, every level a number. Small inputs
// only: the cost grows with the audio, not with what the bytes say.
bool FuzzSpectrogram(const TAudioSamples& samples, std::size_t size) {
    constexpr std::size_t SpectrogramUpTo = 64 * 1024;
    if (size > SpectrogramUpTo)
        return true;
    for (int channel = 0; channel < std::min(samples.Channels(), 2); ++channel) {
        const TChannelReader reader = [&](std::uint64_t first, std::size_t count, double* out) {
            samples.Read(channel, first, count, out);
        };
        TSpectrumSettings settings;
        settings.WindowLength = 256 << (size % 3);
        settings.Hop = int(size % 7) * 40;
        settings.BlockHops = 1 + int(size % 5);
        settings.FullScale = samples.FullScale();
        const TSpectralPyramid pyramid(reader, samples.Frames(), settings, 2);
        const std::uint64_t last = pyramid.Hops() > 0 ? pyramid.Hops() - 1 : 0;
        TSpectrogramView views[] = {
            {0, last, 17, 9, TFrequencyScale(fsLinear, 22050)},
            {last / 3, last / 2, 5, 31, TFrequencyScale(fsLogarithmic, 22050), 0.2, 0.7},
            {0, last, 3, 4, TFrequencyScale(fsMel, 22050)},
        };
        views[2].Detail = TSpectrogramView::dtBlocks;
        for (const TSpectrogramView& view : views)
            for (float level : pyramid.Render(view))
                if (std::isnan(level))
                    return false;
    }
    return true;
}

// The structure view's tree: the reading's chunks at their offsets, and no node standing for
// bytes past the file's end.
bool BodiesInFile(const TChunkNode& node, std::uint64_t size) {
    for (const TChunkNode& child : node.Children)
        if (child.BodyOffset() > size || child.Used > size - child.BodyOffset() ||
            !BodiesInFile(child, size))
            return false;
    return true;
}

bool FuzzChunkTree(const TAudioFile& file, std::size_t size) {
    const TChunkNode tree = ChunkTreeOf(file);
    const auto& chunks = file.Facts.Chunks;
    if (file.Facts.IsWave && tree.Children.size() != chunks.size())
        return false;
    for (std::size_t i = 0; i < tree.Children.size(); ++i)
        if (tree.Children[i].Offset != chunks[i].Offset)
            return false;
    return BodiesInFile(tree, size);
}

// Whether two readings of the same bytes say the same.
bool SameFacts(const TAudioFacts& a, const TAudioFacts& b) {
    return a.IsWave == b.IsWave && a.Decodable == b.Decodable && a.Frames == b.Frames &&
           a.DataOffset == b.DataOffset && a.DataSize == b.DataSize &&
           a.Chunks.size() == b.Chunks.size() && a.Problems == b.Problems;
}

// The conformant reading of one input: never past the bytes, every sample decodable and
// writable as text, and the same from memory, from a mapped file and from a pipe.
bool FuzzReadAudioFile(const std::uint8_t* data, std::size_t size, const std::string& fileName) {
    const TAudioFile inMemory = AudioFileOf(TFileBytes::Copy(data, size));
    const TAudioFacts& facts = inMemory.Facts;
    if (facts.HasData && (facts.DataOffset > size || facts.DataSize > size - facts.DataOffset))
        return false;
    if (facts.Decodable && !facts.IsWave)
        return false;
    // Every metadata chunk decoded and worded, never past its bytes.
    MetadataText(MetadataOf(inMemory));
    if (!FuzzChunkTree(inMemory, size))
        return false;
    if (!FuzzQualityReport(inMemory, data, size))
        return false;
    const TAudioFile mapped = OpenAudioFile(fileName, false);
    if (!SameFacts(mapped.Facts, facts))
        return false;
    if (!ThroughPipe(data, size, [&](const std::string& name) {
            return SameFacts(OpenAudioFile(name, true).Facts, facts);
        }))
        return false;
    if (!facts.Decodable)
        return true;
    try {
        const TAudioSamples samples(mapped.Bytes, mapped.Facts);
        std::vector<char> line(samples.LongestLine());
        std::vector<double> values(std::size_t(std::min<std::uint64_t>(samples.Frames(), 4096)));
        for (int channel = 0; channel < samples.Channels(); ++channel)
            samples.Read(channel, 0, values.size(), values.data());
        if (!FuzzSpectrogram(samples, size))
            return false;
        for (std::uint64_t frame = 0; frame < samples.Frames(); ++frame) {
            const char* end = samples.FormatFrame(frame, line.data());
            if (end > line.data() + line.size())
                return false;
        }
    } catch (const std::runtime_error&) {
        // A compressed encoding the codec refuses: said in words, as it should be.
    }
    return true;
}

} // namespace

bool FuzzReadWaveFile(const std::uint8_t* data, std::size_t size) {
    int fd = memfd_create("fuzz.wav", MFD_CLOEXEC);
    if (fd < 0)
        return true;
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    TWaveInfo info;
    std::vector<std::string> lines;
    const std::string fileName = "/proc/self/fd/" + std::to_string(fd);
    ReadWaveFile(fileName, info, [&](const std::string& line) { lines.push_back(line); });
    // The read that passes over the data (riffdump's without an export) says the same.
    TWaveInfo passed;
    std::vector<std::string> passedLines;
    TWaveReadOptions passOver;
    passOver.KeepData = false;
    ReadWaveFile(
        fileName, passed, [&](const std::string& line) { passedLines.push_back(line); }, passOver);
    const bool conformantKept = FuzzReadAudioFile(data, size, fileName) && FuzzDumpFile(fileName);
    close(fd);
    if (!conformantKept)
        return false;
    if (passed.Status != info.Status || passedLines != lines || passed.Data ||
        passed.DataSize != info.DataSize)
        return false;

    const std::uint16_t s = info.Status;
    if (s != wsOk && s != wsFailed && s != wsDataBeforeFormat && s != wsBadChunkSize &&
        s != wsNotWave)
        return false;
    // wsOk and wsFailed end with the closing line. (The other statuses end without it, but
    // a chunk id may itself read O"k , so the log alone cannot show that.)
    const bool closed = !lines.empty() && lines.back() == WaveLogClosingLine;
    if ((s == wsOk || s == wsFailed) && !closed)
        return false;
    if (info.Data && s != wsOk && s != wsFailed)
        return false;
    // Memory for the data is never more than the input itself held.
    if (info.Data && info.Data->Size() > size)
        return false;

    // The same bytes through a pipe take the stream path: same status, same log.
    TWaveInfo streamed;
    std::vector<std::string> streamedLines;
    ThroughPipe(data, size, [&](const std::string& name) {
        ReadWaveFile(
            name, streamed, [&](const std::string& line) { streamedLines.push_back(line); },
            TWaveReadOptions::Streams());
        return true;
    });
    if (streamed.Status != s || streamedLines != lines)
        return false;
    if (bool(streamed.Data) != bool(info.Data) ||
        (info.Data && streamed.Data->Size() != info.Data->Size()))
        return false;
    return true;
}

namespace {

// An RF64 file: ds64 holds the RIFF and data sizes, the headers all ones.
TBytes Rf64Seed(const TBytes& frames) {
    TBytes ds64;
    const std::uint64_t dataSize = frames.size();
    const std::uint64_t riffSize = 4 + (8 + 28) + (8 + 16) + (8 + dataSize);
    for (std::uint64_t value : {riffSize, dataSize, std::uint64_t(frames.size() / 4)})
        for (int i = 0; i < 8; ++i)
            ds64.push_back(std::uint8_t(value >> (8 * i)));
    PutU32(ds64, 0);
    return TWaveBytes("WAVE", "RF64")
        .Chunk("ds64", ds64)
        .Chunk("fmt ", TWaveBytes::Format())
        .Chunk("data", frames, 0xFFFFFFFFLL)
        .RiffSize(0xFFFFFFFFu)
        .Bytes();
}

// A big-endian file: every number and sample most significant byte first.
TBytes RifxSeed() {
    const TBytes body = {0, 1, 0, 2, 0, 0, 0x1F, 0x40, 0, 0, 0x7D, 0, 0, 4, 0, 16};
    TBytes bytes = {'R', 'I', 'F', 'X', 0,   0,   0, 44, 'W', 'A',
                    'V', 'E', 'f', 'm', 't', ' ', 0, 0,  0,   16};
    bytes.insert(bytes.end(), body.begin(), body.end());
    const TBytes data = {'d', 'a', 't', 'a', 0, 0, 0, 8, 0x7F, 0xFF, 0x80, 0, 0, 1, 0xFF, 0xFE};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

// IMA ADPCM: one block of 256 bytes, 505 samples, mono.
TBytes ImaSeed() {
    TBytes format = TWaveBytes::Format(0x11, 1, 8000, 4, {2, 0, 0xF9, 0x01});
    format[8] = 0xD7; // byte rate 4055
    format[9] = 0x0F;
    format[10] = format[11] = 0;
    format[12] = 0; // block align 256
    format[13] = 1;
    TBytes block(256, 0x17);
    block[0] = block[1] = block[2] = block[3] = 0;
    return TWaveBytes()
        .Chunk("fmt ", format)
        .Chunk("fact", {0xF9, 0x01, 0, 0})
        .Chunk("data", block)
        .Bytes();
}

// `depth` opening tags, and as many closing ones after the first half of them.
TBytes NestedXml(std::size_t depth) {
    std::string text;
    for (std::size_t i = 0; i < depth; ++i)
        text += "<a>";
    for (std::size_t i = 0; i < depth / 2; ++i)
        text += "</a>";
    return TBytes(text.begin(), text.end());
}

// A policy's text: every cut of it is a policy refused at some line, the whole one is taken.
TBytes PolicySeed() {
    const std::string text = R"({"expect": {"sampleRate": 48000, "bitsPerSample": 24, "channels": 2,
  "encoding": "pcm", "chunks": ["bext", "MD5"], "loudness": {"target": -23, "tolerance": 1,
  "rangeMax": 20}, "truePeakMax": -1.0, "clipping": false},
 "rules": {"level.dc-offset": "off", "bext.*": "error", "md5.missing": "warning"},
 "thresholds": {"clipRunLength": 2, "dcOffsetMax": 0.001}})";
    return TBytes(text.begin(), text.end());
}

} // namespace

std::vector<std::vector<std::uint8_t>> ReadWaveFileSeeds() {
    const TBytes fmt = TWaveBytes::Format();
    const TBytes frames = TWaveBytes::Frames({{1, -1}, {32767, -32768}});
    return {
        PlainWave(frames),
        PlainWave({}),
        TWaveBytes()
            .Chunk("LIST", {'I', 'N', 'F', 'O', 'x'})
            .Chunk("fmt ", fmt)
            .Chunk("data", frames)
            .Bytes(),
        TWaveBytes()
            .Chunk("fmt ", TWaveBytes::Format(0xFFFE, 2, 48000, 24, TBytes(24, 0)))
            .Chunk("fact", {0, 0, 0, 0})
            .Chunk("data", frames)
            .Bytes(),
        TWaveBytes().Chunk("data", frames).Chunk("fmt ", fmt).Bytes(),
        TWaveBytes().Chunk("fmt ", fmt).Chunk("data", frames, 0xFFFFFFFFLL).Bytes(),
        TWaveBytes().Chunk("fmt ", fmt).Chunk("LIST", {}, 0x80000000LL).Bytes(),
        TWaveBytes("AVI ").Bytes(),
        {'R', 'I', 'F'},
        // A form type that reads like the closing line.
        TWaveBytes("O\"k ").Chunk("fmt ", fmt).Bytes(),
        // The conformant reading's own shapes: 64-bit sizes, big-endian, odd bodies with
        // their pad, wider and narrower samples, floats, the compressed encodings.
        Rf64Seed(frames),
        RifxSeed(),
        TWaveBytes()
            .Chunk("fmt ", TWaveBytes::Format(1, 3, 8000, 24))
            .Chunk("inst", {1, 2, 3})
            .Chunk("data", TBytes(18, 0x81))
            .Bytes(),
        TWaveBytes()
            .Chunk("fmt ", TWaveBytes::Format(3, 1, 8000, 32))
            .Chunk("data", TBytes(8, 0x3F))
            .Bytes(),
        TWaveBytes()
            .Chunk("fmt ", TWaveBytes::Format(7, 1, 8000, 8))
            .Chunk("data", TBytes(9, 0x55))
            .Bytes(),
        ImaSeed(),
        // A data chunk longer than a stream's first block (64 KiB), so that a stream's block
        // grows as it is read.
        PlainWave(TBytes(70'000, 0x5A)),
        // iXML nested 1,000 deep (its closing half left off): the layout's indentation is
        // bounded, so the text stays linear in the chunk.
        TWaveBytes()
            .Chunk("fmt ", fmt)
            .Chunk("data", frames)
            .Chunk("iXML", NestedXml(1000))
            .Bytes(),
        // What a stalled FIFO leaves: a stream that stops inside a chunk that declares far more
        // (the reader must count the bytes there, not the chunk's end).
        TWaveBytes()
            .Chunk("fmt ", fmt)
            .Chunk("LIST", {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M'}, 0x7FFFFFFF)
            .Bytes(),
        // A fuzz find: mu-law in 254 channels that the codec decodes to no frames at all.
        {0x52, 0x49, 0x46, 0x46, 0x3e, 0x00, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6d,
         0x74, 0x20, 0x14, 0x00, 0x00, 0x00, 0x07, 0x00, 0xfe, 0x00, 0x40, 0x1f, 0x00, 0x00,
         0x40, 0x1f, 0x00, 0x00, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x66, 0x61,
         0x63, 0x74, 0x04, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x64, 0x61, 0x74, 0x61,
         0x09, 0x00, 0x00, 0x00, 0xff, 0x8b, 0x83, 0x8b, 0xff, 0x0b, 0x03, 0x0b, 0xff, 0x00},
        PolicySeed(),
    };
}
