// The structure view's tree of chunks: the same chunks as riffdump's JSON at the same offsets
// over the shared corpora, and LIST entries, ds64 tables, pad bytes and each chunk's own
// problems on files built for them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/support/RunProgram.h"
#include "tests/support/TempDir.h"
#include "wave/ChunkTree.h"
#include "wave/WaveBytes.h"

namespace {

TChunkNode TreeOf(const TBytes& bytes) {
    return ChunkTreeOf(AudioFileOf(TFileBytes::Copy(bytes.data(), bytes.size())));
}

std::vector<std::string> Ids(const std::vector<TChunkNode>& nodes) {
    std::vector<std::string> ids;
    for (const TChunkNode& node : nodes)
        ids.push_back(node.Id);
    return ids;
}

bool Has(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    });
}

TBytes Text(const std::string& text) {
    return TBytes(text.begin(), text.end());
}

void AppendChunk(TBytes& file, const std::string& id, const TBytes& body) {
    PutText(file, id);
    PutU32(file, std::uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
}

// Every file of the corpora, WAV or not: the tree's top level is riffdump's list of chunks,
// id, offset, size and pad byte alike; where the log's reader reads the file, each chunk it
// met is in the tree at its offset too.
TEST(ChunkTree, ListsEveryChunkRiffdumpListsOverTheCorpora) {
    if (!std::filesystem::is_directory(CORPORA_DIR))
        GTEST_SKIP() << "no corpora at " << CORPORA_DIR;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CORPORA_DIR))
        if (entry.is_regular_file() && entry.path().filename().string().find("LICENSE") != 0)
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    ASSERT_GT(files.size(), 40u);
    TTempDir dir;
    std::vector<std::string> arguments = {"--json"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const TRun run = RunProgram(RIFFDUMP_PATH, dir, arguments);
    std::vector<QJsonObject> lines;
    for (const QByteArray& line : QByteArray::fromStdString(run.Out).split('\n'))
        if (!line.isEmpty())
            lines.push_back(QJsonDocument::fromJson(line).object());
    ASSERT_EQ(lines.size(), files.size()) << run.Err;
    std::size_t chunksCompared = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i]);
        const TChunkNode tree = ChunkTreeOf(OpenAudioFile(files[i], false));
        const QJsonValue audio = lines[i]["audio"];
        const QJsonArray chunks = audio.toObject()["chunks"].toArray();
        ASSERT_EQ(tree.Children.size(), std::size_t(chunks.size()));
        for (qsizetype c = 0; c < chunks.size(); ++c) {
            const QJsonObject chunk = chunks[c].toObject();
            const TChunkNode& node = tree.Children[std::size_t(c)];
            EXPECT_EQ(QString::fromStdString(node.Id), chunk["id"].toString());
            EXPECT_EQ(node.Offset, std::uint64_t(chunk["offset"].toInteger()));
            EXPECT_EQ(node.Declared, std::uint64_t(chunk["size"].toInteger()));
            EXPECT_EQ(node.Pad == pbPresent, chunk["padded"].toBool());
            ++chunksCompared;
        }
        if (lines[i]["status"].toString() != "wsOk")
            continue;
        for (const QJsonValue& met : lines[i]["chunks"].toArray()) {
            const auto offset = std::uint64_t(met["offset"].toInteger());
            EXPECT_TRUE(std::any_of(tree.Children.begin(), tree.Children.end(),
                                    [&](const TChunkNode& node) {
                                        return node.Offset == offset &&
                                               QString::fromStdString(node.Id) ==
                                                   met["id"].toString();
                                    }))
                << met["id"].toString().toStdString() << " at " << offset;
        }
    }
    EXPECT_GT(chunksCompared, 100u);
}

