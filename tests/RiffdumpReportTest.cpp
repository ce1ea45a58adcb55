// riffdump --report and --policy as a user runs them: the exit statuses, the text and JSON
// reports, several jobs, lists and streams, the example policies and the shared corpora.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <set>

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "report/Policy.h"
#include "report/RuleCatalog.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

namespace {

TRun Riffdump(const TTempDir& dir, const std::vector<std::string>& arguments,
              const TRunOptions& options = {}) {
    return RunProgram(RIFFDUMP_PATH, dir, arguments, options);
}

// One second of a 1 kHz tone at 44100 Hz, 16-bit stereo, the right channel at half the left's
// level: long enough for every loudness measure, and clean under every rule.
struct TTone {
    std::vector<std::int16_t> Left, Right;
    TBytes Data;
    TBytes File;
};

TTone Tone() {
    TTone tone;
    for (int i = 0; i < 44100; ++i) {
        const double s = std::sin(2 * std::numbers::pi * 1000 * i / 44100.0);
        tone.Left.push_back(std::int16_t(std::lround(8000 * s)));
        tone.Right.push_back(std::int16_t(std::lround(-4000 * s)));
        PutU16(tone.Data, std::uint16_t(tone.Left.back()));
        PutU16(tone.Data, std::uint16_t(tone.Right.back()));
    }
    tone.File = PlainWave(tone.Data);
    return tone;
}

// 32-bit float, one channel: a NaN, an infinity and a value beyond full scale among audio.
TBytes FloatWave() {
    TBytes data;
    const float values[] = {0.25f, NAN, -0.5f, INFINITY, 1.5f, 0.125f};
    for (float v : values) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        PutU32(data, bits);
    }
    return TWaveBytes()
        .Chunk("fmt ", TWaveBytes::Format(3, 1, 48000, 32))
        .Chunk("data", data)
        .Bytes();
}

QJsonObject JsonLine(const std::string& line) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
    return document.object();
}

std::vector<QJsonObject> JsonLines(const std::string& out) {
    std::vector<QJsonObject> lines;
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(JsonLine(out.substr(at, end - at)));
    return lines;
}

TBytes BytesOf(const std::string& text) {
    return TBytes(text.begin(), text.end());
}

// A list of names for --files-from, one a line.
TBytes NameList(const std::vector<std::string>& files) {
    std::string list;
    for (const std::string& file : files)
        list += file + "\n";
    return BytesOf(list);
}

std::set<QString> Keys(const QJsonObject& object) {
    const QStringList keys = object.keys();
    return {keys.begin(), keys.end()};
}

