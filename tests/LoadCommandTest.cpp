#include <gtest/gtest.h>

#include <filesystem>

#include <cstdio>

#include <unistd.h>

#include "samples/ChannelPlots.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/LoadTest.h"
#include "tests/support/RecordedPlots.h"
#include "wave/Cancelled.h"

#include "samples/LoadCommand.h"
#include "samples/SampleStore.h"
#include "samples/SaveAsciiFile.h"
#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

namespace {

class LoadCommand : public TLoadTest {
  protected:
    TChannelPlots& LoadPlots() override { return Plots; }
    TRecordedPlots Plots;
};

TEST_F(LoadCommand, FillsTheStoreAndBothSeriesFrameByFrame) {
    TLoadResult result = Load(PlainWave(TWaveBytes::Frames({{120, -35}, {-32768, 32767}, {0, 7}})));
    EXPECT_EQ(result.Status, wsOk);
    EXPECT_EQ(SampleCount, 3);
    EXPECT_EQ(WaveFileName, Dir.File("input.wav"));
    EXPECT_EQ((std::vector<int>{LeftSamples[1], LeftSamples[2], LeftSamples[3]}),
              (std::vector<int>{120, -32768, 0}));
    EXPECT_EQ((std::vector<int>{RightSamples[1], RightSamples[2], RightSamples[3]}),
              (std::vector<int>{-35, 32767, 7}));
    EXPECT_EQ(Plots.UpperYs(), (std::vector<double>{120, -32768, 0}));
    EXPECT_EQ(Plots.LowerYs(), (std::vector<double>{-35, 32767, 7}));
    EXPECT_EQ(Plots.Xs().front(), 1);
    EXPECT_EQ(Plots.Xs().back(), 3);
    EXPECT_EQ(Lines.size(), 13u);
}

TEST_F(LoadCommand, DataSizesThatAreNotWholeFrames) {
    // 0 bytes: everything cleared, nothing added. 7 bytes: one frame, 3 bytes ignored.
    Load(PlainWave(TWaveBytes::Frames({{1, 2}, {3, 4}})));
    Load(PlainWave({}));
    EXPECT_EQ(SampleCount, 0);
    EXPECT_EQ(Plots.UpperCount(), 0);
    EXPECT_EQ(Plots.LowerCount(), 0);

    Load(PlainWave({0x01, 0x00, 0xFF, 0xFF, 9, 9, 9}));
    EXPECT_EQ(SampleCount, 1);
    EXPECT_EQ(LeftSamples[1], 1);
    EXPECT_EQ(RightSamples[1], -1);
    EXPECT_EQ(Plots.UpperCount(), 1);
}

TEST_F(LoadCommand, ShorterFileAfterALongerOneReplacesEverything) {
    Load(PlainWave(TWaveBytes::Frames({{1, 1}, {2, 2}, {3, 3}})), "long.wav");
    Load(PlainWave(TWaveBytes::Frames({{9, -9}})), "short.wav");
    EXPECT_EQ(SampleCount, 1);
    EXPECT_EQ(Plots.UpperCount(), 1);
    EXPECT_EQ(Plots.LowerYs(), (std::vector<double>{-9}));
    EXPECT_EQ(WaveFileName, Dir.File("short.wav"));
}

TEST_F(LoadCommand, MonoFileTakesSamplePairsAsLeftAndRight) {
    TBytes bytes = TWaveBytes()
                       .Chunk("fmt ", TWaveBytes::Format(1, 1, 8000, 16))
                       .Chunk("data", TWaveBytes::Frames({{10, 20}, {30, 40}}))
                       .Bytes();
    Load(bytes);
    EXPECT_EQ(SampleCount, 2);
    EXPECT_EQ(LeftSamples[2], 30);
    EXPECT_EQ(RightSamples[2], 40);
}

// A read that did not end wsOk must leave nothing of the previous file to export under the
// new file's name.
TEST_F(LoadCommand, FailedReadClearsTheStoreAndThePlots) {
    const TBytes good = PlainWave(TWaveBytes::Frames({{5, 6}, {7, 8}}));
    const TBytes broken[] = {
        TBytes(good.begin(), good.end() - 2), // short data: wsFailed with a partial block
        TWaveBytes("AVI ").Bytes(),           // wsNotWave
        TWaveBytes().Chunk("data", {1, 2, 3, 4}).Bytes(), // wsDataBeforeFormat
    };
    for (const TBytes& bytes : broken) {
        Load(good, "good.wav");
        ASSERT_EQ(SampleCount, 2);
        TLoadResult result = Load(bytes, "bad.wav");
        EXPECT_NE(result.Status, wsOk);
        EXPECT_EQ(SampleCount, 0);
        EXPECT_EQ(Plots.UpperCount(), 0);
        EXPECT_EQ(Plots.LowerCount(), 0);
        EXPECT_EQ(WaveFileName, Dir.File("bad.wav"));
    }
}

TEST_F(LoadCommand, CancelChangesNothingButTheFileName) {
    Load(PlainWave(TWaveBytes::Frames({{5, 6}})), "first.wav");
    const std::size_t lines = Lines.size();
    TLoadResult result = RunLoadCommand(false, Dir.File("first.wav"), Log, &Plots);
    EXPECT_FALSE(result.FileChosen);
    EXPECT_EQ(Lines.size(), lines);
    EXPECT_EQ(SampleCount, 1);
    EXPECT_EQ(Plots.UpperCount(), 1);

    RunLoadCommand(false, "", Log, &Plots);
    EXPECT_EQ(WaveFileName, "");
    EXPECT_EQ(SampleCount, 1);
}

TEST_F(LoadCommand, FramesBeyondTheLimitAreLeftOutAndNeverWritten) {
    LeftSamples[3] = 1234; // a sentinel just past the limit
    const std::string file =
        Dir.Write("big.wav", PlainWave(TWaveBytes::Frames({{1, 2}, {3, 4}, {5, 6}})));
    TLoadResult result = RunLoadCommand(true, file, Log, &Plots, 2);
    EXPECT_EQ(result.FramesLoaded, 2);
    EXPECT_EQ(result.FramesLeftOut, 1u);
    EXPECT_EQ(SampleCount, 2);
    EXPECT_EQ(LeftSamples[3], 1234);
    EXPECT_EQ(Plots.UpperCount(), 2);
}

} // namespace

