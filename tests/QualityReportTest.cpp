// The quality report: the digest, each channel's levels, the rules over the structure and the
// broadcast description, and the policy that weighs them.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>

#include "report/AudioPass.h"
#include "report/BextRules.h"
#include "report/LevelMeter.h"
#include "report/Policy.h"
#include "report/QualityReport.h"
#include "report/StructureRules.h"
#include "wave/AudioFile.h"
#include "wave/WaveBytes.h"

namespace {

TAudioFile FileOf(const TBytes& bytes) {
    return AudioFileOf(TFileBytes::Copy(bytes.data(), bytes.size()));
}

TQualityReport ReportOf(const TBytes& bytes, const TPolicy& policy = {}) {
    TReportOptions options;
    options.Policy = policy;
    return *MakeQualityReport(FileOf(bytes), options);
}

TBytes Int16Data(const std::vector<std::int16_t>& values) {
    TBytes data;
    for (std::int16_t v : values)
        PutU16(data, std::uint16_t(v));
    return data;
}

TBytes MonoWave16(const std::vector<std::int16_t>& values) {
    return TWaveBytes()
        .Chunk("fmt ", TWaveBytes::Format(1, 1, 48000, 16))
        .Chunk("data", Int16Data(values))
        .Bytes();
}

const TRuleResult* RuleOf(const TQualityReport& report, const std::string& id) {
    for (const TRuleResult& rule : report.Rules)
        if (rule.Id == id)
            return &rule;
    return nullptr;
}

// MD5 of the data chunk's bytes alone, against digests computed elsewhere, and against the
// digest an MD5 chunk keeps.
TEST(QualityReport, DigestsTheDataChunkBytesAlone) {
    struct TCase {
        const char* Name;
        TBytes File;
        const char* Md5;
        bool CutShort;
    };
    const TBytes fmt8 = TWaveBytes::Format(1, 1, 8000, 8);
    const std::vector<TCase> cases = {
        {"three bytes, padded",
         TWaveBytes().Chunk("fmt ", fmt8).Chunk("data", {'a', 'b', 'c', 0}, 3).Bytes(),
         "900150983cd24fb0d6963f7d28e17f72", false},
        {"empty data", TWaveBytes().Chunk("fmt ", fmt8).Chunk("data", {}).Bytes(),
         "d41d8cd98f00b204e9800998ecf8427e", false},
        {"cut short: the bytes present",
         TWaveBytes().Chunk("fmt ", fmt8).Chunk("data", {'a', 'b', 'c'}, 6).Bytes(),
         "900150983cd24fb0d6963f7d28e17f72", true},
        {"16-bit frames", MonoWave16({0, 0, 16384, -16384, 32767, 32767, 32767, 0}),
         "3f7ab90ad5b602df6ba5590886df4768", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TQualityReport report = ReportOf(c.File);
        ASSERT_TRUE(report.Md5.Computed);
        EXPECT_EQ(Md5Text(*report.Md5.Computed), c.Md5);
        EXPECT_EQ(report.Md5.CutShort, c.CutShort);
        EXPECT_FALSE(report.Md5.Stored);
    }
}

TEST(QualityReport, MD5ChunkAgreesOrFails) {
    const TBytes data = Int16Data({1, 2, 3, 4});
    // The digest of those eight bytes, as another tool computes it.
    const TBytes good = {0x01, 0x5b, 0x3a, 0x75, 0x99, 0xfc, 0x89, 0x44,
                         0x9a, 0xef, 0xe5, 0x27, 0x91, 0xd5, 0xf2, 0x1b};
    TBytes bad = good;
    bad[0] ^= 1;
    for (const auto& [stored, agree] : {std::pair{good, true}, std::pair{bad, false}}) {
        const TBytes file = TWaveBytes()
                                .Chunk("fmt ", TWaveBytes::Format(1, 1, 48000, 16))
                                .Chunk("data", data)
                                .Chunk("MD5 ", stored)
                                .Bytes();
        const TQualityReport report = ReportOf(file);
        ASSERT_TRUE(report.Md5.Stored);
        EXPECT_EQ(report.Md5.Agree(), agree);
        const TRuleResult* rule = RuleOf(report, "md5.mismatch");
        ASSERT_NE(rule, nullptr);
        EXPECT_EQ(rule->Verdict, agree ? vdPass : vdFail);
        EXPECT_EQ(rule->Where.Chunk, "MD5 ");
        EXPECT_EQ(report.Verdict == vdFail, !agree);
        EXPECT_FALSE(report.FailsRun); // no policy: nothing fails the run
    }
}

// Levels of a small channel, against values computed by hand: min, max, peak and RMS in
// dBFS, DC offset, crest factor, a clipped run, silence at both ends, the bits in use.
TEST(QualityReport, LevelsOfOneChannel) {
    const TQualityReport report =
        ReportOf(MonoWave16({0, 0, 16384, -16384, 32767, 32767, 32767, 0}));
    ASSERT_TRUE(report.Measured);
    ASSERT_EQ(report.Levels.Channels.size(), 1u);
    const TChannelLevels& l = report.Levels.Channels[0];
    EXPECT_EQ(l.Min, -16384);
    EXPECT_EQ(l.Max, 32767);
    EXPECT_NEAR(l.PeakDbfs, -0.00026507636037961915, 1e-12);
    EXPECT_NEAR(l.RmsDbfs, -3.590446633734998, 1e-12);
    EXPECT_NEAR(l.DcOffset, 0.3749885559082031, 1e-15);
    EXPECT_NEAR(l.Crest, 1.5118513006009495, 1e-12);
    EXPECT_EQ(l.ClippedRuns, 1u);
    EXPECT_EQ(l.ClippedSamples, 3u);
    EXPECT_EQ(l.SilenceHeadFrames, 2u);
    EXPECT_EQ(l.SilenceTailFrames, 1u);
    EXPECT_EQ(l.BitsInUse, 16);
    ASSERT_EQ(report.Levels.Runs.size(), 1u);
    EXPECT_EQ(report.Levels.Runs[0].First, 4u);
    const TRuleResult* clipping = RuleOf(report, "level.clipping");
    ASSERT_NE(clipping, nullptr);
    EXPECT_EQ(clipping->Verdict, vdWarn);
    EXPECT_EQ(clipping->Where.Frame, 4u);
}

// A 24-bit file whose low 8 bits are always 0 holds 16; silence has no level.
TEST(QualityReport, BitsInUseAndSilence) {
    TBytes data;
    for (std::int32_t v : {0x123500, -0x5600, 0x7F0000}) {
        data.push_back(std::uint8_t(v));
        data.push_back(std::uint8_t(v >> 8));
        data.push_back(std::uint8_t(v >> 16));
    }
    const TQualityReport wide = ReportOf(TWaveBytes()
                                             .Chunk("fmt ", TWaveBytes::Format(1, 1, 48000, 24))
                                             .Chunk("data", data)
                                             .Bytes());
    EXPECT_EQ(wide.Levels.Channels.at(0).BitsInUse, 16);
    EXPECT_EQ(RuleOf(wide, "level.bits-in-use")->Verdict, vdWarn);

    const TQualityReport silent = ReportOf(MonoWave16({0, 0, 0}));
    const TChannelLevels& s = silent.Levels.Channels.at(0);
    EXPECT_TRUE(std::isinf(s.PeakDbfs) && s.PeakDbfs < 0);
    EXPECT_EQ(s.SilenceHeadFrames, 3u);
    EXPECT_EQ(s.SilenceTailFrames, 3u);
    EXPECT_EQ(s.BitsInUse, 0);
    EXPECT_EQ(RuleOf(silent, "level.silence")->Verdict, vdWarn);
}

// Float data: values that are not numbers, infinite or beyond full scale are counted, and
// the levels are of the finite values.
TEST(QualityReport, FloatValuesThatAreNotAudio) {
    TBytes data;
    for (float v : {0.5f, NAN, INFINITY, 1.5f, -1.0f, -0.25f}) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        PutU32(data, bits);
    }
    const TQualityReport report = ReportOf(TWaveBytes()
                                               .Chunk("fmt ", TWaveBytes::Format(3, 1, 48000, 32))
                                               .Chunk("data", data)
                                               .Bytes());
    const TChannelLevels& l = report.Levels.Channels.at(0);
    EXPECT_EQ(l.NaN, 1u);
    EXPECT_EQ(l.Inf, 1u);
    EXPECT_EQ(l.Overs, 2u); // 1.5 and infinity
    EXPECT_FALSE(l.BitsInUse);
    EXPECT_EQ(RuleOf(report, "level.float-invalid")->Verdict, vdFail);
    EXPECT_EQ(RuleOf(report, "level.float-overs")->Verdict, vdWarn);
}

// However the pass splits the file among its threads, the levels are the same: runs that
// cross a part's edge are joined, a part entirely at full scale carries its run on.
TEST(QualityReport, LevelsDoNotDependOnTheSplit) {
    std::vector<std::int16_t> left, right;
    std::uint32_t seed = 7;
    for (int i = 0; i < 5000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int kind = int(seed >> 28);
        left.push_back(kind < 4   ? std::int16_t(32767)
                       : kind < 6 ? std::int16_t(-32768)
                                  : std::int16_t(seed >> 16));
        right.push_back(i > 100 && i < 4000 ? std::int16_t(-32768) : std::int16_t(i % 3));
    }
    TBytes data;
    for (std::size_t i = 0; i < left.size(); ++i) {
        PutU16(data, std::uint16_t(left[i]));
        PutU16(data, std::uint16_t(right[i]));
    }
    const TAudioFile file = FileOf(TWaveBytes()
                                       .Chunk("fmt ", TWaveBytes::Format(1, 2, 48000, 16))
                                       .Chunk("data", data)
                                       .Bytes());
    const TAudioSamples samples(file.Bytes, file.Facts);
    const auto levelsWith = [&](std::uint64_t partFrames, int threads) {
        TLevelMeter meter(3);
        TPassSetup setup;
        setup.Samples = &samples;
        setup.Listeners = {&meter};
        setup.PartFrames = partFrames;
        setup.Threads = threads;
        EXPECT_TRUE(RunAudioPass(setup, PassFormatOf(samples, file.Facts.Format)));
        return meter.Result();
    };
    const TLevels whole = levelsWith(1 << 20, 1);
    EXPECT_EQ(whole.Channels[1].ClippedRuns, 1u);
    EXPECT_EQ(whole.Channels[1].ClippedSamples, 3899u);
    EXPECT_GT(whole.Channels[0].ClippedRuns, 10u);
    for (std::uint64_t part : {1u, 2u, 3u, 7u, 64u, 999u}) {
        SCOPED_TRACE(part);
        const TLevels split = levelsWith(part, 2);
        for (int c = 0; c < 2; ++c) {
            const TChannelLevels &a = whole.Channels[std::size_t(c)],
                                 &b = split.Channels[std::size_t(c)];
            EXPECT_EQ(a.Min, b.Min);
            EXPECT_EQ(a.Max, b.Max);
            EXPECT_EQ(a.RmsDbfs, b.RmsDbfs);
            EXPECT_EQ(a.ClippedRuns, b.ClippedRuns);
            EXPECT_EQ(a.ClippedSamples, b.ClippedSamples);
            EXPECT_EQ(a.SilenceHeadFrames, b.SilenceHeadFrames);
            EXPECT_EQ(a.SilenceTailFrames, b.SilenceTailFrames);
        }
        ASSERT_EQ(whole.Runs.size(), split.Runs.size());
        for (std::size_t r = 0; r < whole.Runs.size(); ++r) {
            EXPECT_EQ(whole.Runs[r].First, split.Runs[r].First);
            EXPECT_EQ(whole.Runs[r].Length, split.Runs[r].Length);
            EXPECT_EQ(whole.Runs[r].Channel, split.Runs[r].Channel);
        }
    }
}

// A broadcast description with every field as archives want it; each case breaks one.
struct TBextFields {
    std::string Description = "Take 3", Originator = "Field recorder", Reference = "REF0001";
    std::string Date = "2024-02-29", Time = "23:59:59";
    std::uint16_t Version = 1;
    TBytes Umid = TBytes(64, 0);
    std::string History =
        "A=PCM,F=48000,W=24,M=stereo,T=original\r\nA=PCM,F=48000,W=24,M=stereo\r\n";
    std::function<void(TBytes&)> Patch; // a last change to the body's bytes

