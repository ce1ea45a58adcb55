// Metadata chunks decoded as data: a table of chunk bytes and the values they give, damaged
// chunks decoded as far as they go with a problem said, and real files from other projects.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "meta/Metadata.h"
#include "meta/MetadataText.h"
#include "meta/TimelineMarks.h"
#include "wave/AudioFile.h"
#include "wave/WaveBytes.h"

namespace {

std::string Corpus(const std::string& name) {
    return std::string(CORPORA_DIR) + "/" + name;
}

TBytes Text(const std::string& text) {
    return TBytes(text.begin(), text.end());
}

TBytes Join(std::initializer_list<TBytes> parts) {
    TBytes out;
    for (const TBytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

TBytes Sub(const std::string& id, const TBytes& body) {
    TBytes out = Text(id);
    PutU32(out, std::uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 == 1)
        out.push_back(0);
    return out;
}

TFileMetadata Decode(const std::vector<std::pair<std::string, TBytes>>& chunks,
                     std::uint32_t rate = 48000) {
    std::vector<TMetaChunk> meta;
    for (const auto& [id, body] : chunks)
        meta.push_back({id, 0, body.size(), body.data(), body.size()});
    return DecodeMetadata(meta, rate, false);
}

bool Says(const TProblems& problems, const std::string& words) {
    for (const std::string& problem : problems)
        if (problem.find(words) != std::string::npos)
            return true;
    return false;
}

TEST(Metadata, InfoTextsWithTheirNamesAndEncodings) {
    const TBytes body = Join({Text("INFO"), Sub("IART", Text(std::string("Ann\0", 4))),
                              Sub("INAM", Text(std::string("Caf\xc3\xa9\0", 6))),
                              Sub("ICMT", Text(std::string("Caf\xe9\0", 5))),
                              Sub("IXYZ", Text(std::string("odd\0", 4)))});
    const TFileMetadata meta = Decode({{"LIST", body}});
    ASSERT_EQ(meta.Info.size(), 4u);
    EXPECT_EQ(meta.Info[0].Name, "Artist");
    EXPECT_EQ(meta.Info[0].Text, "Ann");
    EXPECT_EQ(meta.Info[1].Text, "Caf\xc3\xa9");
    EXPECT_EQ(meta.Info[1].Encoding, "UTF-8");
    EXPECT_EQ(meta.Info[2].Text, "Caf\xc3\xa9") << "Latin-1 read and given as UTF-8";
    EXPECT_EQ(meta.Info[2].Encoding, "Latin-1");
    EXPECT_EQ(meta.Info[3].Name, "IXYZ");
    EXPECT_TRUE(meta.Problems.empty());
}

TEST(Metadata, DamagedChunksGoAsFarAsTheyGoAndSaySo) {
    struct TCase {
        const char* What;
        std::string Id;
        TBytes Body;
        const char* Problem;
    };
    TBytes cue;
    PutU32(cue, 3); // three points, room for one
    PutU32(cue, 1);
    PutU32(cue, 0);
    PutText(cue, "data");
    for (int i = 0; i < 3; ++i)
        PutU32(cue, 0);
    const TCase cases[] = {
        {"a text without its zero", "LIST", Join({Text("INFO"), Sub("IART", Text("Ann"))}),
         "IART has no zero"},
        {"an entry cut by the chunk's end", "LIST",
         Join({Text("INFO"), Text("INAM"), {40, 0, 0, 0}, Text("cut")}),
         "declares 40 bytes but has 3"},
        {"a count beyond the chunk", "cue ", cue, "lists 3 points but has room for 1"},
        {"a bext shorter than its fields", "bext", Text("short"), "fewer than the 602"},
        {"XML that does not close", "iXML", Text("<BWFXML><A>1</A>"), "not well-formed"},
        {"a smpl without its loops", "smpl", TBytes(36 + 10, 0), nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        const TFileMetadata meta = Decode({{c.Id, c.Body}});
        if (c.Problem) {
            EXPECT_TRUE(Says(meta.Problems, c.Problem))
                << (meta.Problems.empty() ? "" : meta.Problems.front());
        }
    }
    const TFileMetadata cut = Decode({{"LIST", Join({Text("INFO"), Sub("IART", Text("Ann"))})}});
    ASSERT_EQ(cut.Info.size(), 1u);
    EXPECT_EQ(cut.Info[0].Text, "Ann") << "the text as far as it goes";
    const TFileMetadata cues = Decode({{"cue ", cue}});
    EXPECT_EQ(cues.Markers.size(), 1u);
}

TEST(Metadata, MarkersJoinTheirLabelsNotesAndRegions) {
    TBytes cue;
    PutU32(cue, 2);
    for (auto [id, frame] : {std::pair{1u, 0u}, std::pair{2u, 48000u}}) {
        PutU32(cue, id);
        PutU32(cue, frame);
        PutText(cue, "data");
        PutU32(cue, 0);
        PutU32(cue, 0);
        PutU32(cue, frame);
    }
    TBytes label = {2, 0, 0, 0};
    PutText(label, std::string("Chorus\0", 7));
    TBytes note = {1, 0, 0, 0};
    PutText(note, std::string("take 3\0", 7));
    TBytes region = {2, 0, 0, 0};
    PutU32(region, 24000);
    PutText(region, "rgn ");
    region.insert(region.end(), 8, 0);
    const TFileMetadata meta = Decode({{"cue ", cue},
                                       {"LIST", Join({Text("adtl"), Sub("labl", label),
                                                      Sub("note", note), Sub("ltxt", region)})}});
    ASSERT_EQ(meta.Markers.size(), 2u);
    EXPECT_EQ(meta.Markers[0].Note, "take 3");
    EXPECT_EQ(meta.Markers[1].Frame, 48000u);
    EXPECT_EQ(meta.Markers[1].Label, "Chorus");
    EXPECT_EQ(meta.Markers[1].Length, 24000u);
    EXPECT_TRUE(meta.Problems.empty());
    const std::vector<TMetaGroup> text = MetadataText(meta);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text[0].Lines[1], "#2 at frame 48000 (1.000 s), length 24000 frames: Chorus");
}

// A cue point and a sampler loop of one id that starts at it make one labelled region; a
// loop of no cue point is a region of its own without a label.
TEST(Metadata, TimelineMarksPairCuePointsWithTheirLoops) {
    struct TCase {
        const char* What;
        std::vector<TMarker> Markers;
        std::vector<TSampleLoop> Loops;
        std::vector<std::tuple<std::uint64_t, std::uint64_t, std::string, bool>> Marks;
    };
    const auto loop = [](std::uint32_t id, std::uint32_t start, std::uint32_t end) {
        TSampleLoop l;
        l.Id = id;
        l.Start = start;
        l.End = end;
        return l;
    };
    const TCase cases[] = {
        {"a region stored as a cue point and its loop",
         {{1, 48000, "Verse", {}, std::nullopt}},
         {loop(1, 48000, 95999)},
         {{48000, 48000, "Verse", true}}},
        {"the associated data's length wins",
         {{1, 100, "A", {}, 50}},
         {loop(1, 100, 999)},
         {{100, 50, "A", true}}},
        {"a loop of another id",
         {{1, 100, "A", {}, std::nullopt}},
         {loop(7, 0, 9)},
         {{100, 0, "A", true}, {0, 10, "", false}}},
        {"a loop of the id that starts elsewhere",
         {{1, 100, "A", {}, std::nullopt}},
         {loop(1, 200, 299)},
         {{100, 0, "A", true}, {200, 100, "", false}}},
        {"a loop that ends before it starts spans nothing",
         {},
         {loop(3, 500, 10)},
         {{500, 0, "", false}}},
        {"cue points of one id and start take such loops in turn, the rest stand alone",
         {{2, 10, "A", {}, std::nullopt},
          {2, 10, "B", {}, std::nullopt},
          {2, 10, "C", {}, std::nullopt}},
         {loop(2, 10, 19), loop(5, 10, 10), loop(2, 10, 39)},
         {{10, 10, "A", true}, {10, 30, "B", true}, {10, 0, "C", true}, {10, 1, "", false}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TFileMetadata meta;
        meta.Markers = c.Markers;
        meta.Sampler.emplace().Loops = c.Loops;
        std::vector<std::tuple<std::uint64_t, std::uint64_t, std::string, bool>> marks;
        for (const TTimelineMark& m : TimelineMarks(meta))
            marks.emplace_back(m.Frame, m.Length, m.Label, m.CueId.has_value());
        EXPECT_EQ(marks, c.Marks);
    }
}

// Many cue points and loops, the loops in the opposite order: half pair, the others are left
// over in the loops' order. Pairing each cue point by a search through every loop took minutes.
TEST(Metadata, TimelineMarksPairManyCuePointsAndLoops) {
    const std::uint32_t count = 100000;
    TFileMetadata meta;
    TSampler& sampler = meta.Sampler.emplace();
    for (std::uint32_t i = 0; i < count; ++i)
        meta.Markers.push_back({i, 10ull * i, {}, {}, std::nullopt});
    for (std::uint32_t i = count; i-- > 0;) {
        TSampleLoop l;
        l.Id = i;
        l.Start = 10 * i + i % 2; // the odd ones start one frame after their cue point
        l.End = l.Start + 4;
        sampler.Loops.push_back(l);
    }
    const std::vector<TTimelineMark> marks = TimelineMarks(meta);
    ASSERT_EQ(marks.size(), count + count / 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        ASSERT_EQ(marks[i].Frame, 10ull * i);
        ASSERT_EQ(marks[i].Length, i % 2 ? 0u : 5u) << i;
    }
    EXPECT_EQ(marks[count].Frame, 10ull * (count - 1) + 1);
    EXPECT_FALSE(marks[count].CueId);
    EXPECT_EQ(marks.back().Frame, 11u);
}

TEST(Metadata, BextGivesItsTimeReferenceAsATimeOfDay) {
    TBytes bext(602, 0);
    const std::string description = "Interview";
    std::copy(description.begin(), description.end(), bext.begin());
    // 10:00:00.5 at 48 kHz: 1,728,024,000 frames.
    const std::uint64_t reference = 1'728'024'000;
    for (int i = 0; i < 8; ++i)
        bext[338 + std::size_t(i)] = std::uint8_t(reference >> (8 * i));
    bext[346] = 2;    // version 2: loudness values given
    bext[412] = 0x04; // loudness value -23.00 (-2300, 0xF704)
    bext[413] = 0xF7;
    bext[414] = 0xFF; // loudness range: not given
    bext[415] = 0x7F;
    bext[416] = 0x9C; // max true peak -1.00 (-100, 0xFF9C)
    bext[417] = 0xFF;
    PutText(bext, "A=PCM,F=48000\r\n");
    const TFileMetadata meta = Decode({{"bext", bext}});
    ASSERT_TRUE(meta.Bext);
    EXPECT_EQ(meta.Bext->Description, "Interview");
    EXPECT_EQ(TimeOfDay(meta.Bext->TimeReference, 48000), "10:00:00.500");
    EXPECT_EQ(meta.Bext->LoudnessValue, -23.0);
    EXPECT_FALSE(meta.Bext->LoudnessRange);
    EXPECT_EQ(meta.Bext->CodingHistory, "A=PCM,F=48000\r\n");
    EXPECT_TRUE(meta.Bext->Umid.empty());
    // The values as a person reads them carry their units; a value not given is left out.
    const std::vector<std::string> lines = MetadataText(meta).at(0).Lines;
    const auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("Loudness value: -23.00 LUFS"));
    EXPECT_TRUE(has("Max true peak level: -1.00 dBTP"));
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("Loudness range", 0) == 0;
    }));
}

TEST(Metadata, XmlIsLaidOutOneElementToALine) {
    TProblems problems;
    EXPECT_EQ(
        IndentXml("<?xml version=\"1.0\"?><BWFXML><SPEED><MASTER>25</MASTER></SPEED></BWFXML>",
                  "iXML", problems),
        "<?xml version=\"1.0\"?>\n<BWFXML>\n  <SPEED>\n    <MASTER>25</MASTER>\n  </SPEED>\n"
        "</BWFXML>\n");
    EXPECT_TRUE(problems.empty());
}

// XML nested far deeper than anyone reads: the laid-out text stays within a fixed multiple of
// the chunk's size, well-formed or not, rather than padding every line by its depth.
TEST(Metadata, DeeplyNestedXmlStaysLinearInTheChunksSize) {
    const auto nested = [](std::size_t depth, bool closed) {
        std::string text;
        for (std::size_t i = 0; i < depth; ++i)
            text += "<a>";
        if (closed)
            for (std::size_t i = 0; i < depth; ++i)
                text += "</a>";
        return text;
    };
    for (const std::string& xml : {nested(20000, true), nested(20000, false)}) {
        TProblems problems;
        const std::string laidOut = IndentXml(xml, "iXML", problems);
        // Each tag gets a line: its text, a line end and at most 64 spaces.
        EXPECT_LE(laidOut.size(), xml.size() + 65 * (xml.size() / 3)) << xml.size();
    }
    TProblems problems;
    const std::string deep = IndentXml(nested(40, true), "iXML", problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_NE(deep.find("\n" + std::string(64, ' ') + "<a>\n"), std::string::npos);
    EXPECT_EQ(deep.find(std::string(66, ' ')), std::string::npos);
}

// Real files, with what their projects state of them.
TEST(Metadata, CorpusFilesSayWhatTheirProjectsState) {
    const TFileMetadata info =
        MetadataOf(OpenAudioFile(Corpus("go-audio-wav/listinfo.wav"), false));
    std::map<std::string, std::string> texts;
    for (const TInfoField& field : info.Info)
        texts[field.Name] = field.Text;
    EXPECT_EQ(texts, (std::map<std::string, std::string>{{"Artist", "artist"},
                                                         {"Title", "track title"},
                                                         {"Product", "album title"},
                                                         {"Track", "42"},
                                                         {"Date", "2017"},
                                                         {"Genre", "genre"},
                                                         {"Comment", "my comment"}}));

    const TFileMetadata loop = MetadataOf(OpenAudioFile(Corpus("go-audio-wav/flloop.wav"), false));
    ASSERT_EQ(loop.Info.size(), 1u);
    EXPECT_EQ(loop.Info[0].Text, "FL Studio (beta)");
    ASSERT_EQ(loop.Markers.size(), 16u);
    EXPECT_EQ(loop.Markers[0].Frame, 0u);
    EXPECT_EQ(loop.Markers[1].Frame, 0x1a5eu);
    EXPECT_EQ(loop.Markers[2].Frame, 0x34bcu);
    EXPECT_EQ(loop.Markers[15].Frame, 0x18b82u);
    ASSERT_TRUE(loop.Sampler);
    EXPECT_EQ(loop.Sampler->SamplePeriod, 22676u);
    EXPECT_EQ(loop.Sampler->UnityNote, 60u);
    ASSERT_EQ(loop.Sampler->Loops.size(), 1u);
    EXPECT_EQ(loop.Sampler->Loops[0].Start, 0u);
    EXPECT_EQ(loop.Sampler->Loops[0].End, 107999u);

    const TFileMetadata bwf = MetadataOf(OpenAudioFile(Corpus("go-audio-wav/bwf.wav"), false));
    ASSERT_TRUE(bwf.Bext) << "a bext before the format chunk";
    EXPECT_EQ(bwf.Bext->Originator, "Logic Pro");
    EXPECT_TRUE(bwf.Id3) << "an ID3 chunk at the end";
}

} // namespace