// What the report's exit status says for each kind of run: without a policy nothing fails,
// a policy's errors fail the run, a policy refused or a file not read stops it with 2.
TEST(RiffdumpReport, ExitStatusesAndWhatTheySay) {
    TTempDir dir;
    const std::string tone = dir.Write("tone.wav", Tone().File);
    const std::string missing = dir.File("missing.wav");
    const std::string avi = dir.Write("movie.avi", TWaveBytes("AVI ").Bytes());
    const std::string policy = dir.File("policy.json");
    struct TCase {
        const char* Name;
        const char* Policy; // null for none
        std::vector<std::string> Files;
        int ExitStatus;
        std::string OutHas, ErrHas; // lines the outputs hold
    };
    const TCase cases[] = {
        {"no policy", nullptr, {tone}, 0, tone + ": PASS (every rule passed)\n", ""},
        {"a policy that holds",
         R"({"expect": {"sampleRate": 44100, "bitsPerSample": 16, "channels": 2,
             "truePeakMax": -1.0, "clipping": false}, "rules": {"level.dc-offset": "off"}})",
         {tone},
         0,
         tone + ": PASS (every rule passed)\n",
         ""},
        {"a policy that fails",
         R"({"expect": {"sampleRate": 48000}})",
         {tone},
         1,
         "  fail expect.sample-rate (error): The sample rate is 44100 Hz; 48000 Hz is expected. "
         "[chunk 'fmt ' at offset 12]\n",
         ""},
        {"a warning fails nothing",
         R"({"expect": {"chunks": ["bext"]}, "rules": {"expect.chunks": "warning"}})",
         {tone},
         0,
         tone + ": WARN (1 rule did not pass)\n",
         ""},
        {"an unknown rule",
         "{\n  \"rules\": {\n    \"x\": \"error\"}}",
         {tone},
         2,
         "",
         "riffdump: the policy " + policy + ":3: unknown rule \"x\"\n"},
        {"not JSON",
         "{\"expect\": {\"sampleRate\": 48000,}}",
         {tone},
         2,
         "",
         "riffdump: the policy " + policy + ":1: not valid JSON"},
        {"a file that is not there",
         nullptr,
         {missing},
         2,
         missing + ": FAIL (1 rule did not pass)\n  The audio is not measured: No such file or "
                   "directory.\n  fail structure.unreadable (error): No such file or directory.\n",
         ""},
        {"not a WAV file",
         R"({"expect": {"sampleRate": 44100}})",
         {tone, avi},
         2,
         "  The audio is not measured: ",
         ""},
        {"a failure and a file not read",
         R"({"expect": {"sampleRate": 48000}})",
         {missing, tone},
         2,
         "  fail expect.sample-rate (error)",
         ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> arguments = {"--report"};
        if (c.Policy != nullptr) {
            dir.Write("policy.json", BytesOf(c.Policy));
            arguments.insert(arguments.end(), {"--policy", policy});
        }
        arguments.insert(arguments.end(), c.Files.begin(), c.Files.end());
        const TRun run = Riffdump(dir, arguments);
        EXPECT_EQ(run.ExitStatus, c.ExitStatus) << run.Out << run.Err;
        EXPECT_NE(run.Out.find(c.OutHas), std::string::npos) << run.Out;
        if (c.ErrHas.empty()) {
            // The report's first line is the verdict of the first file.
            EXPECT_EQ(run.Out.rfind(c.Files.front() + ": ", 0), 0u) << run.Out;
        } else {
            EXPECT_EQ(run.Err.rfind(c.ErrHas, 0), 0u) << run.Err;
            EXPECT_EQ(run.Out, "");
        }
    }
    const TRun noReport = Riffdump(dir, {"--policy", policy, tone});
    EXPECT_EQ(noReport.ExitStatus, 2);
    EXPECT_EQ(noReport.Err.rfind("riffdump: --policy needs --report\n", 0), 0u) << noReport.Err;
}

