#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <QLocale>

#include "chart/interaction/Chart.h"
#include "chart/panel/LineSeries.h"

namespace {

// An axis over [minimum, maximum] on `pixels` pixels: the chart is laid out by a paint with
// no bevel, no margins and hidden axes, so its plot rectangle is the whole panel.
void Scale(TChart& chart, TChartAxis& axis, double minimum, double maximum, int pixels) {
    chart.resize(pixels, pixels);
    chart.SetBevelOuter(bvNone);
    chart.SetMarginUnits(muPixels);
    for (auto set : {&TChart::SetMarginLeft, &TChart::SetMarginTop, &TChart::SetMarginRight,
                     &TChart::SetMarginBottom})
        (chart.*set)(0);
    chart.SetAxisVisible(false);
    axis.SetAutomatic(false);
    axis.Loading = true; // straight to the range, with no order check
    axis.SetMinimum(minimum);
    axis.SetMaximum(maximum);
    axis.Loading = false;
    chart.Draw();
}

TEST(AxisSteps, NextNiceStepWalksOneTwoFive) {
    const std::pair<double, double> cases[] = {
        {1, 2},       {1.43, 2},   {2, 5},
        {4369, 5000}, {0.29, 0.5}, {5, 10},
        {9.99, 10},   {10, 20},    {std::numeric_limits<double>::infinity(), 1}};
    for (auto [x, next] : cases)
        EXPECT_DOUBLE_EQ(NextNiceStep(x), next) << x;
}

TEST(AxisSteps, LabelsThatFitAndStepForLabelCount) {
    TChart chart;
    TChartAxis& left = chart.LeftAxis();
    Scale(chart, left, -32768, 32767, 200);
    EXPECT_EQ(left.LabelsThatFit(13), 14);
    EXPECT_EQ(left.LabelsThatFit(0), 1);
    EXPECT_DOUBLE_EQ(left.StepForLabelCount(14), 5000);
    EXPECT_DOUBLE_EQ(left.StepForLabelCount(0), 1e-12);

    struct TCase {
        double Min, Max;
        int Count;
        double Step;
    };
    const TCase cases[] = {
        {0, 100, 10, 10}, {0, 1, 10, 0.1}, {1, 1000, 20, 50}, {0, 0, 5, 1}, {-1, 1, 4, 0.5},
    };
    for (const TCase& c : cases) {
        Scale(chart, left, c.Min, c.Max, 200);
        EXPECT_NEAR(left.StepForLabelCount(c.Count), c.Step, 1e-12) << c.Min << ".." << c.Max;
    }
}

TEST(AxisSteps, SparseHorizontalAxisKeepsWholeUnits) {
    TChart chart;
    auto* series = chart.AddSeries(std::make_unique<TLineSeries>());
    for (int x = 1; x <= 10; ++x)
        series->AddPointXY(x, x);
    TChartAxis& bottom = chart.BottomAxis();
    Scale(chart, bottom, 1, 10, 900);
    EXPECT_DOUBLE_EQ(bottom.StepForLabelCount(30), 1);
}

TEST(AxisSteps, LabelStepOfTheWorkedExample) {
    TChart chart;
    TChartAxis& left = chart.LeftAxis();
    Scale(chart, left, -32768, 32767, 200);
    chart.Canvas().Font = left.LabelsFont();
    const int h = chart.Canvas().TextHeight("W");
    // With text 12 to 14 pixels high, 14 labels fit and the step is 5000 in both passes.
    ASSERT_GE(h, 12);
    ASSERT_LE(h, 14);
    EXPECT_DOUBLE_EQ(left.LabelStep(), 5000);
    EXPECT_EQ(left.Increment(), 0) << "the second pass leaves Increment as it was";
}

TEST(AxisMapping, PixelOfValueRoundsTiesToEvenAndClamps) {
    TChart chart;
    TChartAxis& bottom = chart.BottomAxis();
    Scale(chart, bottom, 0, 10, 100);
    EXPECT_EQ(bottom.PixelOfValue(0.25), 2); // 2.5 rounds to 2
    EXPECT_EQ(bottom.PixelOfValue(0.35), 4); // 3.5 rounds to 4
    EXPECT_EQ(bottom.PixelOfValue(1e9), 32767);
    EXPECT_EQ(bottom.PixelOfValue(-1e9), -32767);
    TChartAxis& left = chart.LeftAxis();
    Scale(chart, left, 0, 10, 100);
    EXPECT_EQ(left.PixelOfValue(0), 100) << "values grow upward";
    EXPECT_EQ(left.PixelOfValue(10), 0);
    EXPECT_DOUBLE_EQ(left.ValueAtPixel(0), 10);
    // Every column maps to a value that maps back to it.
    for (int p = 0; p <= 100; ++p)
        ASSERT_EQ(bottom.PixelOfValue(bottom.ValueAtPixel(p)), p);
    left.SetInverted(true);
    chart.Draw(); // the next layout takes the setting
    EXPECT_EQ(left.PixelOfValue(0), 0);
    // A zero range maps every value to the middle.
    Scale(chart, bottom, 5, 5, 100);
    EXPECT_EQ(bottom.PixelOfValue(123), 50);
}

TEST(AxisMapping, OffsetsWidenTheRangeByPixels) {
    TChart chart;
    TChartAxis& bottom = chart.BottomAxis();
    bottom.SetMinimumOffset(1);
    bottom.SetMaximumOffset(1);
    Scale(chart, bottom, 1, 1000, 1000); // the layout applies the offsets
    EXPECT_DOUBLE_EQ(bottom.Mapping().ScaleMin, 1 - 999.0 / 998);
    EXPECT_DOUBLE_EQ(bottom.Mapping().ScaleMax, 1000 + 999.0 / 998);
    EXPECT_EQ(bottom.PixelOfValue(1), bottom.Mapping().FirstPixel + 1);
    EXPECT_EQ(bottom.PixelOfValue(1000), bottom.Mapping().LastPixel - 1);
    // A zero range stays zero.
    Scale(chart, bottom, 1, 1, 1000);
    EXPECT_TRUE(bottom.Mapping().RangeIsZero);
}

TEST(AxisRange, ManualRangeAndSettersThatRefuse) {
    TChart chart;
    TChartAxis& axis = chart.LeftAxis();
    axis.SetRangeManual(10, 0);
    EXPECT_EQ(axis.Minimum(), 0);
    EXPECT_EQ(axis.Maximum(), 10);
    EXPECT_FALSE(axis.Automatic());
    EXPECT_FALSE(axis.AutomaticMinimum());
    axis.SetRangeManual(5, 5);
    EXPECT_DOUBLE_EQ(axis.Maximum(), 5 + 1e-10);

    struct TCase {
        std::function<void()> Set;
        const char* Message;
    };
    const TCase cases[] = {
        {[&] { axis.SetIncrement(-1); }, "Axis increment must be >= 0"},
        {[&] { axis.SetMinimum(100); }, "Axis Minimum Value must be <= Maximum"},
        {[&] { axis.SetMaximum(-100); }, "Axis Maximum Value must be >= Minimum"},
    };
    for (const TCase& c : cases) {
        try {
            c.Set();
            ADD_FAILURE() << "no exception for " << c.Message;
        } catch (const AxisException& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
    EXPECT_EQ(axis.Minimum(), 5);
    EXPECT_EQ(axis.Increment(), 0);

    // The automatic flags follow each other.
    axis.SetAutomatic(true);
    EXPECT_TRUE(axis.AutomaticMinimum() && axis.AutomaticMaximum());
    axis.SetAutomaticMinimum(false);
    EXPECT_FALSE(axis.Automatic());
    axis.SetAutomaticMinimum(true);
    EXPECT_TRUE(axis.Automatic());
}

TEST(AxisRange, ShiftWithDataCheck) {
    TChart chart;
    auto* series = chart.AddSeries(std::make_unique<TLineSeries>());
    for (int x = 1; x <= 100; ++x)
        series->AddPointXY(x, x);
    TChartAxis& bottom = chart.BottomAxis();
    bottom.SetRangeManual(10, 50);
    chart.ShiftAxisWithinData(bottom, 5);
    EXPECT_EQ(bottom.Minimum(), 15);
    bottom.SetRangeManual(60, 120);
    chart.ShiftAxisWithinData(bottom, 5); // no data beyond the maximum: nothing happens
    EXPECT_EQ(bottom.Minimum(), 60);
}

TEST(AxisLabels, TextFormatUsesGroupsAndUpToThreeDecimals) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TChart chart;
    const std::pair<double, const char*> cases[] = {{32767, "32,767"},        {-0.5, "-0.5"},
                                                    {1234.5678, "1,234.568"}, {0, "0"},
                                                    {-30000, "-30,000"},      {2.10, "2.1"}};
    for (auto [value, text] : cases)
        EXPECT_EQ(chart.LeftAxis().LabelTextOf(value), text);
}

// Labels of a painted chart, for a series with the given points.
std::vector<std::string> LabelsAfterPaint(TChart& chart, TChartAxis& axis) {
    chart.Draw();
    std::vector<std::string> texts;
    for (const TPendingLabel& label : axis.Layout().Items)
        texts.push_back(label.Text);
    return texts;
}

TEST(AxisLabels, EmptySeriesShowsOneZeroInTheMiddle) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TChart chart;
    chart.resize(600, 300);
    chart.AddSeries(std::make_unique<TLineSeries>());
    EXPECT_EQ(LabelsAfterPaint(chart, chart.LeftAxis()), std::vector<std::string>{"0"});
    EXPECT_EQ(chart.LeftAxis().Layout().TickPositions,
              std::vector<int>{chart.LeftAxis().Mapping().MidPixel});
    EXPECT_FALSE(chart.TopAxis().Layout().Shown);
    EXPECT_FALSE(chart.RightAxis().Layout().Shown);
}

TEST(AxisLabels, ProducedFromTheTopValueDown) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TChart chart;
    chart.resize(1137, 600);
    auto* series = chart.AddSeries(std::make_unique<TLineSeries>());
    series->AddPointXY(1, -32768);
    series->AddPointXY(1000, 32767);
    chart.Draw();
    TChartAxis& bottom = chart.BottomAxis();
    TChartAxis& left = chart.LeftAxis();