namespace {

// Plots that fail when asked to take their `failAt`-th block, as a series would when its
// memory runs out part-way.
class TFailingPlots : public TChannelPlots {
  public:
    TFailingPlots(TChannelPlots& real, int failAt) : Real(real), FailAt(failAt) {}
    void Clear() noexcept override { Real.Clear(); }
    void Reserve(int frames) override { Real.Reserve(frames); }
    void AddFrames(const double* xs, const double* lefts, const double* rights,
                   int count) override {
        if (++Blocks == FailAt)
            throw std::bad_alloc();
        Real.AddFrames(xs, lefts, rights, count);
    }

  private:
    TChannelPlots& Real;
    int FailAt;
    int Blocks = 0;
};

// Plots kept in plain vectors, whose growth really asks the system for memory.
class TVectorPlots : public TChannelPlots {
  public:
    void Clear() noexcept override {
        Xs = {};
        Lefts = {};
        Rights = {};
    }
    void Reserve(int) override {}
    void AddFrames(const double* xs, const double* lefts, const double* rights,
                   int count) override {
        Xs.insert(Xs.end(), xs, xs + count);
        Lefts.insert(Lefts.end(), lefts, lefts + count);
        Rights.insert(Rights.end(), rights, rights + count);
    }
    std::vector<double> Xs, Lefts, Rights;
};

TBytes ManyFrames(int count, std::int16_t value) {
    return PlainWave(TWaveBytes::Frames(
        std::vector<std::pair<std::int16_t, std::int16_t>>(std::size_t(count), {value, value})));
}

} // namespace