// --json --report: the report object with each of its members, the digest that of the data
// chunk's bytes alone.
TEST(RiffdumpReport, JsonReportHoldsEveryMember) {
    TTempDir dir;
    const TTone tone = Tone();
    const std::string file = dir.Write("tone.wav", tone.File);
    const TRun run = Riffdump(dir, {"--json", "--report", file});
    EXPECT_EQ(run.ExitStatus, 0);
    const std::vector<QJsonObject> lines = JsonLines(run.Out);
    ASSERT_EQ(lines.size(), 1u);
    const QJsonObject report = lines[0]["report"].toObject();
    EXPECT_EQ(Keys(report), (std::set<QString>{"md5", "channels", "loudness", "rules", "verdict"}));
    EXPECT_EQ(report["verdict"].toString(), "pass");

    const QJsonObject md5 = report["md5"].toObject();
    const QByteArray data(reinterpret_cast<const char*>(tone.Data.data()),
                          qsizetype(tone.Data.size()));
    EXPECT_EQ(md5["computed"].toString(),
              QString(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex()));
    EXPECT_TRUE(md5["stored"].isNull());
    EXPECT_TRUE(md5["agree"].isNull());
    EXPECT_EQ(md5["cutShort"], QJsonValue(false));

    const QJsonArray channels = report["channels"].toArray();
    ASSERT_EQ(channels.size(), 2);
    const std::set<QString> levelKeys = {"name",
                                         "min",
                                         "max",
                                         "peakDbfs",
                                         "rmsDbfs",
                                         "dcOffset",
                                         "crest",
                                         "clippedSamples",
                                         "clippedRuns",
                                         "silenceHeadFrames",
                                         "silenceTailFrames",
                                         "bitsInUse"};
    for (int c = 0; c < 2; ++c) {
        const QJsonObject levels = channels[c].toObject();
        const auto& values = c == 0 ? tone.Left : tone.Right;
        EXPECT_EQ(Keys(levels), levelKeys);
        EXPECT_TRUE(levels["name"].isNull()) << "no channel mask names it";
        EXPECT_EQ(levels["min"].toDouble(), *std::min_element(values.begin(), values.end()));
        EXPECT_EQ(levels["max"].toDouble(), *std::max_element(values.begin(), values.end()));
        EXPECT_EQ(levels["bitsInUse"].toInt(), 16);
        EXPECT_EQ(levels["clippedRuns"].toInt(), 0);
        // A sine's crest factor is the square root of 2.
        EXPECT_NEAR(levels["crest"].toDouble(), std::sqrt(2.0), 0.01);
    }
    // The right channel is 6 dB below the left.
    EXPECT_NEAR(channels[0]["peakDbfs"].toDouble() - channels[1]["peakDbfs"].toDouble(), 6.02,
                0.01);

    const QJsonObject loudness = report["loudness"].toObject();
    EXPECT_EQ(Keys(loudness), (std::set<QString>{"integrated", "range", "momentaryMax",
                                                 "shortTermMax", "truePeakDbtp"}));
    EXPECT_EQ(loudness["truePeakDbtp"].toArray().size(), 2);
    EXPECT_LT(loudness["integrated"].toDouble(), 0.0);

    const QJsonArray rules = report["rules"].toArray();
    ASSERT_FALSE(rules.isEmpty());
    for (const QJsonValue& rule : rules) {
        EXPECT_EQ(Keys(rule.toObject()),
                  (std::set<QString>{"id", "severity", "verdict", "message", "where"}));
        EXPECT_EQ(rule["verdict"].toString(), "pass") << rule["id"].toString().toStdString();
    }

    // Float data counts what is not audio instead of the bits in use.
    const std::string floats = dir.Write("float.wav", FloatWave());
    const QJsonObject floatReport =
        JsonLine(Riffdump(dir, {"--json", "--report", floats}).Out)["report"].toObject();
    const QJsonObject floatLevels = floatReport["channels"].toArray().at(0).toObject();
    EXPECT_TRUE(floatLevels["bitsInUse"].isNull());
    EXPECT_EQ(floatLevels["nan"].toInt(), 1);
    EXPECT_EQ(floatLevels["inf"].toInt(), 1);
    EXPECT_GE(floatLevels["overs"].toInt(), 1);

    // The channel mask names the channels, in the object and in the text; the loudness is
    // said with its units, the numbers of the object stay bare.
    const std::string masked =
        dir.Write("masked.wav", TWaveBytes()
                                    .Chunk("fmt ", TWaveBytes::ExtensibleFormat(2, 44100, 16, 0x3))
                                    .Chunk("data", tone.Data)
                                    .Bytes());
    const QJsonArray named = JsonLine(Riffdump(dir, {"--json", "--report", masked}).Out)["report"]
                                 .toObject()["channels"]
                                 .toArray();
    ASSERT_EQ(named.size(), 2);
    EXPECT_EQ(named[0]["name"].toString(), "Front Left");
    EXPECT_EQ(named[1]["name"].toString(), "Front Right");
    const std::string text = Riffdump(dir, {"--report", masked}).Out;
    EXPECT_NE(text.find("\n  1 Front Left  "), std::string::npos) << text;
    EXPECT_NE(text.find("\n  2 Front Right "), std::string::npos) << text;
    EXPECT_NE(text.find("True peak dBTP\n"), std::string::npos) << text;
    const std::size_t loud = text.find("  Loudness: integrated ");
    ASSERT_NE(loud, std::string::npos) << text;
    const std::string line = text.substr(loud, text.find('\n', loud) - loud);
    for (const char* unit : {" LUFS, range ", " LU, momentary max ", " LUFS, short-term max "})
        EXPECT_NE(line.find(unit), std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() - 5), " LUFS") << line;
}

