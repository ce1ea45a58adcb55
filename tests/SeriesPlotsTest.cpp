#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/SeriesPlots.h"
#include "chart/panel/LineSeries.h"
#include "samples/LoadCommand.h"
#include "samples/SampleStore.h"
#include "tests/support/LoadTest.h"
#include "tests/support/StoreLoads.h"
#include "tests/support/TempDir.h"
#include "wave/Cancelled.h"
#include "wave/WaveBytes.h"

// The window's two series as the Load command's plots: how they read the store where it is,
// let go of it, and take the frames as adds when they are watched.

namespace {

class SeriesPlotsLoad : public TLoadTest {
  protected:
    TChannelPlots& LoadPlots() override { return Plots; }
    std::vector<double> Ys(TChartSeries& series) {
        return {series.YValues.Values(), series.YValues.Values() + series.PointCount()};
    }

    TFastLineSeries Series1;
    TLineSeries Series2;
    TSeriesPlots Plots{Series1, Series2};
};

// The window's series take each load's frames, X the frame number from 1: what they show after
// a load, a shorter file, data that is not whole frames and a failed read.
TEST_F(SeriesPlotsLoad, FillBothSeriesFrameByFrame) {
    Load(PlainWave(TWaveBytes::Frames({{120, -35}, {-32768, 32767}, {0, 7}})));
    EXPECT_EQ(Ys(Series1), (std::vector<double>{120, -32768, 0}));
    EXPECT_EQ(Ys(Series2), (std::vector<double>{-35, 32767, 7}));
    EXPECT_EQ(Series1.XValues.FirstEntry(), 1);
    EXPECT_EQ(Series2.XValues.LastEntry(), 3);

    Load(PlainWave(TWaveBytes::Frames({{9, -9}})), "short.wav");
    EXPECT_EQ(Series1.PointCount(), 1);
    EXPECT_EQ(Ys(Series2), (std::vector<double>{-9}));

    Load(PlainWave({}));
    EXPECT_EQ(Series1.PointCount(), 0);
    EXPECT_EQ(Series2.PointCount(), 0);
    Load(PlainWave({0x01, 0x00, 0xFF, 0xFF, 9, 9, 9}));
    EXPECT_EQ(Series1.PointCount(), 1);

    Load(TWaveBytes("AVI ").Bytes(), "bad.wav");
    EXPECT_EQ(Series1.PointCount(), 0);
    EXPECT_EQ(Series2.PointCount(), 0);
}

// The plots read the store where it is: a second load, a clear and an edit through a series
// never leave a list reading what the store no longer holds (run under the sanitizers too).
TEST_F(SeriesPlotsLoad, PlotsViewTheStoreAndLetGoOfItWhenItChanges) {
    Load(PlainWave(TWaveBytes::Frames({{1, -1}, {2, -2}, {3, -3}})));
    EXPECT_TRUE(Series1.YValues.ViewsOutside());
    EXPECT_EQ(Series1.YValues.ValueAt(2), 3);
    EXPECT_EQ(Series2.GetMinY(), -3);
    Load(PlainWave(TWaveBytes::Frames({{9, -9}})), "short.wav");
    EXPECT_EQ(Series1.PointCount(), 1);
    EXPECT_EQ(Series2.YValues.ValueAt(0), -9);
    Series1.AddPointXY(2, 42); // an edit: the list takes a copy of its own first
    EXPECT_FALSE(Series1.YValues.ViewsOutside());
    EXPECT_EQ(Series1.YValues.ValueAt(0), 9);
    Load(PlainWave(TWaveBytes::Frames({{5, 6}, {7, 8}})), "again.wav");
    EXPECT_EQ(Ys(Series1), (std::vector<double>{5, 7}));
    Series2.ClearPoints();
    EXPECT_EQ(Series2.PointCount(), 0);
    EXPECT_FALSE(Series2.YValues.ViewsOutside());
    RunLoadCommand(true, Dir.Write("bad.wav", {'x'}), Log, &Plots);
    EXPECT_EQ(Series1.PointCount(), 0) << "a failed load lets go of the store";
    EXPECT_FALSE(Series1.YValues.ViewsOutside());
}

// Loads that grow the store (it then moves to a fresh block), shrink it, are cancelled or
// fail, one after another on the same plots: after each the plots show exactly the store's
// frames, read where the store now is, or nothing. A list left on a block the store has given
// up would read unmapped memory and stop the test (under the sanitizers too).
TEST(SeriesPlotsStore, PlotsFollowTheStoreThroughLoadsThatMoveIt) {
    TFastLineSeries upper;
    TLineSeries lower;
    TSeriesPlots plots{upper, lower};
    RunStoreMovingLoads(plots, [&](const TStoreStep& step) {
        if (step.End != TStoreStep::enLoaded) {
            EXPECT_EQ(SampleCount, 0);
            for (TChartSeries* series : {(TChartSeries*)&upper, (TChartSeries*)&lower}) {
                EXPECT_EQ(series->PointCount(), 0);
                EXPECT_FALSE(series->YValues.ViewsOutside());
            }
            return;
        }
        ASSERT_EQ(SampleCount, step.Frames);
        EXPECT_GE(LeftSamples.Capacity(), step.Frames);
        ASSERT_EQ(upper.PointCount(), step.Frames);
        ASSERT_EQ(lower.PointCount(), step.Frames);
        EXPECT_TRUE(upper.YValues.ViewsOutside());
        EXPECT_TRUE(lower.YValues.ViewsOutside());
        double low = 1e9, high = -1e9;
        for (int k = 1; k <= step.Frames; ++k) {
            const auto [left, right] = FrameOf(step.Frames, k);
            ASSERT_EQ(upper.XValues.ValueAt(k - 1), k);
            ASSERT_EQ(upper.YValues.ValueAt(k - 1), left) << "frame " << k;
            ASSERT_EQ(lower.YValues.ValueAt(k - 1), right) << "frame " << k;
            low = std::min<double>(low, left);
            high = std::max<double>(high, left);
        }
        EXPECT_EQ(upper.YValues.RangeMinMax(0, step.Frames - 1), std::make_pair(low, high));
        EXPECT_EQ(upper.GetMinY(), low);
        EXPECT_EQ(upper.GetMaxY(), high);
    });
}

// Plots whose series are watched take the frames as adds, as they always have: one clear
// each, then the adds alternating between the plots block by block; nothing views the store.
TEST(SeriesPlotsStore, WatchedPlotsTakeTheFramesAsAdds) {
    TTempDir dir;
    TFastLineSeries upper;
    TLineSeries lower;
    TSeriesPlots plots{upper, lower};
    std::vector<std::string> seen;
    for (auto [series, name] : {std::pair{(TChartSeries*)&upper, std::string("upper")},
                                std::pair{(TChartSeries*)&lower, std::string("lower")}}) {
        series->OnClearValues = [&seen, name](TChartSeries*) { seen.push_back(name + " clear"); };
        series->OnAfterAdd = [&seen, name](TChartSeries*, int index) {
            if (index % 4096 == 0) // the first add of each block
                seen.push_back(name + " " + std::to_string(index));
        };
    }
    const TWaveLog log = [](const std::string&) {};
    RunLoadCommand(true, dir.Write("watched.wav", WaveOf(10'000)), log, &plots);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"upper clear", "lower clear", "upper 0", "lower 0",
                                        "upper 4096", "lower 4096", "upper 8192", "lower 8192"}));
    ASSERT_EQ(lower.PointCount(), 10'000);
    EXPECT_FALSE(upper.YValues.ViewsOutside());
    EXPECT_FALSE(lower.YValues.ViewsOutside());
    EXPECT_EQ(upper.YValues.ValueAt(9'999), FrameOf(10'000, 10'000).first);
    EXPECT_EQ(lower.YValues.ValueAt(0), FrameOf(10'000, 1).second);
}

} // namespace