// A load that fails while decoding leaves nothing of the previous file behind: the next export
// writes no other file's samples under the new name.
TEST_F(LoadCommand, ALoadThatFailsPartWayLeavesNothing) {
    for (int failAt : {1, 2}) {
        SCOPED_TRACE(failAt);
        Load(PlainWave(TWaveBytes::Frames({{5, 6}, {7, 8}})), "old.wav");
        ASSERT_EQ(SampleCount, 2);
        TFailingPlots failing(Plots, failAt);
        EXPECT_THROW(RunLoadCommand(true, Dir.Write("new.wav", ManyFrames(5000, 9)), Log, &failing),
                     std::bad_alloc);
        EXPECT_EQ(SampleCount, 0);
        EXPECT_EQ(Plots.UpperCount(), 0);
        EXPECT_EQ(Plots.LowerCount(), 0);
        EXPECT_EQ(WaveFileName, Dir.File("new.wav"));
        // Nothing of either file is exported, and no file is written.
        EXPECT_THROW(SaveAsciiFile(), std::runtime_error);
        EXPECT_FALSE(std::filesystem::exists(Dir.File("new_out.dat")));
    }
}

// The same for real: in a child process whose address space is capped after a good load, a
// bigger file's plots cannot grow. The child reports by its exit status.
TEST_F(LoadCommand, ALoadThatRunsOutOfMemoryLeavesNothing) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the cap leaves";
#else
    const std::string small = Dir.Write("small.wav", ManyFrames(3, 1));
    const std::string big = Dir.Write("big.wav", ManyFrames(4'000'000, 2));
    EXPECT_EQ(RunInChild([&] {
                  TVectorPlots plots;
                  RunLoadCommand(
                      true, small, [](const std::string&) {}, &plots);
                  if (SampleCount != 3)
                      return 10;
                  // Room for the file's data block, not for its plots.
                  if (!CapAddressSpaceAbove(48u << 20))
                      return 12;
                  bool failed = false;
                  try {
                      RunLoadCommand(
                          true, big, [](const std::string&) {}, &plots);
                  } catch (const std::bad_alloc&) {
                      failed = true;
                  }
                  if (!failed)
                      return 13;
                  if (SampleCount != 0 || !plots.Xs.empty() || WaveFileName != big)
                      return 14;
                  try {
                      SaveAsciiFile();
                      return 15; // nothing is loaded: the export must refuse
                  } catch (const std::runtime_error&) {
                  }
                  return std::filesystem::exists(Dir.File("big_out.dat")) ? 16 : 0;
              }),
              0);
#endif
}

// A recording cut short, or a stream that wrote a placeholder size, still reads wsFailed with
// the same log; asked to, the load takes the whole frames that are there.
TEST_F(LoadCommand, SalvageLoadsTheWholeFramesOfACutDataChunk) {
    const TBytes frames = TWaveBytes::Frames({{1, -1}, {2, -2}, {3, -3}});
    const TBytes withHalfFrame = [&] {
        TBytes b = frames;
        b.insert(b.end(), {9, 9});
        return b;
    }();
    struct TCase {
        const char* Name;
        TBytes Body;
        std::uint32_t Declared;
    };
    const TCase cases[] = {
        {"placeholder of all ones", frames, 0xFFFFFFFFu},
        {"placeholder a page short of 2 GiB", frames, 0x7FFFF000u},
        {"cut in the middle of a frame", withHalfFrame, 100},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string file = Dir.Write("cut.wav", TWaveBytes()
                                                          .Chunk("fmt ", TWaveBytes::Format())
                                                          .Chunk("data", c.Body, c.Declared)
                                                          .Bytes());
        Lines.clear();
        TLoadResult plain = RunLoadCommand(true, file, Log, &Plots);
        const std::vector<std::string> plainLines = Lines;
        EXPECT_FALSE(plain.Salvaged);
        EXPECT_EQ(SampleCount, 0);

        Lines.clear();
        TLoadResult result = RunLoadCommand(true, file, Log, &Plots, TLoadOptions::Salvaging());
        EXPECT_EQ(result.Status, wsFailed);
        EXPECT_EQ(Lines, plainLines);
        EXPECT_TRUE(result.Salvaged);
        EXPECT_EQ(result.DeclaredDataSize, c.Declared);
        EXPECT_EQ(result.DataBytesPresent, c.Body.size());
        EXPECT_EQ(result.FramesLoaded, 3);
        EXPECT_EQ(SampleCount, 3);
        EXPECT_EQ(RightSamples[3], -3);
        EXPECT_EQ(Plots.UpperYs(), (std::vector<double>{1, 2, 3}));
    }
    // Not a cut data chunk: nothing to salvage, nothing kept.
    const TBytes notCut[] = {
        TWaveBytes().Chunk("data", frames).Chunk("fmt ", TWaveBytes::Format()).Bytes(),
        TWaveBytes()
            .Chunk("fmt ", TWaveBytes::Format())
            .Chunk("LIST", frames, 0xFFFFFFF0LL)
            .Bytes(),
        TWaveBytes().Chunk("LIST", frames, 1000).Bytes(),
    };
    for (const TBytes& bytes : notCut) {
        TLoadResult result = RunLoadCommand(true, Dir.Write("other.wav", bytes), Log, &Plots,
                                            TLoadOptions::Salvaging());
        EXPECT_FALSE(result.Salvaged);
        EXPECT_EQ(SampleCount, 0);
        EXPECT_EQ(Plots.UpperCount(), 0);
    }
}

