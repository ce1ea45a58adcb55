#include <gtest/gtest.h>

#include <stdexcept>

#include <QApplication>

#include "Chart.h"
#include "LineSeries.h"
#include "support/PixelAsserts.h"

namespace {

// A chart of the given size with the plots' look: gradient background, opaque back wall with
// its gradient, one title line.
struct TStyledChart {
    explicit TStyledChart(int w, int h, bool withTitle = true) {
        chart.resize(w, h);
        chart.SetView3D(false);
        chart.SetLegendVisible(false);
        if (withTitle)
            chart.Title.SetText({"TChart"});
        TPlotGradient& g = chart.Gradient();
        g.SetDirection(gdBottomTop);
        g.SetStartColor(0xEAEAEA);
        g.SetMidColor(0xEAEAEA);
        g.SetEndColor(clWhite);
        g.SetVisible(true);
        chart.BackWall.SetTransparent(false);
        chart.BackWall.Gradient.SetDirection(gdBottomTop);
        chart.BackWall.Gradient.SetStartColor(0xEAEAEA);
        chart.BackWall.Gradient.SetEndColor(clWhite);
        chart.BackWall.Gradient.SetVisible(true);
    }
    TChart chart;
};

TEST(ChartLayout, ChartRectFromSizeBevelAndMargins) {
    struct TCase {
        int W, H;
        TRect Expected;
    };
    const TCase cases[] = {
        {1137, 296, {35, 12, 1102, 284}},
        {1137, 289, {35, 12, 1102, 277}},
        {400, 250, {13, 11, 387, 239}},
    };
    // Before the title and the axes take their share.
    for (const TCase& c : cases) {
        TChart chart;
        chart.resize(c.W, c.H);
        chart.Draw();
        EXPECT_EQ(chart.ChartBounds(), (TRect{0, 0, c.W, c.H}));
        EXPECT_EQ(chart.CalcChartRect(), c.Expected) << c.W << " x " << c.H;
    }
    TChart pixels;
    pixels.resize(400, 250);
    pixels.SetMarginUnits(muPixels);
    pixels.SetMarginLeft(10);
    pixels.SetAxisVisible(false); // nothing else takes room from the plot
    pixels.Draw();
    EXPECT_EQ(pixels.ChartRect(), (TRect{11, 5, 396, 245}));
    EXPECT_EQ(pixels.ChartWidth(), 385);
    EXPECT_EQ(pixels.ChartXCenter(), (11 + 396) / 2);
}

TEST(ChartLayout, EmptyOrInvertedChartRectIsRepaired) {
    const TRect bounds{0, 0, 400, 250};
    EXPECT_EQ(TChart::RepairChartRect({50, -3, 50, 20}, bounds, 400, 250), (TRect{50, 0, 450, 20}));
    const TRect repaired = TChart::RepairChartRect({60, 30, 40, 10}, bounds, 400, 250);
    EXPECT_EQ(repaired, (TRect{60, 30, 61, 31}));
    EXPECT_EQ(repaired.Width(), 1);
}

TEST(ChartLayout, TitleTakesItsHeightAndMarginsFromTheTop) {
    TStyledChart styled(1137, 296);
    TChart& chart = styled.chart;
    chart.AddSeries(std::make_unique<TFastLineSeries>()); // only the bottom and left axes show
    chart.Draw();
    TPlotFont font = chart.Title.Font();
    chart.Canvas().Font = font;
    const int h = chart.Canvas().TextHeight("W");
    EXPECT_EQ(chart.ChartRect().Top, 20 + h);
    const int a = chart.Canvas().TextWidth("TChart") + chart.Canvas().TextWidth("W") + 1;
    const int m = (34 + 1103) / 2;
    EXPECT_EQ(chart.Title.ShapeBounds, (TRect{m - a / 2, 12, m + a / 2, 14 + h}));

    // A foot title takes its lines and margin from the bottom; the frame cancels out there.
    const int bottomWithoutFoot = chart.ChartRect().Bottom;
    chart.Foot.SetText({"one", "two"});
    chart.Draw();
    chart.Canvas().Font = chart.Foot.Font();
    EXPECT_EQ(chart.ChartRect().Bottom, bottomWithoutFoot - 2 * chart.Canvas().TextHeight("W") - 5);
}

TEST(ChartPainting, BackgroundBevelAndBackWall) {
    TStyledChart styled(400, 250);
    TChart& chart = styled.chart;
    chart.SetAxisVisible(false); // the axis lines would lie on the wall's edges
    const QImage& image = chart.Draw();
    const TRect r = chart.ChartRect();
    TPlotCanvas3D& canvas = chart.Canvas();
    const TColor light = canvas.Resolve(clBtnHighlight), dark = canvas.Resolve(clBtnShadow);

    // The raised bevel: light on the top and left edges, dark on the bottom and right.
    EXPECT_EQ(PixelAt(image, 0, 0), light);
    EXPECT_EQ(PixelAt(image, 0, 248), light);
    EXPECT_EQ(PixelAt(image, 399, 0), dark);
    EXPECT_EQ(PixelAt(image, 5, 249), dark);
    // The background gradient inside the bevel: flat grey above the middle, white at the bottom.
    EXPECT_EQ(PixelAt(image, 5, 2), 0xEAEAEAu);
    EXPECT_EQ(PixelAt(image, 5, 248), clWhite);
    // The back wall's outline lies on ChartRect's four edges, inclusive, in black.
    for (int x = r.Left; x <= r.Right; ++x) {
        ASSERT_EQ(PixelAt(image, x, r.Top), clBlack) << x;
        ASSERT_EQ(PixelAt(image, x, r.Bottom), clBlack) << x;
    }
    for (int y = r.Top; y <= r.Bottom; ++y) {
        ASSERT_EQ(PixelAt(image, r.Left, y), clBlack) << y;
        ASSERT_EQ(PixelAt(image, r.Right, y), clBlack) << y;
    }
    EXPECT_NE(PixelAt(image, r.Left - 1, r.Top + 5), clBlack);
    EXPECT_NE(PixelAt(image, r.Right + 1, r.Top + 5), clBlack);
    // Inside the frame: the wall's gradient, one band per row here, white at the bottom and
    // running to 0xEA at the top row (under the outline).
    const int a = r.Bottom + 1 - r.Top;
    ASSERT_LE(a, 256);
    for (int y = r.Top + 1; y < r.Bottom; ++y) {
        const int k = r.Bottom - y;
        const int level = 255 + k * (0xEA - 255) / (a - 1);
        ASSERT_EQ(PixelAt(image, r.Left + 10, y), RGBColor(level, level, level)) << y;
    }
    // Groups are marked in the drawing order.
    const std::vector<std::string> groups = canvas.Groups;
    EXPECT_EQ(groups.front(), "Panel");
    EXPECT_NE(std::find(groups.begin(), groups.end(), "Back"), groups.end());
}

TEST(ChartPainting, ManyInvalidationsCostOnePaintAndACleanRepaintOnlyCopies) {
    TStyledChart styled(300, 200);
    TChart& chart = styled.chart;
    auto* series = chart.AddSeries(std::make_unique<TFastLineSeries>());
    chart.show();
    QApplication::processEvents();
    const int draws = chart.DrawCount();
    ASSERT_GE(draws, 1);
    for (int i = 0; i < 1000; ++i) {
        series->AddPointXY(i, i);
        chart.Invalidate();
    }
    EXPECT_EQ(chart.DrawCount(), draws);
    QApplication::processEvents();
    EXPECT_EQ(chart.DrawCount(), draws + 1);
    chart.repaint(); // an uncovered window: the picture is copied, not drawn again
    EXPECT_EQ(chart.DrawCount(), draws + 1);
    chart.Title.SetText({"Other"}); // a change of the look marks it again
    EXPECT_TRUE(chart.BufferDirty());
    chart.Title.SetText({"Other"});
    QApplication::processEvents();
    EXPECT_EQ(chart.DrawCount(), draws + 2);
}

TEST(ChartPainting, SettingAValueItAlreadyHasDoesNotInvalidate) {
    TChart chart;
    chart.Draw();
    ASSERT_FALSE(chart.BufferDirty());
    chart.SetMarginLeft(3);
    chart.SetBevelOuter(bvRaised);
    chart.Title.SetVisible(true);
    chart.BackWall.SetColor(clSilver);
    EXPECT_FALSE(chart.BufferDirty());
    chart.SetMarginLeft(4);
    EXPECT_TRUE(chart.BufferDirty());
}

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        Paints += event->type() == QEvent::Paint;
        return false;
    }
    int Paints = 0;
};