// Several jobs and a list of names give what one job gives for the names, and a stream reports
// the digest and levels of the same bytes in a file.
TEST(RiffdumpReport, JobsListsAndStreamsReportAlike) {
    TTempDir dir;
    const TTone tone = Tone();
    const std::vector<std::string> files = {
        dir.Write("tone.wav", tone.File), dir.Write("float.wav", FloatWave()),
        dir.File("missing.wav"), dir.Write("movie.avi", TWaveBytes("AVI ").Bytes()),
        dir.Write("cut.wav", PlainWave(TBytes(tone.Data.begin(), tone.Data.begin() + 4000)))};
    const std::string listFile = dir.Write("list.txt", NameList(files));
    const std::string policy =
        dir.Write("policy.json", BytesOf(R"({"expect": {"sampleRate": 44100}})"));
    for (const std::vector<std::string>& mode : {std::vector<std::string>{"--report"},
                                                 {"--report", "--json"},
                                                 {"--report", "--policy", policy}}) {
        std::vector<std::string> oneJob = mode;
        oneJob.insert(oneJob.end(), files.begin(), files.end());
        std::vector<std::string> twoJobs = oneJob;
        twoJobs.insert(twoJobs.begin(), {"-j", "2"});
        std::vector<std::string> fromList = mode;
        fromList.insert(fromList.end(), {"-j", "2", "--files-from", listFile});
        const TRun one = Riffdump(dir, oneJob);
        EXPECT_EQ(one.ExitStatus, 2);
        for (const TRun& other : {Riffdump(dir, twoJobs), Riffdump(dir, fromList)}) {
            EXPECT_EQ(other.ExitStatus, one.ExitStatus);
            EXPECT_EQ(other.Out, one.Out);
            EXPECT_EQ(other.Err, one.Err);
        }
    }

    const QJsonObject fromFile =
        JsonLine(Riffdump(dir, {"--json", "--report", files[0]}).Out)["report"].toObject();
    const TRun streamed =
        Riffdump(dir, {"--json", "--report", "/dev/stdin"}, {.Input = &tone.File});
    EXPECT_EQ(streamed.ExitStatus, 0);
    const QJsonObject fromStream = JsonLine(streamed.Out)["report"].toObject();
    EXPECT_EQ(fromStream["md5"], fromFile["md5"]);
    EXPECT_EQ(fromStream["channels"], fromFile["channels"]);
    EXPECT_EQ(fromStream["loudness"], fromFile["loudness"]);
}

// The example policies in the repository are taken by the reader and by riffdump, and judge.
TEST(RiffdumpReport, ExamplePoliciesAreTaken) {
    TTempDir dir;
    const std::string tone = dir.Write("tone.wav", Tone().File);
    for (const char* name : {"policy-broadcast.json", "policy-archive.json"}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(SOURCE_DIR) + "/docs/" + name;
        const std::string text = TTempDir::Read(path);
        ASSERT_FALSE(text.empty());
        TPolicy policy;
        EXPECT_NO_THROW(policy = ParsePolicy(text));
        EXPECT_EQ(policy.SampleRate, 48000u);
        EXPECT_EQ(policy.BitsPerSample, 24);
        // A 16-bit file at 44100 Hz is not what either asks for.
        const TRun run = Riffdump(dir, {"--report", "--policy", path, tone});
        EXPECT_EQ(run.ExitStatus, 1) << run.Err;
        EXPECT_NE(run.Out.find("fail expect.sample-rate (error)"), std::string::npos) << run.Out;
        EXPECT_NE(run.Out.find("fail expect.bits-per-sample (error)"), std::string::npos);
    }
}

// Every WAV file of the shared corpora is reported, and each problem its reading finds has a
// rule of its own in the catalogue, never a catch-all.
TEST(RiffdumpReport, EveryCorpusFileIsReportedWithKnownRules) {
    if (!std::filesystem::is_directory(CORPORA_DIR))
        GTEST_SKIP() << "no corpora at " << CORPORA_DIR;
    TTempDir dir;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CORPORA_DIR)) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](char c) { return char(std::tolower(c)); });
        if (entry.is_regular_file() && extension == ".wav")
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    const TBytes listBytes = NameList(files);
    const TRun run = Riffdump(dir, {"--report", "--json", "-j", "2", "--files-from", "-"},
                              {.Input = &listBytes});
    // Without a policy nothing fails the run; a file whose audio is not read gives 2.
    EXPECT_TRUE(run.ExitStatus == 0 || run.ExitStatus == 2) << run.ExitStatus << run.Err;
    const std::vector<QJsonObject> lines = JsonLines(run.Out);
    ASSERT_EQ(lines.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QJsonObject report = lines[i]["report"].toObject();
        EXPECT_FALSE(report["rules"].toArray().isEmpty()) << files[i];
        for (const QJsonValue& rule : report["rules"].toArray()) {
            const std::string id = rule["id"].toString().toStdString();
            EXPECT_NE(FindRule(id), nullptr) << files[i] << ": " << id;
            EXPECT_TRUE(id != "structure.other" && id != "meta.other")
                << files[i] << ": " << rule["message"].toString().toStdString();
        }
    }
}

} // namespace
