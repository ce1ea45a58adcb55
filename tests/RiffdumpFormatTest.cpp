// riffdump and the conformant reading: the JSON's audio object and problems, and the export
// in the file's format, from files and from streams alike.

#include <gtest/gtest.h>

#include <filesystem>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/support/MarkerChunks.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

namespace {

TRun Riffdump(const TTempDir& dir, const std::vector<std::string>& arguments,
              const TRunOptions& options = {}) {
    return RunProgram(RIFFDUMP_PATH, dir, arguments, options);
}

QJsonObject JsonOf(const TRun& run) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.Out)).object();
}

// Six channels of 24 bits, 3 frames, with a LIST chunk of odd size (and its pad) after data.
TBytes SixChannels24() {
    TBytes data;
    for (int frame = 0; frame < 3; ++frame)
        for (int channel = 0; channel < 6; ++channel) {
            const std::int32_t v = (channel + 1) * (frame % 2 ? -1000 : 1000);
            for (int i = 0; i < 3; ++i)
                data.push_back(std::uint8_t(std::uint32_t(v) >> (8 * i)));
        }
    return TWaveBytes()
        .Chunk("fmt ", TWaveBytes::Format(1, 6, 96000, 24))
        .Chunk("data", data)
        // An odd body of 9 bytes, followed by its pad byte.
        .Chunk("LIST", {'t', 'l', 's', 't', 1, 2, 3, 4, 5, 0}, 9)
        .Chunk("pad?", {0, 0})
        .Bytes();
}

TEST(RiffdumpAsFormat, JsonGivesTheAudioAndEveryChunkToTheEnd) {
    TTempDir dir;
    const TBytes bytes = SixChannels24();
    const std::string file = dir.Write("six.wav", bytes);
    const QJsonObject json = JsonOf(Riffdump(dir, {"--json", file}));
    EXPECT_EQ(json["frames"].toInt(), 13) << "the default view's 16-bit stereo frames";
    const QJsonObject audio = json["audio"].toObject();
    EXPECT_EQ(audio["container"].toString(), "RIFF");
    EXPECT_EQ(audio["encoding"].toString(), "pcm");
    EXPECT_EQ(audio["channels"].toInt(), 6);
    EXPECT_EQ(audio["sampleRate"].toInt(), 96000);
    EXPECT_EQ(audio["bitsPerSample"].toInt(), 24);
    EXPECT_EQ(audio["blockAlign"].toInt(), 18);
    EXPECT_EQ(audio["frames"].toInt(), 3);
    EXPECT_DOUBLE_EQ(audio["seconds"].toDouble(), 3.0 / 96000);
    EXPECT_EQ(audio["dataOffset"].toInt(), 44);
    EXPECT_EQ(audio["dataSize"].toInt(), 54);
    QStringList ids;
    for (const QJsonValue& chunk : audio["chunks"].toArray())
        ids << chunk.toObject()["id"].toString();
    EXPECT_EQ(ids, (QStringList{"fmt ", "data", "LIST", "pad?"}));
    EXPECT_TRUE(audio["chunks"].toArray()[2].toObject()["padded"].toBool());
    EXPECT_EQ(json["problems"].toArray().size(), 0);

    // The same bytes through a pipe say the same.
    const TRun piped = Riffdump(dir, {"--json", "/dev/stdin"}, {.Input = &bytes});
    QJsonObject pipedJson = JsonOf(piped);
    pipedJson["file"] = json["file"];
    EXPECT_EQ(pipedJson, json);
}

TEST(RiffdumpAsFormat, ExportsEveryChannelAsTheWindowDoes) {
    TTempDir dir;
    const std::string file = dir.Write("six.wav", SixChannels24());
    const TRun run = Riffdump(dir, {"--as-format", file});
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_EQ(TTempDir::Read(dir.File("six_out.dat")), " 1000 2000 3000 4000 5000 6000\r\n"
                                                       " -1000 -2000 -3000 -4000 -5000 -6000\r\n"
                                                       " 1000 2000 3000 4000 5000 6000\r\n");
}