TEST(ChartPainting, APaintDuringAZoomDragAsksForNoFurtherPaint) {
    TStyledChart styled(400, 300);
    TChart& chart = styled.chart;
    auto* series = chart.AddSeries(std::make_unique<TFastLineSeries>());
    for (int i = 0; i < 100; ++i)
        series->AddPointXY(i, i % 10);
    chart.show();
    QApplication::processEvents();
    chart.MousePress(mbLeft, 0, 150, 150);
    chart.MouseMove(0, 250, 200);
    QApplication::processEvents();
    ASSERT_TRUE(chart.Zoom.Dragging);

    TPaintCounter counter;
    chart.installEventFilter(&counter);
    const int draws = chart.DrawCount();
    chart.Invalidate();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    EXPECT_EQ(chart.DrawCount(), draws + 1);
    EXPECT_EQ(counter.Paints, 1) << "the band is drawn within the paint, which asks for no other";
    chart.removeEventFilter(&counter);
}

// Paints what is pending, then runs what the paint posted for later.
void PaintAndSettle() {
    QApplication::processEvents();
    QApplication::processEvents();
}

// A paint that throws is caught in the paint event and reported once; it is reported again
// only after a paint has succeeded in between.
TEST(ChartPainting, AFailingPaintIsReportedOnceUntilAPaintSucceeds) {
    TChart chart;
    chart.resize(300, 200);
    auto* series = chart.AddSeries(std::make_unique<TFastLineSeries>());
    series->AddPointXY(1, 1);
    series->AddPointXY(2, 2);
    bool fail = true;
    series->BeforeDrawValues = [&](TChartSeries*) {
        if (fail)
            throw std::runtime_error("the paint broke");
    };
    std::vector<std::string> reports;
    chart.OnPaintError = [&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            reports.push_back(e.what());
        }
    };
    chart.show();
    PaintAndSettle();
    for (int i = 0; i < 3; ++i) {
        chart.Invalidate();
        PaintAndSettle();
    }
    EXPECT_EQ(reports, std::vector<std::string>{"the paint broke"});
    EXPECT_TRUE(chart.RepaintEnabled()) << "a failed paint leaves repainting on";

    const int draws = chart.DrawCount();
    fail = false;
    chart.Invalidate();
    PaintAndSettle();
    EXPECT_EQ(chart.DrawCount(), draws + 1) << "a change after a failed paint paints again";
    EXPECT_FALSE(chart.BufferDirty());
    fail = true;
    chart.Invalidate();
    PaintAndSettle();
    EXPECT_EQ(reports.size(), 2u);

    // Without a hook the message goes to standard error.
    chart.OnPaintError = nullptr;
    fail = false;
    chart.Invalidate();
    PaintAndSettle();
    fail = true;
    ::testing::internal::CaptureStderr();
    chart.Invalidate();
    PaintAndSettle();
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("the paint broke"), std::string::npos);
}

