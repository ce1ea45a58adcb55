#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>

#include <QImage>

#include "spectrum/ColourMap.h"

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

// How many pixels of the plots' line colour the picture holds: the file's frames were drawn.
int LinePixels(const QImage& picture) {
    int lineBlue = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 233; x < picture.width(); ++x)
            lineBlue += picture.pixel(x, y) == qRgb(68, 102, 163);
    return lineBlue;
}

TBytes RampWave() {
    std::vector<std::pair<std::int16_t, std::int16_t>> frames;
    for (int i = 0; i < 2000; ++i)
        frames.push_back({std::int16_t(i * 16 - 16000), std::int16_t(-i)});
    return PlainWave(TWaveBytes::Frames(frames));
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
    const std::string good = dir.Write("good.wav", RampWave());
    const TRun run = Riffscope(dir, {"--render", dir.File("good.png"), good});
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    const QImage picture(QString::fromStdString(dir.File("good.png")));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(1372, 587));
    EXPECT_GT(LinePixels(picture), 1000);

    const TRun broken =
        Riffscope(dir, {"--render", dir.File("broken.png"), dir.File("missing.wav")});
    EXPECT_EQ(broken.ExitStatus, 1);
    EXPECT_FALSE(QImage(QString::fromStdString(dir.File("broken.png"))).isNull());
}

