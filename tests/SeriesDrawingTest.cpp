#include <gtest/gtest.h>

#include <random>

#include "Chart.h"
#include "LineSeries.h"
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
    series->DrawAllPoints = false;
    series->DrawAllPointsStyle = daMinMax;
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
            fastB->MergeColumns = lineB->MergeColumns = false;
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

} // namespace