    // Whatever step the room gives, labels run from the top multiple down to the lowest
    // multiple not below the minimum.
    const double s = bottom.LabelStep();
    ASSERT_GT(s, 0);
    ASSERT_FALSE(bottom.Layout().Items.empty());
    EXPECT_DOUBLE_EQ(bottom.Layout().Items.front().Value, std::trunc(1000 / s) * s);
    EXPECT_GE(bottom.Layout().Items.back().Value, 1);
    EXPECT_LT(bottom.Layout().Items.back().Value - s, 1);

    // Ticks and labels match one for one.
    EXPECT_EQ(left.Layout().TickPositions.size(), left.Layout().Items.size());
}

TEST(AxisLabels, BottomAxisOverOneToAThousandWithStepFifty) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TChart chart;
    chart.resize(2000, 300); // room for every label of a step of 50
    auto* series = chart.AddSeries(std::make_unique<TLineSeries>());
    series->AddPointXY(1, 0);
    series->AddPointXY(1000, 0);
    TChartAxis& bottom = chart.BottomAxis();
    bottom.SetIncrement(50);
    const std::vector<std::string> texts = LabelsAfterPaint(chart, bottom);
    ASSERT_EQ(texts.size(), 20u);
    EXPECT_EQ(texts.front(), "1,000");
    EXPECT_EQ(texts.back(), "50");
}

