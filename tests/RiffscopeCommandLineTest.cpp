#include <gtest/gtest.h>

#include <cstdlib>

#include <QImage>

#include "tests/support/RunProgram.h"
#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

namespace {

TRun Riffscope(const TTempDir& dir, const std::vector<std::string>& arguments) {
    // What the platform libraries keep until exit is not this test's subject.
    const char* asan = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
    return RunProgram(RIFFSCOPE_PATH, dir, arguments);
}

TEST(RiffscopeCommandLine, HelpVersionAndUsageErrorsNeedNoDisplay) {
    TTempDir dir;
    unsetenv("DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    const TRun help = Riffscope(dir, {"--help"});
    EXPECT_EQ(help.ExitStatus, 0);
    EXPECT_NE(help.Out.find("--render <OUT.png>"), std::string::npos) << help.Out;
    const TRun version = Riffscope(dir, {"--version"});
    EXPECT_EQ(version.ExitStatus, 0);
    EXPECT_EQ(version.Out, "riffscope " RIFFSCOPE_VERSION "\n");
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--frobnicate"}, {"a.wav", "b.wav"}, {"--render"}}) {
        const TRun run = Riffscope(dir, wrong);
        EXPECT_EQ(run.ExitStatus, 2) << wrong[0];
        EXPECT_NE(run.Err.find("Usage:"), std::string::npos);
    }
}

// The picture of the window with a file loaded, made without any display; the exit status
// tells whether the file read wsOk.
TEST(RiffscopeCommandLine, RenderWritesTheWindowsPicture) {
    TTempDir dir;
    unsetenv("DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    std::vector<std::pair<std::int16_t, std::int16_t>> frames;
    for (int i = 0; i < 2000; ++i)
        frames.push_back({std::int16_t(i * 16 - 16000), std::int16_t(-i)});
    const std::string good = dir.Write("good.wav", PlainWave(TWaveBytes::Frames(frames)));
    const TRun run = Riffscope(dir, {"--render", dir.File("good.png"), good});
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    const QImage picture(QString::fromStdString(dir.File("good.png")));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(1372, 587));
    // The plots' line colour is there: the file's frames were drawn.
    int lineBlue = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 233; x < picture.width(); ++x)
            lineBlue += picture.pixel(x, y) == qRgb(68, 102, 163);
    EXPECT_GT(lineBlue, 1000);

    const TRun broken =
        Riffscope(dir, {"--render", dir.File("broken.png"), dir.File("missing.wav")});
    EXPECT_EQ(broken.ExitStatus, 1);
    EXPECT_FALSE(QImage(QString::fromStdString(dir.File("broken.png"))).isNull());
}

// In the file's format view the picture waits for the quality report: a file that clips shows
// the red marks of its clipped runs over the plot, a clean one none.
TEST(RiffscopeCommandLine, RenderInTheFilesFormatShowsTheClippedRuns) {
    TTempDir dir;
    unsetenv("DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    const auto redMarks = [&](bool clipping) {
        std::vector<std::pair<std::int16_t, std::int16_t>> frames;
        for (int i = 0; i < 20000; ++i) {
            const bool clipped = clipping && i >= 9000 && i < 9010;
            frames.push_back({clipped ? std::int16_t(32767) : std::int16_t(i % 1000), std::int16_t(i % 700)});
        }
        const std::string name = clipping ? "clip" : "clean";
        const std::string file = dir.Write(name + ".wav", PlainWave(TWaveBytes::Frames(frames)));
        const TRun run = Riffscope(dir, {"--as-format", "--render", dir.File(name + ".png"), file});
        EXPECT_EQ(run.ExitStatus, 0) << run.Err;
        const QImage picture(QString::fromStdString(dir.File(name + ".png")));
        int red = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 233; x < picture.width(); ++x)
                red += picture.pixel(x, y) == qRgb(230, 0, 0);
        return red;
    };
    EXPECT_GT(redMarks(true), 10) << "a run of 10 frames in 20000 is marked";
    EXPECT_EQ(redMarks(false), 0);
}

} // namespace
