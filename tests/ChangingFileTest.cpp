// Files that change under an export: a source cut short or written to, and a rewrite in place
// that stops part way. Nothing made of a changed file counts, and no target keeps zeros.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include <unistd.h>

#include "samples/ExportTarget.h"
#include "samples/FormatExport.h"
#include "samples/RewriteCancelled.h"
#include "tests/support/TempDir.h"
#include "wave/AudioFile.h"
#include "wave/FileChanged.h"
#include "wave/WaveBytes.h"

namespace {

TEST(ChangingFile, AnExportOfASourceThatChangedFailsAndKeepsTheEarlierTarget) {
    struct TCase {
        const char* Name;
        std::function<void(const std::string&)> Change;
    };
    const TCase cases[] = {
        {"cut short", [](const std::string& file) { ASSERT_EQ(truncate(file.c_str(), 60), 0); }},
        {"written to, same length", // a new modification time
         [](const std::string& file) {
             std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) +
                                                        std::chrono::seconds(5));
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TTempDir dir;
        const std::string wave = dir.Write(
            "take.wav", PlainWave(std::vector<std::uint8_t>(std::size_t(4) * 400'000, 7)));
        const std::string target = dir.Write("take_out.dat", {'o', 'l', 'd'});
        const TAudioFile audio = OpenAudioFile(wave, false);
        ASSERT_TRUE(audio.Bytes && audio.Facts.Decodable);
        const TAudioSamples samples(audio.Bytes, audio.Facts);
        EXPECT_FALSE(audio.Bytes->Changed());
        c.Change(wave);
        EXPECT_TRUE(audio.Bytes->Changed());
        EXPECT_THROW(WriteFormatFile(target, samples), TFileChanged);
        EXPECT_EQ(TTempDir::Read(target), "old");
    }
}

// A rewrite in place (the target has a second link) that is cancelled part way keeps the whole
// lines written, and nothing after them: not its whole new length with zeros.
TEST(ChangingFile, ACancelledRewriteInPlaceIsCutAfterItsLastWholeLine) {
    TTempDir dir;
    const std::string target = dir.Write("out.dat", std::vector<std::uint8_t>(10, 'o'));
    ASSERT_EQ(link(target.c_str(), dir.File("second.dat").c_str()), 0);
    const std::string line = " 1 2\r\n";
    int runs = 0;
    try {
        WriteExportFile(target, [&](TExportSink& sink) {
            ++runs;
            for (int block = 0; block < 4; ++block) {
                if (runs == 2 && block == 2)
                    throw TCancelled();
                std::string text;
                for (int i = 0; i < 1000; ++i)
                    text += line;
                sink.Write(text.data(), text.size());
            }
        });
        FAIL() << "not cancelled";
    } catch (const TRewriteCancelled& cut) {
        EXPECT_EQ(cut.Target, target);
        EXPECT_EQ(cut.KeptBytes, 2000 * line.size());
    }
    const std::string kept = TTempDir::Read(target);
    EXPECT_EQ(kept.size(), 2000 * line.size());
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\0'), 0);
    EXPECT_EQ(kept.substr(kept.size() - line.size()), line);
}

} // namespace