// An odd chunk with its pad byte, a LIST/INFO whose entries are children with their texts,
// and an odd entry without its pad byte at the list's end.
TEST(ChunkTree, ShowsListEntriesAndPadBytes) {
    TBytes info = Text("INFO");
    PutText(info, "IART");
    PutU32(info, 4);
    PutText(info, "Ann");
    info.push_back(0);
    PutText(info, "INAM");
    PutU32(info, 3);
    PutText(info, "Hi");
    info.push_back(0); // odd, and the list ends here: no pad byte
    TBytes file = TWaveBytes()
                      .Chunk("fmt ", TWaveBytes::Format())
                      .Chunk("inst", {60, 0, 0, 0, 127, 1, 127})
                      .Bytes();
    file.push_back(0); // the inst chunk's pad byte
    AppendChunk(file, "LIST", info);
    file.push_back(0); // the list's pad byte
    AppendChunk(file, "data", TWaveBytes::Frames({{1, 2}}));
    const std::uint32_t riff = std::uint32_t(file.size() - 8);
    for (int i = 0; i < 4; ++i)
        file[std::size_t(4 + i)] = std::uint8_t(riff >> (8 * i));

    const TChunkNode tree = TreeOf(file);
    ASSERT_EQ(Ids(tree.Children), (std::vector<std::string>{"fmt ", "inst", "LIST", "data"}));
    const TChunkNode& inst = tree.Children[1];
    EXPECT_EQ(inst.Offset, 36u);
    EXPECT_EQ(inst.Declared, 7u);
    EXPECT_EQ(inst.Pad, pbPresent);
    EXPECT_TRUE(Has(inst.Fields, "Unshifted note: 60")) << inst.Fields.size();
    const TChunkNode& list = tree.Children[2];
    EXPECT_EQ(list.Offset, 52u);
    EXPECT_EQ(list.Form, "INFO");
    ASSERT_EQ(Ids(list.Children), (std::vector<std::string>{"IART", "INAM"}));
    EXPECT_EQ(list.Children[0].Offset, 64u);
    EXPECT_EQ(list.Children[1].Offset, 76u);
    EXPECT_EQ(list.Children[1].Pad, pbMissing);
    EXPECT_EQ(list.Children[0].Fields, (std::vector<std::string>{"Artist: Ann"}));
    EXPECT_EQ(list.Children[1].Fields, (std::vector<std::string>{"Title: Hi"}));
    EXPECT_TRUE(Has(tree.Children[0].Fields, "Channels: 2"));
    EXPECT_TRUE(Has(tree.Children[3].Fields, "Frames: 1"));
    EXPECT_TRUE(tree.Problems.empty()) << tree.Problems.front();
}

// RF64: the data chunk's size comes from ds64, whose table lists another chunk's size as a
// child of its own; the header's 0xFFFFFFFF is said.
TEST(ChunkTree, ShowsTheDs64TableOfAnRf64File) {
    const TBytes data = TWaveBytes::Frames({{1, 2}, {3, 4}});
    TBytes ds64;
    for (std::uint64_t size : {std::uint64_t(0), std::uint64_t(data.size()), std::uint64_t(2)})
        for (int half = 0; half < 2; ++half)
            PutU32(ds64, std::uint32_t(size >> (32 * half)));
    PutU32(ds64, 1); // one entry in the table
    PutText(ds64, "junk");
    PutU32(ds64, 4);
    PutU32(ds64, 0);
    const TBytes file = TWaveBytes("WAVE", "RF64")
                            .Chunk("ds64", ds64)
                            .Chunk("fmt ", TWaveBytes::Format())
                            .Chunk("junk", {9, 9, 9, 9}, 0xFFFFFFFF)
                            .Chunk("data", data, 0xFFFFFFFF)
                            .Bytes();
    const TChunkNode tree = TreeOf(file);
    EXPECT_EQ(tree.Id, "RF64");
    ASSERT_EQ(Ids(tree.Children), (std::vector<std::string>{"ds64", "fmt ", "junk", "data"}));
    const TChunkNode& table = tree.Children[0];
    ASSERT_EQ(table.Children.size(), 1u);
    EXPECT_TRUE(table.Children[0].TableEntry);
    EXPECT_EQ(table.Children[0].Id, "junk");
    EXPECT_EQ(table.Children[0].Declared, 4u);
    EXPECT_EQ(table.Children[0].Offset, 12u + 8 + 28);
    EXPECT_EQ(tree.Children[2].Declared, 4u);
    const TChunkNode& audio = tree.Children[3];
    EXPECT_EQ(audio.Declared, data.size());
    EXPECT_EQ(audio.Used, data.size());
    EXPECT_TRUE(Has(audio.Fields, "0xFFFFFFFF")) << audio.Fields.front();
}

