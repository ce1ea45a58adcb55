#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "Chart.h"
#include "LineSeries.h"
#include "OutsideIntValues.h"
#include "support/PixelAsserts.h"

namespace {

constexpr TColor Blue = RGBColor(68, 102, 163);

// A plain white chart of the given size whose plot rectangle is the whole panel less a
// one-pixel bevel, with hidden axes and a fixed range on both.
struct TPlainChart {
    TPlainChart(int w, int h, double xMin, double xMax, double yMin, double yMax) {
        chart.resize(w, h);
        chart.SetMarginUnits(muPixels);
        chart.SetMarginLeft(0);
        chart.SetMarginTop(0);
        chart.SetMarginRight(0);
        chart.SetMarginBottom(0);
        chart.SetColor(clWhite);
        chart.SetAxisVisible(false);
        chart.BackWall.SetVisible(false);
        chart.SetColorPaletteIndex(13);
        chart.BottomAxis().SetRangeManual(xMin, xMax);
        chart.LeftAxis().SetRangeManual(yMin, yMax);
    }
    const QImage& Draw() { return chart.Draw(); }
    TChart chart;
};

TEST(VisibleRange, FollowsTheHorizontalAxis) {
    TPlainChart plain(102, 50, 0, 100, 0, 10);
    auto* series = plain.chart.AddSeries(std::make_unique<TFastLineSeries>());
    for (int x = -50; x <= 150; x += 10)
        series->AddPointXY(x, 1);
    plain.Draw();
    // X = 0 is the first at or beyond the left edge; X = 100 the first at or beyond the right.
    EXPECT_EQ(series->VisibleFrom(), 5);
    EXPECT_EQ(series->VisibleTo(), 15);

    plain.chart.BottomAxis().SetRangeManual(200, 300); // every point to the left
    plain.Draw();
    EXPECT_EQ(series->VisibleFrom(), -1);
    EXPECT_EQ(series->VisibleTo(), -1);

    plain.chart.BottomAxis().SetRangeManual(-500, -400); // every point to the right
    plain.Draw();
    EXPECT_EQ(series->VisibleFrom(), 0);
    EXPECT_EQ(series->VisibleTo(), 0);

    series->ClearPoints();
    EXPECT_EQ(series->VisibleFrom(), -1);
}

TEST(VisibleRange, LineSeriesWidensByMarkerBoxesAndEqualX) {
    TPlainChart plain(102, 50, 10, 20, 0, 10);
    auto* series = plain.chart.AddSeries(std::make_unique<TLineSeries>());
    for (double x : {5.0, 9.7, 9.7, 9.9, 15.0, 20.05, 30.0})
        series->AddPointXY(x, 1);
    plain.Draw();
    // 15 is the first at or beyond 10; 9.9 and 9.7 lie less than 4 pixels left of the edge
    // (10 pixels a unit), so their marker boxes meet the plot and they are taken too, 5 is
    // too far; 20.05 is the exit point and 30 lies far beyond.
    EXPECT_EQ(series->VisibleFrom(), 1);
    EXPECT_EQ(series->VisibleTo(), 5);
}

TEST(FastLine, SinglePointOnlyMovesAndSamePixelIsSkipped) {
    TPlainChart plain(50, 50, 0, 10, 0, 10);
    auto* series = plain.chart.AddSeries(std::make_unique<TFastLineSeries>());
    series->AddPointXY(5, 5);
    EXPECT_EQ(CountColor(plain.Draw(), Blue), 0);

    series->AddPointXY(5.01, 5.01); // the same pixel
    series->AddPointXY(8, 5);
    const QImage& image = plain.Draw();
    const int y = series->PixelY(0);
    EXPECT_EQ(CountColor(image, Blue), series->PixelX(2) - series->PixelX(0));
    EXPECT_EQ(PixelAt(image, series->PixelX(0), y), Blue);
    EXPECT_EQ(PixelAt(image, series->PixelX(2), y), clWhite) << "the end point is left out";
}

TEST(FastLine, MinMaxDrawsEachColumnsExtent) {
    TPlainChart plain(50, 60, 0, 40, 0, 50);
    auto* series = plain.chart.AddSeries(std::make_unique<TFastLineSeries>());
    series->SetDrawAllPoints(false);
    series->SetDrawAllPointsStyle(daMinMax);
    // Column of x = 10: levels 10, 40, 20; then a point in the next column.
    for (auto [x, y] :
         std::vector<std::pair<double, double>>{{10, 10}, {10.1, 40}, {10.2, 20}, {20, 30}})
        series->AddPointXY(x, y);
    const QImage& image = plain.Draw();
    const int x = series->PixelX(0);
    for (int y = series->PixelY(1); y < series->PixelY(0); ++y) // from the highest level down
        EXPECT_EQ(PixelAt(image, x, y), Blue) << y;
}

TEST(LineSeries, EnteringSegmentStartsAtTheLeftEdgeAtTheInterpolatedLevel) {
    TPlainChart plain(102, 102, 10, 20, 0, 100);
    auto* series = plain.chart.AddSeries(std::make_unique<TLineSeries>());
    series->AddPointXY(0, 0);
    series->AddPointXY(20, 100);
    const QImage& image = plain.Draw();
    ASSERT_EQ(series->VisibleFrom(), 1);
    // At the left edge X is 10, half way: the level is 50.
    const int edgeY = plain.chart.LeftAxis().PixelOfValue(50);
    EXPECT_EQ(series->EdgeLevel(1, plain.chart.ChartRect().Left), edgeY);
    EXPECT_EQ(PixelAt(image, plain.chart.ChartRect().Left + 1, edgeY), Blue);
}

TEST(LineSeries, PenColourRule) {
    for (TColor pen : {TColor(0x0000FF), clBlack}) {
        TPlainChart plain(50, 50, 0, 10, 0, 10);
        auto* series = plain.chart.AddSeries(std::make_unique<TLineSeries>());
        series->SetLinePenColor(pen);
        series->AddPointXY(1, 5);
        series->AddPointXY(9, 5);
        const QImage& image = plain.Draw();
        const TColor drawn = pen == clBlack ? Blue : pen;
        EXPECT_GT(CountColor(image, drawn), 0);
        EXPECT_EQ(series->SeriesColor(), drawn);
        EXPECT_EQ(series->LinePen().Color, drawn);
    }
}

// The merged path must paint exactly the pixels of the plain one, for both kinds, on dense
// random data (many points per column), sparse data, and zoomed views.
TEST(SeriesDrawing, MergedColumnsPaintTheSamePixelsAsThePlainPath) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> level(-32768, 32767);
    for (int points : {50, 3000, 40000}) {
        for (auto [from, to] : std::vector<std::pair<double, double>>{
                 {1, double(points)}, {points * 0.3, points * 0.35}}) {
            TPlainChart a(300, 120, from, to, -32768, 32767), b(300, 120, from, to, -32768, 32767);
            auto* fastA = a.chart.AddSeries(std::make_unique<TFastLineSeries>());
            auto* fastB = b.chart.AddSeries(std::make_unique<TFastLineSeries>());
            auto* lineA = a.chart.AddSeries(std::make_unique<TLineSeries>());
            auto* lineB = b.chart.AddSeries(std::make_unique<TLineSeries>());
            fastB->SetMergeColumns(false);
            lineB->SetMergeColumns(false);
            for (int i = 1; i <= points; ++i) {
                const double y = level(random), y2 = level(random);
                fastA->AddPointXY(i, y);
                fastB->AddPointXY(i, y);
                lineA->AddPointXY(i, y2);
                lineB->AddPointXY(i, y2);
            }
            EXPECT_TRUE(SameImages(a.Draw(), b.Draw()))
                << points << " points, view " << from << ".." << to;
            EXPECT_GT(CountColor(a.chart.Canvas().Bitmap(), Blue), 0);
        }
    }
}