    TBytes Body() const {
        TBytes body(602, 0);
        const auto put = [&](std::size_t at, const std::string& text) {
            std::memcpy(body.data() + at, text.data(), text.size());
        };
        put(0, Description);
        put(256, Originator);
        put(288, Reference);
        put(320, Date);
        put(330, Time);
        body[346] = std::uint8_t(Version);
        body[347] = std::uint8_t(Version >> 8);
        std::memcpy(body.data() + 348, Umid.data(), 64);
        PutText(body, History);
        if (Patch)
            Patch(body);
        return body;
    }
};

TEST(QualityReport, BroadcastDescriptionRules) {
    const auto verdicts = [](const TBextFields& fields, const std::string& icrd = "2024-05-01") {
        TBytes info;
        PutText(info, "INFO");
        PutText(info, "ICRD");
        PutU32(info, std::uint32_t(icrd.size() + 1));
        PutText(info, icrd);
        info.push_back(0);
        if (info.size() % 2)
            info.push_back(0);
        const TBytes file = TWaveBytes()
                                .Chunk("fmt ", TWaveBytes::Format(1, 1, 48000, 16))
                                .Chunk("bext", fields.Body())
                                .Chunk("LIST", info)
                                .Chunk("data", Int16Data({1, -1}))
                                .Bytes();
        std::map<std::string, TVerdict> result;
        for (const TRuleResult& rule : ReportOf(file).Rules)
            if (rule.Id.rfind("bext.", 0) == 0 || rule.Id.rfind("info.", 0) == 0)
                result[rule.Id] = rule.Verdict;
        return result;
    };
    const std::map<std::string, TVerdict> good = verdicts({});
    for (const char* id :
         {"bext.description-length", "bext.originator-length", "bext.originator-reference-length",
          "bext.ascii", "bext.origination-date", "bext.origination-time", "bext.version",
          "bext.umid", "bext.coding-history", "info.icrd-date"}) {
        ASSERT_TRUE(good.count(id)) << id;
        EXPECT_EQ(good.at(id), vdPass) << id;
    }

    struct TCase {
        const char* Rule;
        std::function<void(TBextFields&)> Break;
    };
    const std::vector<TCase> cases = {
        {"bext.description-length",
         [](TBextFields& f) { f.Patch = [](TBytes& b) { b[10] = 'x'; }; }},
        {"bext.originator-length",
         [](TBextFields& f) { f.Patch = [](TBytes& b) { b[256 + 31] = 'x'; }; }},
        {"bext.originator-reference-length",
         [](TBextFields& f) { f.Patch = [](TBytes& b) { b[288 + 20] = 'y'; }; }},
        {"bext.ascii", [](TBextFields& f) { f.Description = "Caf\xc3\xa9"; }},
        {"bext.origination-date", [](TBextFields& f) { f.Date = "2023-02-29"; }},
        {"bext.origination-date", [](TBextFields& f) { f.Date = "2024/05/01"; }},
        {"bext.origination-time", [](TBextFields& f) { f.Time = "24:00:00"; }},
        {"bext.origination-time", [](TBextFields& f) { f.Time = "12-30-00"; }},
        {"bext.version", [](TBextFields& f) { f.Version = 3; }},
        {"bext.umid", [](TBextFields& f) { f.Umid[0] = 0x42; }},
        {"bext.coding-history", [](TBextFields& f) { f.History = "A=PCM,F=48000\n"; }},
        {"bext.coding-history", [](TBextFields& f) { f.History = "A=PCM,Q=9\r\n"; }},
    };
    for (const TCase& c : cases) {
        TBextFields fields;
        c.Break(fields);
        const auto result = verdicts(fields);
        ASSERT_TRUE(result.count(c.Rule)) << c.Rule;
        EXPECT_EQ(result.at(c.Rule), vdWarn) << c.Rule;
        // Only the rule broken fails.
        // (Version 3 carries loudness fields too, stated as 0 here.)
        for (const auto& [id, verdict] : result) {
            if (id != c.Rule && id != "bext.loudness") {
                EXPECT_EQ(verdict, vdPass) << c.Rule << " broke " << id;
            }
        }
    }
    EXPECT_EQ(verdicts({}, "2024-13-01").at("info.icrd-date"), vdWarn);
    EXPECT_EQ(verdicts({}, "2024").at("info.icrd-date"), vdPass);

    // A SMPTE UMID passes.
    TBextFields smpte;
    smpte.Umid = {0x06, 0x0A, 0x2B, 0x34, 0x01, 0x01, 0x01, 0x05, 0x01, 0x01, 0x0D, 0x20, 0x13};
    smpte.Umid.resize(64, 0x11);
    EXPECT_EQ(verdicts(smpte).at("bext.umid"), vdPass);

    // A stated loudness that differs from the audio's is said with its unit.
    TBextFields stated;
    stated.Version = 2;
    stated.Patch = [](TBytes& b) {
        for (std::size_t at = 414; at < 422; at += 2) { // range and the maxima: not given
            b[at] = 0xFF;
            b[at + 1] = 0x7F;
        }
    }; // the loudness value stays 0.00
    const TBytes file = TWaveBytes()
                            .Chunk("fmt ", TWaveBytes::Format(1, 1, 48000, 16))
                            .Chunk("bext", stated.Body())
                            .Chunk("data", Int16Data({1, -1}))
                            .Bytes();
    const TQualityReport report = ReportOf(file);
    const auto loudness =
        std::find_if(report.Rules.begin(), report.Rules.end(),
                     [](const TRuleResult& r) { return r.Id == "bext.loudness"; });
    ASSERT_NE(loudness, report.Rules.end());
    EXPECT_EQ(loudness->Message.rfind("The bext chunk states LoudnessValue 0.00 LUFS where the "
                                      "audio's is ",
                                      0),
              0u)
        << loudness->Message;
    EXPECT_EQ(loudness->Message.substr(loudness->Message.size() - 6), " LUFS.");
}

// Every problem the reading of the structure and of the metadata finds has an id of its own
// family, never the catch-all.
TEST(QualityReport, ReadingProblemsHaveStableIds) {
    struct TCase {
        const char* Problem;
        bool Metadata;
        const char* Id;
    };
    const std::vector<TCase> cases = {
        {"Not a WAV file: it starts with 'OggS'.", false, "structure.not-wave"},
        {"The file is empty.", false, "structure.not-wave"},
        {"There is no data chunk.", false, "structure.no-data"},
        {"The data chunk declares 1000 bytes but the file ends after 10; the frames present are "
         "taken.",
         false, "structure.data-cut-short"},
        {"The 'LIST' chunk declares 500 bytes but the file ends after 20.", false,
         "structure.chunk-cut-short"},
        {"The 'junk' chunk of odd size 3 is not followed by its pad byte.", false,
         "structure.pad-byte"},
        {"The RIFF size says 100 bytes follow its header, but the file has 90.", false,
         "structure.riff-size"},
        {"The byte rate says 1 but rate x block align is 176400.", false, "format.byte-rate"},
        {"The data chunk's size is a placeholder (4294967295); the data is taken to the end of the "
         "file: 8 bytes.",
         false, "structure.data-size-placeholder"},
        {"The encoding 0x0055 is not one this program decodes.", false, "structure.encoding"},
        {"LIST/INFO entry INAM has no zero at its end.", true, "meta.info"},
        {"The bext chunk has 100 bytes, fewer than the 602 of its fields.", true, "meta.bext"},
        {"The iXML text is not well-formed XML; it is shown as it is.", true, "meta.xml"},
        {"The smpl chunk lists 3 loops but has room for 1.", true, "meta.sampler"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ProblemRuleId(c.Problem, c.Metadata), c.Id) << c.Problem;
}

TEST(QualityReport, PolicyReadsItsKeys) {
    const TPolicy policy = ParsePolicy(R"({"expect": {"sampleRate": 48000, "bitsPerSample": 24,
        "channels": 2, "chunks": ["bext"], "loudness": {"target": -23, "tolerance": 1},
        "truePeakMax": -1.0, "clipping": false},
        "rules": {"level.dc-offset": "off", "bext.description-length": "error", "meta.*": "info"},
        "thresholds": {"clipRunLength": 5, "dcOffsetMax": 0.001}})");
    EXPECT_TRUE(policy.Given);
    EXPECT_EQ(policy.SampleRate, 48000u);
    EXPECT_EQ(policy.BitsPerSample, 24);
    EXPECT_EQ(policy.Channels, 2);
    EXPECT_EQ(policy.Chunks, std::vector<std::string>{"bext"});
    EXPECT_EQ(policy.LoudnessTarget, -23);
    EXPECT_EQ(policy.TruePeakMax, -1.0);
    EXPECT_EQ(policy.Clipping, false);
    EXPECT_EQ(policy.ClipRunLength, 5u);
    EXPECT_EQ(policy.SeverityOf("level.dc-offset", svWarning), std::nullopt);
    EXPECT_EQ(policy.SeverityOf("bext.description-length", svWarning), svError);
    EXPECT_EQ(policy.SeverityOf("meta.info", svWarning), svInfo);
    EXPECT_EQ(policy.SeverityOf("bext.version", svWarning), svWarning);