// Each problem stands with the chunk it is about; what is about the whole file (its RIFF
// size, a missing data chunk) stands at the root.
TEST(ChunkTree, PutsEachProblemWithItsChunk) {
    struct TCase {
        const char* Name;
        TBytes File;
        std::string Chunk; // the id whose node has the problem; empty for the root
        std::string Words;
    };
    const TCase cases[] = {
        {"a chunk cut short",
         TWaveBytes().Chunk("fmt ", TWaveBytes::Format()).Chunk("LIST", Text("INFO"), 500).Bytes(),
         "LIST", "declares 500 bytes"},
        {"odd data without its pad byte before the next chunk",
         TWaveBytes()
             .Chunk("fmt ", TWaveBytes::Format(1, 1, 8000, 8))
             .Chunk("data", {1, 2, 3})
             .Chunk("junk", {})
             .Bytes(),
         "data", "pad byte"},
        {"a RIFF size that is not the file's",
         TWaveBytes().Chunk("fmt ", TWaveBytes::Format()).Chunk("data", {}).RiffSize(99).Bytes(),
         "", "size says 99"},
        // Its fields are read from the bytes there, not from the size its header claims.
        {"a format chunk cut short", TWaveBytes().Chunk("fmt ", TWaveBytes::Format(), 40).Bytes(),
         "fmt ", "declares 40 bytes"},
        {"a format of no channels", TWaveBytes().Chunk("fmt ", TWaveBytes::Format(1, 0)).Bytes(),
         "fmt ", "0 channels"},
        {"no data chunk", TWaveBytes().Chunk("fmt ", TWaveBytes::Format()).Bytes(), "",
         "no data chunk"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TChunkNode tree = TreeOf(c.File);
        const TChunkNode* holder = &tree;
        for (const TChunkNode& node : tree.Children)
            if (node.Id == c.Chunk)
                holder = &node;
        ASSERT_TRUE(c.Chunk.empty() || holder != &tree);
        EXPECT_TRUE(Has(holder->Problems, c.Words));
        // Said once: not again at the root, nor on another chunk.
        std::size_t said = Has(tree.Problems, c.Words) ? 1 : 0;
        for (const TChunkNode& node : tree.Children)
            said += Has(node.Problems, c.Words) ? 1 : 0;
        EXPECT_EQ(said, 1u);
    }
}

// Many chunks: each node has its own fields and problems, found without a search through
// every chunk's metadata or every problem of the file (such files took minutes).
TEST(ChunkTree, MakesTheTreeOfManyChunks) {
    const std::size_t count = 100000;
    TWaveBytes empty;
    empty.Chunk("fmt ", TWaveBytes::Format());
    for (std::size_t i = 0; i < count; ++i)
        empty.Chunk("junk", {});
    const TChunkNode emptyTree = TreeOf(empty.Chunk("data", TWaveBytes::Frames({{1, 2}})).Bytes());
    ASSERT_EQ(emptyTree.Children.size(), count + 2);
    EXPECT_TRUE(Has(emptyTree.Children[0].Fields, "Channels: 2"));
    EXPECT_TRUE(Has(emptyTree.Children.back().Fields, "Frames: 1"));
    EXPECT_TRUE(emptyTree.Problems.empty()) << emptyTree.Problems.front();

    // Odd chunks, each without its pad byte: the problem is each one's, said at the root of none.
    const std::size_t odd = 30000;
    TWaveBytes unpadded;
    unpadded.Chunk("fmt ", TWaveBytes::Format());
    for (std::size_t i = 0; i < odd; ++i)
        unpadded.Chunk("junk", {7});
    const TChunkNode oddTree = TreeOf(unpadded.Chunk("data", TWaveBytes::Frames({{1, 2}})).Bytes());
    ASSERT_EQ(oddTree.Children.size(), odd + 2);
    for (std::size_t i = 1; i <= odd; ++i) {
        ASSERT_EQ(oddTree.Children[i].Pad, pbMissing) << i;
        ASSERT_TRUE(Has(oddTree.Children[i].Problems, "pad byte")) << i;
    }
    EXPECT_FALSE(Has(oddTree.Problems, "pad byte"));
}

} // namespace
