#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "samples/LoadCommand.h"
#include "samples/SampleStore.h"
#include "tests/support/RecordedPlots.h"
#include "tests/support/StoreLoads.h"
#include "tests/support/TempDir.h"
#include "wave/Cancelled.h"
#include "wave/WaveBytes.h"

namespace {

// Loads that grow the store (it then moves to a fresh block), shrink it, are cancelled or
// fail, one after another on the same plots: after each the plots show exactly the store's
// frames, read where the store now is, or nothing. Plots left on a block the store has given
// up would read unmapped memory and stop the test (under the sanitizers too).
TEST(SampleStore, PlotsFollowTheStoreThroughLoadsThatMoveIt) {
    TRecordedPlots plots;
    RunStoreMovingLoads(plots, [&](const TStoreStep& step) {
        if (step.End != TStoreStep::enLoaded) {
            EXPECT_EQ(SampleCount, 0);
            EXPECT_EQ(plots.UpperCount(), 0);
            EXPECT_EQ(plots.LowerCount(), 0);
            EXPECT_FALSE(plots.ViewsStore());
            return;
        }
        ASSERT_EQ(SampleCount, step.Frames);
        EXPECT_GE(LeftSamples.Capacity(), step.Frames);
        EXPECT_TRUE(plots.ViewsStore());
        const std::vector<double> xs = plots.Xs(), lefts = plots.UpperYs(),
                                  rights = plots.LowerYs();
        ASSERT_EQ(int(lefts.size()), step.Frames);
        ASSERT_EQ(int(rights.size()), step.Frames);
        for (int k = 1; k <= step.Frames; ++k) {
            const auto [left, right] = FrameOf(step.Frames, k);
            ASSERT_EQ(xs[k - 1], k);
            ASSERT_EQ(lefts[k - 1], left) << "frame " << k;
            ASSERT_EQ(rights[k - 1], right) << "frame " << k;
        }
    });
}

// Plots that cannot show the store where it is take the frames as adds, all of them, in order.
TEST(SampleStore, PlotsThatCannotViewTheStoreTakeTheFramesAsAdds) {
    TTempDir dir;
    TRecordedPlots plots(false);
    const TWaveLog log = [](const std::string&) {};
    RunLoadCommand(true, dir.Write("watched.wav", WaveOf(10'000)), log, &plots);
    EXPECT_FALSE(plots.ViewsStore());
    ASSERT_EQ(plots.LowerCount(), 10'000);
    EXPECT_EQ(plots.Xs().back(), 10'000);
    EXPECT_EQ(plots.UpperYs()[9'999], FrameOf(10'000, 10'000).first);
    EXPECT_EQ(plots.LowerYs()[0], FrameOf(10'000, 1).second);
}

// The store takes memory for what is loaded: a small file does not map room for the most
// frames a load can bring. Growing keeps the values, new entries read as zeros, and an entry
// reached by index past the end is made.
TEST(SampleStore, TakesRoomByNeed) {
    TSampleChannel channel;
    EXPECT_EQ(channel.Capacity(), 0);
    channel[5] = 17;
    EXPECT_GE(channel.Capacity(), 5);
    EXPECT_LT(channel.Capacity(), MaxFrames / 100);
    const int small = channel.Capacity();
    channel.Reserve(small + 1000);
    EXPECT_GE(channel.Capacity(), small + 1000);
    EXPECT_EQ(channel[5], 17);
    EXPECT_EQ(channel[small + 1000], 0);
    const int reserved = channel.Capacity();
    channel[reserved + 1] = -4;
    EXPECT_GT(channel.Capacity(), reserved);
    EXPECT_EQ(channel[reserved + 1], -4);
    EXPECT_EQ(channel[5], 17);
    EXPECT_EQ(channel[reserved], 0);
}

} // namespace