    // Refusals name the line and the reason.
    struct TCase {
        const char* Text;
        int Line;
        const char* Reason;
    };
    const std::vector<TCase> refusals = {
        {"{\n  \"rules\": {\n    \"level.nope\": \"error\"}}", 3, "unknown rule \"level.nope\""},
        {"{\"expect\": {\n\"sampleRate\": \"48k\"}}", 2, "\"sampleRate\" must be a number"},
        {"{\"rules\": {\"md5.mismatch\": \"fatal\"}}", 1, "takes \"error\""},
        {"{\"expect\": {}, \n\n \"colour\": 1}", 3, "unknown key \"colour\""},
        {"{\"expect\": {\"sampleRate\": 48000,}}", 1, "not valid JSON"},
        {"[1, 2]", 1, "a policy is a JSON object"},
        {"{\"expect\":\n {\"bitsPerSample\": 24.5}}", 2, "whole number"},
        {"{\"expect\": {\"encoding\": \"PCM\"}}", 1, "unknown encoding \"PCM\" (pcm, float, "},
    };
    for (const TCase& c : refusals) {
        try {
            ParsePolicy(c.Text);
            ADD_FAILURE() << "taken: " << c.Text;
        } catch (const TPolicyError& error) {
            EXPECT_EQ(error.Line, c.Line) << c.Text;
            EXPECT_NE(std::string(error.what()).find(c.Reason), std::string::npos) << error.what();
        }
    }
}