// --layout chooses the layout for one run: parts is the default picture itself; share is
// another; a word it does not take is a usage error.
TEST(RiffscopeCommandLine, TheLayoutForOneRun) {
    TTempDir dir;
    unsetenv("DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    const std::string file = dir.Write("ramp.wav", RampWave());
    const auto picture = [&](const std::string& name, std::vector<std::string> options) {
        options.insert(options.end(), {"--render", dir.File(name), file});
        const TRun run = Riffscope(dir, options);
        EXPECT_EQ(run.ExitStatus, 0) << run.Err;
        return QImage(QString::fromStdString(dir.File(name)));
    };
    const QImage plain = picture("plain.png", {});
    const QImage parts = picture("parts.png", {"--layout=parts"});
    const QImage share = picture("share.png", {"--layout", "share"});
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(parts, plain);
    EXPECT_EQ(share.size(), plain.size());
    EXPECT_NE(share, plain);
    EXPECT_GT(LinePixels(share), 1000);

    const TRun wrong = Riffscope(dir, {"--layout=wide", file});
    EXPECT_EQ(wrong.ExitStatus, 2);
    EXPECT_NE(wrong.Err.find("--layout takes parts or share"), std::string::npos) << wrong.Err;
    EXPECT_NE(Riffscope(dir, {"--help"}).Out.find("--layout <LAYOUT>"), std::string::npos);
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
            frames.push_back(
                {clipped ? std::int16_t(32767) : std::int16_t(i % 1000), std::int16_t(i % 700)});
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

// Both plots as spectrograms for one run: the picture saved is the exact one, where a tone
// lies in its row and a burst of 10 ms in five minutes is the brightest pixel of its plot
// (a preview of one hop per column would miss it).
TEST(RiffscopeCommandLine, RenderSpectrogramsDrawsTheExactPicture) {
    TTempDir dir;
    unsetenv("DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    constexpr int Rate = 8000, Frames = 2'500'000, BurstAt = 1'234'567;
    TBytes data;
    data.reserve(std::size_t(Frames) * 4);
    for (int f = 0; f < Frames; ++f) {
        const bool burst = f >= BurstAt && f < BurstAt + Rate / 100;
        PutU16(data, std::uint16_t(std::int16_t(
                         std::lround(16384 * std::sin(2 * M_PI * 1000.0 * f / Rate)))));
        PutU16(data, std::uint16_t(std::int16_t(
                         burst ? std::lround(16384 * std::sin(2 * M_PI * 3000.0 * f / Rate)) : 0)));
    }
    const std::string file = dir.Write(
        "tones.wav",
        TWaveBytes().Chunk("fmt ", TWaveBytes::Format(1, 2, Rate, 16)).Chunk("data", data).Bytes());
    const TRun run =
        Riffscope(dir, {"--as-format", "--spectrogram", "--render", dir.File("s.png"), file});
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    const QImage picture(QString::fromStdString(dir.File("s.png")));
    ASSERT_FALSE(picture.isNull());
    const TColourTable& viridis = ColourTable(cmViridis);
    const auto is = [&](int x, int y, TRgb c) {
        return picture.pixel(x, y) == qRgb(c.R, c.G, c.B);
    };
    const auto indexAt = [&](int x, int y) {
        for (int i = 255; i >= 0; --i)
            if (is(x, y, viridis[std::size_t(i)]))
                return i;
        return -1;
    };
    const TRgb dark = viridis.front();
    for (auto [top, bottom] : {std::pair{0, 296}, std::pair{296, picture.height()}}) {
        // The plot's area: where the quietest colour is.
        int left = picture.width(), right = 0, up = bottom, down = top;
        for (int y = top; y < bottom; ++y)
            for (int x = 233; x < picture.width(); ++x)
                if (is(x, y, dark)) {
                    left = std::min(left, x), right = std::max(right, x);
                    up = std::min(up, y), down = std::max(down, y);
                }
        ASSERT_LT(left, right);
        // Half full scale reads -6 dBFS: the brightest colour there is, wherever it is.
        std::vector<std::pair<int, int>> brightest;
        int most = 0;
        for (int y = up; y <= down; ++y)
            for (int x = left; x <= right; ++x) {
                const int index = indexAt(x, y);
                if (index > most)
                    brightest.clear(), most = index;
                if (index == most)
                    brightest.push_back({x, y});
            }
        // A 10 ms burst fills a twenty-fifth of the window: about 22 dB below a tone.
        EXPECT_GT(most, top == 0 ? 230 : 150);
        ASSERT_FALSE(brightest.empty());
        const double hertz = top == 0 ? 1000 : 3000;
        const int row = down - int(std::lround(hertz / (Rate / 2.0) * (down - up)));
        for (auto [x, y] : brightest)
            EXPECT_NEAR(y, row, 3) << "x " << x;
        if (top != 0) {
            const int column = left + int(std::lround(double(BurstAt) / Frames * (right - left)));
            for (auto [x, y] : brightest)
                EXPECT_NEAR(x, column, 2) << "y " << y;
        }
    }
}

// A name is bytes: one that is not UTF-8 opens in both views all the same, and is shown
// escaped where the picture's name cannot be kept.
TEST(RiffscopeCommandLine, ANameThatIsNotUtf8Opens) {
    TTempDir dir;
    unsetenv("DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    const std::string odd = dir.Write("\xFF\xFE take \xE9.wav", RampWave());
    for (const bool asFormat : {false, true}) {
        std::vector<std::string> arguments = {"--render", dir.File("odd.png"), odd};
        if (asFormat)
            arguments.insert(arguments.begin(), "--as-format");
        const TRun run = Riffscope(dir, arguments);
        EXPECT_EQ(run.ExitStatus, 0) << asFormat << run.Err;
        const QImage picture(QString::fromStdString(dir.File("odd.png")));
        ASSERT_FALSE(picture.isNull());
        EXPECT_GT(LinePixels(picture), 1000) << asFormat;
        std::remove(dir.File("odd.png").c_str());
    }
    // Qt would save the picture under a name with its odd bytes replaced: refused, not misnamed.
    const TRun run = Riffscope(dir, {"--render", dir.File("\xFFout.png"), odd});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_NE(run.Err.find("\\xFFout.png is not UTF-8"), std::string::npos) << run.Err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("\xFFout.png")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("\xEF\xBF\xBDout.png")));
}

// The window does not read FIFOs: one with no writer is refused at once in either view, with
// the reason on standard error rather than a bare exit status.
TEST(RiffscopeCommandLine, AFifoIsRefusedWithItsReasonInEitherView) {
    TTempDir dir;
    unsetenv("DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    const std::string fifo = dir.File("pipe.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const bool asFormat : {false, true}) {
        std::vector<std::string> arguments = {"--render", dir.File("fifo.png"), fifo};
        if (asFormat)
            arguments.insert(arguments.begin(), "--as-format");
        const TRun run = Riffscope(dir, arguments);
        EXPECT_EQ(run.ExitStatus, 1) << asFormat;
        EXPECT_NE(run.Err.find("riffscope: Not a regular file."), std::string::npos)
            << asFormat << run.Err;
        EXPECT_LT(run.Seconds, 2.0) << asFormat;
    }
}

} // namespace