TEST(AxisLabels, LeftAxisOverTheSampleRangeWithStep5000) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TChart chart;
    chart.resize(300, 1000); // room for more labels than the step gives
    chart.AddSeries(std::make_unique<TLineSeries>())->AddPointXY(1, 0);
    TChartAxis& left = chart.LeftAxis();
    left.SetRangeManual(-32768, 32767);
    left.SetIncrement(5000);
    const std::vector<std::string> texts = LabelsAfterPaint(chart, left);
    ASSERT_EQ(texts.size(), 13u);
    EXPECT_EQ(texts.front(), "30,000");
    EXPECT_EQ(texts[6], "0");
    EXPECT_EQ(texts.back(), "-30,000");
    EXPECT_EQ(left.Layout().TickPositions.size(), 13u);
}

TEST(AxisLayout, BottomAndLeftAxesTakeTheirRoom) {
    TChart chart;
    chart.resize(800, 400);
    chart.AddSeries(std::make_unique<TLineSeries>())->AddPointXY(1, 5);
    chart.Draw();
    TPlotCanvas3D& canvas = chart.Canvas();
    canvas.Font = chart.BottomAxis().LabelsFont();
    const int h = canvas.TextHeight("W");
    // ChartRect before the axes: (25, 17, 775, 383) for an 800 x 400 panel with a bevel.
    EXPECT_EQ(chart.ChartRect().Bottom, 383 - (h + 7));
    const int w = chart.LeftAxis().WidestLabel();
    EXPECT_EQ(chart.ChartRect().Left, 25 + w + 7);
    EXPECT_EQ(chart.BottomAxis().TickBand(), 7);
    EXPECT_EQ(chart.LeftAxis().Layout().LinePos, chart.ChartRect().Left);
}