// A policy's expectations are errors that fail the run; without a policy nothing does.
TEST(QualityReport, PolicyWeighsTheRules) {
    const TBytes file = MonoWave16({100, 32767, 32767, 32767, 32767, -200});
    const TQualityReport plain = ReportOf(file);
    EXPECT_FALSE(plain.FailsRun);
    EXPECT_EQ(RuleOf(plain, "expect.sample-rate"), nullptr);

    TPolicy policy =
        ParsePolicy(R"({"expect": {"sampleRate": 44100, "channels": 1, "chunks": ["bext"]},
                                     "rules": {"level.clipping": "off"}})");
    const TQualityReport judged = ReportOf(file, policy);
    EXPECT_TRUE(judged.FailsRun);
    EXPECT_EQ(judged.Verdict, vdFail);
    EXPECT_EQ(RuleOf(judged, "expect.sample-rate")->Verdict, vdFail);
    EXPECT_EQ(RuleOf(judged, "expect.channels")->Verdict, vdPass);
    EXPECT_EQ(RuleOf(judged, "expect.chunks")->Verdict, vdFail);
    EXPECT_EQ(RuleOf(judged, "level.clipping"), nullptr);

    policy = ParsePolicy(R"({"expect": {"clipping": false, "sampleRate": 48000}})");
    const TQualityReport clipped = ReportOf(file, policy);
    EXPECT_EQ(RuleOf(clipped, "level.clipping")->Severity, svError);
    EXPECT_TRUE(clipped.FailsRun);
    policy = ParsePolicy(R"({"thresholds": {"clipRunLength": 5}})");
    EXPECT_EQ(RuleOf(ReportOf(file, policy), "level.clipping")->Verdict, vdPass);
}

} // namespace