TEST(RiffdumpAsFormat, RefusalsSayWhyAndFailTheRun) {
    TTempDir dir;
    const std::string avi = dir.Write("movie.avi", TWaveBytes("AVI ").Bytes());
    const std::string odd =
        dir.Write("odd.wav", TWaveBytes()
                                 .Chunk("fmt ", TWaveBytes::Format(0x55, 2, 8000, 16))
                                 .Chunk("data", {1, 2, 3, 4})
                                 .Bytes());
    const TRun run = Riffdump(dir, {"--as-format", avi, odd, dir.File("missing.wav")});
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_NE(run.Err.find("movie.avi: Not exported in its format: Not a WAV file"),
              std::string::npos)
        << run.Err;
    EXPECT_NE(run.Err.find("odd.wav: Not exported in its format: The encoding 0x0055 is not one"),
              std::string::npos)
        << run.Err;
    EXPECT_NE(run.Err.find("missing.wav: Not exported in its format: No such file or directory."),
              std::string::npos)
        << run.Err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("odd_out.dat")));
}

// The metadata in the JSON and as a label track: a field a file holds twice is there twice, an
// ID3 frame the tag lacks is left out, a time reference past 2^63 is written as it is.
// Frames left out are the store's: a file read and exported in its format keeps them all, so
// only the store's reading says any were left out. A sparse file one frame past the store's
// 100,000,000 costs no disk; the export to a folder that is not there stops at once.
TEST(RiffdumpAsFormat, NoFramesAreLeftOutOfTheFilesFormat) {
    TTempDir dir;
    const std::uint32_t dataSize = 4 * 100'000'001u;
    TBytes header = TWaveBytes().Chunk("fmt ", TWaveBytes::Format()).Chunk("data", {}).Bytes();
    for (int i = 0; i < 4; ++i) { // the data chunk's size, and the RIFF size to match
        header[header.size() - 4 + std::size_t(i)] = std::uint8_t(dataSize >> (8 * i));
        header[4 + std::size_t(i)] = std::uint8_t((dataSize + 36) >> (8 * i));
    }
    const std::string wave = dir.Write("big.wav", header);
    std::filesystem::resize_file(wave, header.size() + dataSize);
    const std::string nowhere = dir.File("gone/big_out.dat");

    const TRun store = Riffdump(dir, {"--json", wave});
    EXPECT_EQ(JsonOf(store)["frames"].toInteger(), 100'000'001);
    EXPECT_EQ(JsonOf(store)["framesLeftOut"].toInteger(), 1);

    const TRun json = Riffdump(dir, {"--as-format", "--json", "--output", nowhere, wave});
    EXPECT_EQ(JsonOf(json)["audio"].toObject()["frames"].toInteger(), 100'000'001);
    EXPECT_FALSE(JsonOf(json).contains("framesLeftOut")) << json.Out;
    const TRun text = Riffdump(dir, {"--as-format", "--output", nowhere, wave});
    EXPECT_EQ(text.Err.find("left out"), std::string::npos) << text.Err;
}