// Asked to keep the earlier file until the new one is all there (the window's Cancel), a load
// stopped while reading or while decoding leaves the earlier frames, plots and name as they were.
TEST_F(LoadCommand, KeepingTheEarlierFileUntilTheNewOneIsThere) {
    const std::string earlier =
        Dir.Write("old.wav", PlainWave(TWaveBytes::Frames({{5, 6}, {7, 8}})));
    const std::string big = Dir.Write("big.wav", ManyFrames(2'100'000, 9));
    ASSERT_EQ(RunLoadCommand(true, earlier, Log, &Plots).FramesLoaded, 2);
    for (bool whileReading : {true, false}) {
        SCOPED_TRACE(whileReading ? "while reading" : "while decoding");
        TLoadOptions options;
        options.KeepEarlierUntilDone = true;
        (whileReading ? options.Read.Progress
                      : options.Progress) = [](std::uint64_t, std::uint64_t) { return false; };
        EXPECT_THROW(RunLoadCommand(true, big, Log, &Plots, options), TCancelled);
        EXPECT_EQ(SampleCount, 2);
        EXPECT_EQ(WaveFileName, earlier);
        EXPECT_EQ(Plots.UpperYs(), (std::vector<double>{5, 7})) << "shown where the store is";
        EXPECT_EQ(LeftSamples[2], 7);
        EXPECT_FALSE(LoadFailed);
    }
    TLoadOptions options;
    options.KeepEarlierUntilDone = true;
    EXPECT_EQ(RunLoadCommand(true, big, Log, &Plots, options).FramesLoaded, 2'100'000);
    EXPECT_EQ(WaveFileName, big);
    EXPECT_EQ(Plots.LowerCount(), 2'100'000);
    EXPECT_EQ(RightSamples[2'100'000], 9);
}

// Where there is not the room for both files' frames, the load says so first and goes on in the
// store as any load does. In a child whose address space is capped after the first load.
TEST_F(LoadCommand, WithoutRoomForBothFilesTheLoadSaysSoAndGoesOn) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the cap leaves";
#else
    const std::string first = Dir.Write("first.wav", ManyFrames(4'000'000, 1));
    const std::string second = Dir.Write("second.wav", ManyFrames(4'000'000, 2));
    EXPECT_EQ(RunInChild([&] {
                  const TWaveLog quiet = [](const std::string&) {};
                  RunLoadCommand(true, first, quiet, nullptr);
                  if (SampleCount != 4'000'000)
                      return 10;
                  // Room for the second file's data (16 MB), not for a second store (32 MB).
                  if (!CapAddressSpaceAbove(24u << 20))
                      return 12;
                  TLoadOptions options;
                  options.KeepEarlierUntilDone = true;
                  bool told = false;
                  options.NoRoomToKeep = [&] { told = true; };
                  RunLoadCommand(true, second, quiet, nullptr, options);
                  if (!told)
                      return 13;
                  if (SampleCount != 4'000'000 || LeftSamples[4'000'000] != 2 ||
                      WaveFileName != second)
                      return 14;
                  return 0;
              }),
              0);
#endif
}