// Drawing a dense path column by column from the lists' summaries paints exactly what drawing
// every point paints: random data, silence, full-scale spikes, plateaus; columns holding no
// point, one, two and a great many; gaps wider than a column; views that cut columns, clip
// the values, and keep offsets at the edges; both series kinds.
TEST(SeriesDrawing, ColumnsFromSummariesPaintTheSamePixelsAsEveryPoint) {
    std::mt19937 random(11);
    const auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    using TShape = std::function<double(int)>;
    const std::vector<std::pair<const char*, TShape>> shapes = {
        {"random", [&](int) { return std::round(uniform(-32768, 32767)); }},
        {"silence", [](int) { return 0.0; }},
        {"spikes",
         [&](int) {
             const double u = uniform(0, 1);
             return u < 0.002 ? 32767.0 : u < 0.004 ? -32768.0 : std::round(uniform(-3, 3));
         }},
        {"plateaus", [](int i) { return double((i / 977) % 5 * 1000 - 2000); }},
        {"sine",
         [&](int i) { return std::round(20000 * std::sin(i * 0.001) + uniform(-500, 500)); }},
    };
    // X layouts: evenly spaced frames; frames with gaps wider than a column; a crowd of points
    // inside one column between sparse ones.
    const std::vector<std::pair<const char*, std::function<std::vector<double>(int)>>> layouts = {
        {"frames",
         [](int n) {
             std::vector<double> x(static_cast<std::size_t>(n));
             for (int i = 0; i < n; ++i)
                 x[std::size_t(i)] = i + 1;
             return x;
         }},
        {"gaps",
         [&](int n) {
             std::vector<double> x(static_cast<std::size_t>(n));
             double at = 1;
             for (int i = 0; i < n; ++i) {
                 at += uniform(0, 1) < 0.001 ? uniform(n / 50.0, n / 10.0) : 1;
                 x[std::size_t(i)] = at;
             }
             return x;
         }},
        {"crowd",
         [](int n) {
             std::vector<double> x(static_cast<std::size_t>(n));
             for (int i = 0; i < n; ++i)
                 x[std::size_t(i)] = i < n / 10  ? i * 9.0
                                     : i < n / 2 ? n * 0.9 + i * 1e-7
                                                 : i * 2.0;
             return x;
         }},
    };
    struct TView {
        double XFrom, XTo, YFrom, YTo; // as parts of the data's X extent and of full scale
        int Offset;
        bool Inverted = false; // both axes turned round
    };
    const TView views[] = {
        {0, 1, -32768, 32767, 0},           // everything
        {0, 1, -32768, 32767, 1},           // with a pixel of room at each edge
        {0.3137, 0.4021, -32768, 32767, 0}, // zoomed: the edges cut columns
        {0.05, 0.95, -9000, 7000, 1},       // values beyond the plot are clipped
        {0.1, 0.7, -20000, 20000, 0, true}, // inverted axes
    };
    for (const auto& [shapeName, shape] : shapes) {
        for (const auto& [layoutName, layout] : layouts) {
            const int n = 60000;
            const std::vector<double> xs = layout(n);
            std::vector<double> ys(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i)
                ys[std::size_t(i)] = shape(i);
            for (const TView& view : views) {
                const double span = xs.back() - xs.front();
                const double x0 = xs.front() + view.XFrom * span, x1 = xs.front() + view.XTo * span;
                TPlainChart byColumns(301, 130, x0, x1, view.YFrom, view.YTo);
                TPlainChart byPoints(301, 130, x0, x1, view.YFrom, view.YTo);
                for (TPlainChart* plain : {&byColumns, &byPoints}) {
                    for (TChartAxis* axis :
                         {&plain->chart.BottomAxis(), &plain->chart.LeftAxis()}) {
                        axis->SetMinimumOffset(view.Offset);
                        axis->SetMaximumOffset(view.Offset);
                        axis->SetInverted(view.Inverted);
                    }
                    auto* fast = plain->chart.AddSeries(std::make_unique<TFastLineSeries>());
                    auto* line = plain->chart.AddSeries(std::make_unique<TLineSeries>());
                    fast->AddPointsXY(xs.data(), ys.data(), n);
                    std::vector<double> lower(ys.rbegin(), ys.rend());
                    line->AddPointsXY(xs.data(), lower.data(), n);
                    fast->SetDrawByColumns(plain == &byColumns);
                    line->SetDrawByColumns(plain == &byColumns);
                }
                EXPECT_TRUE(SameImages(byColumns.Draw(), byPoints.Draw()))
                    << shapeName << ", " << layoutName << ", view " << view.XFrom << ".."
                    << view.XTo << " offset " << view.Offset;
                if (std::string(layoutName) != "frames")
                    continue;
                // Lists that view the samples where they are (frames 1, 2, 3, ...) paint the
                // same, with summaries built from the outside values' blocks.
                TPlainChart viewing(301, 130, x0, x1, view.YFrom, view.YTo);
                for (TChartAxis* axis : {&viewing.chart.BottomAxis(), &viewing.chart.LeftAxis()}) {
                    axis->SetMinimumOffset(view.Offset);
                    axis->SetMaximumOffset(view.Offset);
                    axis->SetInverted(view.Inverted);
                }
                const std::vector<std::int32_t> upper(ys.begin(), ys.end());
                const std::vector<std::int32_t> lowerInts(ys.rbegin(), ys.rend());
                viewing.chart.AddSeries(std::make_unique<TFastLineSeries>())
                    ->ViewValues(std::make_shared<TOutsideIntValues>(upper.data(), n));
                viewing.chart.AddSeries(std::make_unique<TLineSeries>())
                    ->ViewValues(std::make_shared<TOutsideIntValues>(lowerInts.data(), n));
                EXPECT_TRUE(SameImages(viewing.Draw(), byPoints.Draw()))
                    << "viewing: " << shapeName << ", view " << view.XFrom << ".." << view.XTo;
            }
        }
    }
}

} // namespace