TEST(RiffdumpMetadata, JsonAndLabelTrackSayWhatTheChunksHold) {
    const auto text = [](TBytes& out, const std::string& id, const std::string& value) {
        out.insert(out.end(), id.begin(), id.end());
        PutU32(out, std::uint32_t(value.size() + 1));
        out.insert(out.end(), value.begin(), value.end());
        out.push_back(0);
        if (out.size() % 2)
            out.push_back(0);
    };
    TBytes info = {'I', 'N', 'F', 'O'};
    text(info, "INAM", "One");
    text(info, "INAM", "Two");
    TBytes adtl = {'a', 'd', 't', 'l'};
    TBytes label;
    PutU32(label, 7);
    label.insert(label.end(), {'I', 'n', '\t', 't', 'r', 'o', 0});
    adtl.insert(adtl.end(), {'l', 'a', 'b', 'l'});
    PutU32(adtl, std::uint32_t(label.size()));
    adtl.insert(adtl.end(), label.begin(), label.end());
    adtl.push_back(0);
    TBytes cue;
    PutU32(cue, 1);
    for (std::uint32_t v : {7u, 0u, 0x61746164u, 0u, 0u, 44100u})
        PutU32(cue, v);
    TBytes bext(602, 0);
    bext[338 + 7] = 0x80; // time reference 2^63 + 5
    bext[338] = 5;
    // ID3v2.3 with a title only.
    TBytes id3 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0,   15,  'T', 'I', 'T',
                  '2', 0,   0,   0, 5, 0, 0, 0, 'T', 'a', 'k', 'e'};
    TTempDir dir;
    const std::string file = dir.Write("tagged.wav", TWaveBytes()
                                                         .Chunk("fmt ", TWaveBytes::Format())
                                                         .Chunk("LIST", info)
                                                         .Chunk("bext", bext)
                                                         .Chunk("cue ", cue)
                                                         .Chunk("LIST", adtl)
                                                         .Chunk("id3 ", id3)
                                                         .Chunk("data", TBytes(4 * 88200, 0))
                                                         .Bytes());
    const TRun json = Riffdump(dir, {"--json", file});
    ASSERT_EQ(json.ExitStatus, 0) << json.Err;
    const QJsonObject meta = JsonOf(json)["metadata"].toObject();
    const QJsonArray fields = meta["info"].toArray();
    ASSERT_EQ(fields.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(fields[i]["id"].toString(), "INAM");
        EXPECT_EQ(fields[i]["name"].toString(), "Title");
        EXPECT_EQ(fields[i]["encoding"].toString(), "UTF-8");
    }
    EXPECT_EQ(fields[0]["text"].toString(), "One");
    EXPECT_EQ(fields[1]["text"].toString(), "Two");
    EXPECT_EQ(meta["id3"].toObject(), (QJsonObject{{"title", "Take"}}));
    EXPECT_NE(json.Out.find("\"timeReference\":9223372036854775813"), std::string::npos)
        << json.Out;
    const QJsonArray cues = meta["cues"].toArray();
    ASSERT_EQ(cues.size(), 1);
    EXPECT_EQ(cues[0]["frame"].toInt(), 44100);
    EXPECT_EQ(cues[0]["label"].toString(), "In\ttro");

    const TRun track = Riffdump(dir, {"--cues", file});
    ASSERT_EQ(track.ExitStatus, 0) << track.Err;
    EXPECT_EQ(track.Out, "1.000000\t1.000000\tIn tro\n");
}

// A format of 0 channels reads wsOk as 16-bit stereo frames, and riffdump says the file holds
// no audio in every mode.
TEST(RiffdumpFormat, AFileOfNoChannelsSaysSo) {
    TBytes format = TWaveBytes::Format(1, 0, 44100, 16);
    format[12] = 4; // a block align of 4 bytes all the same
    TTempDir dir;
    const std::string file = dir.Write(
        "none.wav", TWaveBytes().Chunk("fmt ", format).Chunk("data", TBytes(400, 0)).Bytes());
    const TRun plain = Riffdump(dir, {file});
    EXPECT_EQ(plain.ExitStatus, 0);
    EXPECT_EQ(plain.Err, file + ": wsOk\n" + file +
                             ": the format says 0 channels: the file holds no audio; its data is "
                             "read as 16-bit stereo frames all the same\n");
    const TRun asFormat = Riffdump(dir, {"--as-format", file});
    EXPECT_EQ(asFormat.ExitStatus, 1);
    EXPECT_NE(asFormat.Err.find(": Not exported in its format: The format says 0 channels, so "
                                "there are no samples to read.\n"),
              std::string::npos)
        << asFormat.Err;
    const QJsonObject json = JsonOf(Riffdump(dir, {"--json", file}));
    EXPECT_EQ(json["problems"].toArray().first().toString(),
              "The format says 0 channels, so there are no samples to read.");
}

// A region stored as a cue point and a sampler loop of the same id is a region in the label
// track, with the cue point's label; a loop that no cue point names is no line of it.
TEST(RiffdumpFormat, CuesWriteLoopRegionsAsRegions) {
    const std::vector<TCueAt> points = {{1, 0, "Verse"}, {2, 44100, "Hit"}};
    TTempDir dir;
    const std::string file =
        dir.Write("regions.wav", TWaveBytes()
                                     .Chunk("fmt ", TWaveBytes::Format())
                                     .Chunk("data", TBytes(4 * 88200, 0))
                                     .Chunk("cue ", CueChunk(points))
                                     .Chunk("LIST", LabelList(points))
                                     .Chunk("smpl", SamplerChunk({{1, 0, 22049}, {9, 100, 200}}))
                                     .Bytes());
    const TRun track = Riffdump(dir, {"--cues", file});
    ASSERT_EQ(track.ExitStatus, 0) << track.Err;
    EXPECT_EQ(track.Out, "0.000000\t0.500000\tVerse\n1.000000\t1.000000\tHit\n");
}

} // namespace