// A least room for the labels widens the axis's room only where the labels need less; what
// the labels asked for stays known, so that two plots can agree on the wider of theirs.
TEST(AxisLayout, TheLabelsTakeAtLeastTheirLeastRoom) {
    TChart chart;
    chart.resize(800, 400);
    chart.AddSeries(std::make_unique<TLineSeries>())->AddPointXY(1, 5);
    chart.Draw();
    const int w = chart.LeftAxis().WidestLabel();
    const int own = chart.ChartRect().Left;
    EXPECT_EQ(chart.LeftAxis().Layout().LabelsAsked, w);
    for (auto [least, left] : {std::pair{0, own}, std::pair{w - 1, own}, std::pair{w, own},
                               std::pair{w + 30, own + 30}}) {
        chart.LeftAxis().SetLabelsMinimumSize(least);
        chart.Draw();
        EXPECT_EQ(chart.ChartRect().Left, left) << least;
        EXPECT_EQ(chart.LeftAxis().Layout().LabelsAsked, w) << least;
    }
}

TEST(AxisLayout, NoGridLineOnAnAxisEnd) {
    TChart chart;
    chart.resize(400, 300);
    chart.SetColor(clWhite);
    auto* series = chart.AddSeries(std::make_unique<TLineSeries>());
    series->AddPointXY(0, 0);
    series->AddPointXY(100, 100);
    TChartAxis& bottom = chart.BottomAxis();
    bottom.SetIncrement(50); // labels at 0, 50 and 100: the ends and the middle
    const QImage& image = chart.Draw();
    ASSERT_EQ(bottom.Layout().TickPositions.size(), 3u);
    const int y = chart.ChartRect().Top + 3; // a grid row is dotted: look at two rows
    auto gridAt = [&](int x) {
        return image.pixel(x, y) == qRgb(0x80, 0x80, 0x80) ||
               image.pixel(x, y + 1) == qRgb(0x80, 0x80, 0x80);
    };
    EXPECT_TRUE(gridAt(bottom.Layout().TickPositions[1]));
    EXPECT_FALSE(gridAt(bottom.Mapping().LastPixel));
}

// Manual ranges and offsets can bring NaN and infinities into the mapping: every value still
// lands on a pixel inside the clamp, and a paint of such ranges ends.
TEST(AxisMapping, OddValuesAndRangesGiveDefinedPixels) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, double> ranges[] = {{0, 10}, {-inf, inf}, {0, inf}, {-1e308, 1e308}};
    for (auto [minimum, maximum] : ranges) {
        TChart chart;
        chart.resize(300, 200);
        chart.AddSeries(std::make_unique<TLineSeries>())->AddPointXY(1, 1);
        chart.BottomAxis().SetRangeManual(minimum, maximum);
        chart.LeftAxis().SetRangeManual(minimum, maximum);
        chart.LeftAxis().SetMinimumOffset(3);
        chart.Draw();
        for (TAxisKind kind : {akBottom, akLeft}) {
            for (double value : {nan, inf, -inf, 0.0, 1e300}) {
                const int p = chart.Axis(kind).PixelOfValue(value);
                EXPECT_GE(p, -32767) << value << " on " << minimum << ".." << maximum;
                EXPECT_LE(p, 32767) << value << " on " << minimum << ".." << maximum;
            }
        }
    }
}

// The step search walks the 1-2-5 series; a range of zero, or too small to divide, must still
// end it with a usable step.
TEST(AxisSteps, ZeroAndDenormalRangesEndTheSearch) {
    EXPECT_GT(NextNiceStep(0), 0);
    EXPECT_GT(NextNiceStep(5e-324), 5e-324);
    EXPECT_DOUBLE_EQ(NextNiceStep(std::numeric_limits<double>::quiet_NaN()), 1);
    const std::pair<double, double> ranges[] = {
        {0, 0}, {0, 5e-324}, {-1e-310, 1e-310}, {1, 1 + 2.3e-16}};
    for (auto [minimum, maximum] : ranges) {
        TChart chart;
        chart.resize(300, 200);
        chart.AddSeries(std::make_unique<TLineSeries>())->AddPointXY(1, 1);
        TChartAxis& left = chart.LeftAxis();
        left.SetAutomatic(false);
        left.Loading = true;
        left.SetMinimum(minimum);
        left.SetMaximum(maximum);
        left.Loading = false;
        chart.Draw();
        const double step = left.LabelStep();
        EXPECT_TRUE(std::isfinite(step) && step > 0) << minimum << ".." << maximum << ": " << step;
        EXPECT_LE(left.Layout().Items.size(), 1u) << minimum << ".." << maximum;
    }
}

} // namespace