// A paint works in its own state: every setting read after any number of paints is the one
// written, and measuring labels leaves the canvas's font alone.
TEST(ChartPainting, SettingsReadAfterPaintsEqualWhatWasWritten) {
    TChart chart;
    chart.resize(400, 300);
    auto* fast = chart.AddSeries(std::make_unique<TFastLineSeries>()); // asks for 1 pixel of room
    auto* line = chart.AddSeries(std::make_unique<TLineSeries>());
    for (int x = 1; x <= 50; ++x) {
        fast->AddPointXY(x, x % 7);
        line->AddPointXY(x, x % 5);
    }
    line->SetLinePenColor(0x0000FF);
    line->SetSeriesColor(0x00FF00); // the pen's colour still draws the line
    chart.Zoom.Pen = TPlotPen{clWhite, 1, psSolid, pmCopy, true};

    auto settings = [&] {
        std::vector<double> values;
        for (TAxisKind kind : SideAxes) {
            const TChartAxis& axis = chart.Axis(kind);
            values.insert(values.end(), {double(axis.MinimumOffset()), double(axis.MaximumOffset()),
                                         axis.Increment()});
        }
        values.insert(values.end(), {double(line->SeriesColor()), double(line->LinePen().Color),
                                     double(fast->SeriesColor()), double(chart.Zoom.Pen->Mode)});
        return values;
    };
    const std::vector<double> written = settings();
    chart.Draw();
    chart.MousePress(mbLeft, 0, 150, 150); // the band is drawn during the next paints
    chart.MouseMove(0, 250, 200);
    for (int i = 0; i < 3; ++i)
        chart.Draw();
    EXPECT_EQ(settings(), written);
    EXPECT_GT(CountColor(chart.Canvas().Bitmap(), 0x0000FF), 0) << "drawn in the pen's colour";

    TPlotFont font;
    font.Name = "Courier";
    font.Size = 20;
    chart.Canvas().Font = font;
    chart.LeftAxis().LabelStep();
    chart.LeftAxis().LabelsExtent();
    EXPECT_EQ(chart.Canvas().Font, font);
}

} // namespace

// A held picture stays on the screen however the series change; letting go shows the new one.
TEST(ChartPainting, AHeldPictureStaysUntilLetGo) {
    TChart chart;
    chart.resize(300, 200);
    auto* series = chart.AddSeries(std::make_unique<TFastLineSeries>());
    series->AddPointXY(1, 1);
    series->AddPointXY(2, 2);
    chart.show();
    PaintAndSettle();
    const QImage before = chart.grab().toImage();
    chart.SetPictureHeld(true);
    series->AddPointXY(3, -5);
    PaintAndSettle();
    EXPECT_EQ(chart.grab().toImage(), before);
    chart.SetPictureHeld(false);
    PaintAndSettle();
    EXPECT_NE(chart.grab().toImage(), before);
    EXPECT_FALSE(chart.BufferDirty());
}
