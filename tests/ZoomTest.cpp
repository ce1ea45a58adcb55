#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include "Chart.h"
#include "LineSeries.h"
#include "support/MouseEvents.h"
#include "support/PixelAsserts.h"

namespace {

// A 600 x 400 chart with a line series over 1..1001 whose axes leave the plot area around
// (100..500, 50..300).
struct TZoomChart {
    TZoomChart() {
        chart.resize(600, 400);
        chart.Title.SetText({"TChart"});
        series = chart.AddSeries(std::make_unique<TLineSeries>());
        for (int x = 1; x <= 1001; ++x)
            series->AddPointXY(x, (x % 200) - 100);
        chart.OnUndoZoom = [this] { ++undos; };
        chart.OnZoom = [this] { ++zooms; };
        chart.Draw();
    }
    void Drag(TMouseButton button, int x0, int y0, int x1, int y1) {
        chart.MousePress(button, 0, x0, y0);
        chart.MouseMove(0, (x0 + x1) / 2, (y0 + y1) / 2);
        chart.MouseMove(0, x1, y1);
        chart.MouseRelease(button, 0, x1, y1);
    }
    TChart chart;
    TLineSeries* series;
    int undos = 0, zooms = 0;
};

TEST(Zoom, ADragMustExceedSixteenPixelsBothWays) {
    struct TCase {
        int X1, Y1;
        bool Zooms;
    };
    for (const TCase& c : {TCase{150, 160, true}, TCase{116, 160, false}, TCase{117, 160, true},
                           TCase{150, 116, false}, TCase{150, 117, true}}) {
        TZoomChart z;
        ASSERT_TRUE(z.chart.ClassifyPress(100, 100) == TCustomChart::htChartRect);
        z.Drag(mbLeft, 100, 100, c.X1, c.Y1);
        EXPECT_EQ(z.zooms, c.Zooms ? 1 : 0) << c.X1 << ", " << c.Y1;
        EXPECT_EQ(z.chart.BottomAxis().Automatic(), !c.Zooms);
    }
}

TEST(Zoom, TheHorizontalSenseDecidesBetweenZoomAndUndo) {
    struct TCase {
        int X0, Y0, X1, Y1;
        bool Zooms;
    };
    for (const TCase& c : {TCase{200, 200, 100, 100, false}, TCase{200, 100, 100, 200, false},
                           TCase{100, 200, 200, 100, true}, TCase{100, 100, 200, 200, true}}) {
        TZoomChart z;
        const double xa = z.chart.BottomAxis().ValueAtPixel(100),
                     xb = z.chart.BottomAxis().ValueAtPixel(200);
        const double ya = z.chart.LeftAxis().ValueAtPixel(200),
                     yb = z.chart.LeftAxis().ValueAtPixel(100);
        z.Drag(mbLeft, c.X0, c.Y0, c.X1, c.Y1);
        EXPECT_EQ(z.zooms, c.Zooms ? 1 : 0);
        EXPECT_EQ(z.undos, c.Zooms ? 0 : 1);
        if (c.Zooms) {
            EXPECT_DOUBLE_EQ(z.chart.BottomAxis().Minimum(), xa);
            EXPECT_DOUBLE_EQ(z.chart.BottomAxis().Maximum(), xb);
            EXPECT_DOUBLE_EQ(z.chart.LeftAxis().Minimum(), ya);
            EXPECT_DOUBLE_EQ(z.chart.LeftAxis().Maximum(), yb);
            EXPECT_DOUBLE_EQ(z.chart.TopAxis().Minimum(), xa) << "the top axis follows";
        }
    }
}

TEST(Zoom, OneUndoReturnsToAutomaticAfterTwoZooms) {
    TZoomChart z;
    z.Drag(mbLeft, 100, 100, 300, 250);
    z.chart.Draw();
    z.Drag(mbLeft, 150, 120, 250, 200);
    z.chart.Draw();
    EXPECT_EQ(z.zooms, 2);
    z.Drag(mbLeft, 300, 250, 100, 100);
    for (TAxisKind kind : SideAxes)
        EXPECT_TRUE(z.chart.Axis(kind).Automatic()) << kind;
    z.chart.Draw();
    EXPECT_EQ(z.chart.BottomAxis().Minimum(), 1);
    EXPECT_EQ(z.chart.BottomAxis().Maximum(), 1001);
    EXPECT_FALSE(z.chart.ScalesSaved);
}

TEST(Zoom, UndoWithNothingSavedOnlyRepaints) {
    TZoomChart z;
    ASSERT_FALSE(z.chart.BufferDirty());
    z.Drag(mbLeft, 300, 250, 100, 100);
    EXPECT_EQ(z.undos, 1);
    EXPECT_TRUE(z.chart.BottomAxis().Automatic());
    EXPECT_TRUE(z.chart.BufferDirty());
}

TEST(Zoom, APressOnNothingStartsNothing) {
    TZoomChart z;
    EXPECT_EQ(z.chart.ClassifyPress(3, 3), TCustomChart::htNothing);
    z.chart.MousePress(mbLeft, 0, 3, 3);
    EXPECT_FALSE(z.chart.Zoom.Dragging);
    // The title text and the axis strips do start a drag.
    const TRect title = z.chart.Title.ShapeBounds;
    EXPECT_EQ(z.chart.ClassifyPress(title.Left + 2, title.Top + 2), TCustomChart::htTitle);
    const TChartAxis& bottom = z.chart.BottomAxis();
    EXPECT_EQ(z.chart.ClassifyPress(bottom.Mapping().MidPixel, bottom.Layout().LabelsPos),
              TCustomChart::htAxis);
}

TEST(Zoom, TheBandIsDrawnInNotXorAndErasedExactly) {
    TZoomChart z;
    const QImage before = z.chart.Canvas().Bitmap().copy();
    const int drawsBefore = z.chart.DrawCount();
    z.chart.MousePress(mbLeft, 0, 100, 100);
    z.chart.MouseMove(0, 150, 160);
    EXPECT_FALSE(SameImages(z.chart.Canvas().Bitmap(), before));
    z.chart.MouseMove(0, 110, 105);
    z.chart.MouseRelease(mbLeft, 0, 110, 105); // too small to count
    EXPECT_TRUE(SameImages(z.chart.Canvas().Bitmap(), before));
    EXPECT_EQ(z.chart.DrawCount(), drawsBefore) << "the band never runs the chart's drawing";
    EXPECT_FALSE(z.chart.BufferDirty());
}

TEST(Zoom, ARepaintDuringADragKeepsTheBand) {
    TZoomChart z;
    const QImage before = z.chart.Canvas().Bitmap().copy();
    z.chart.MousePress(mbLeft, 0, 100, 100);
    z.chart.MouseMove(0, 150, 160);
    z.chart.Draw();                            // the band is drawn again at the end of the paint
    z.chart.MouseRelease(mbLeft, 0, 105, 105); // erases it: back to the plain chart
    EXPECT_TRUE(SameImages(z.chart.Canvas().Bitmap(), before));
}

// The pan: a plot of exactly 500 pixels over 1..1001, axes hidden.
struct TPanChart {
    TPanChart() {
        chart.resize(502, 302);
        chart.SetMarginUnits(muPixels);
        chart.SetMarginLeft(0);
        chart.SetMarginTop(0);
        chart.SetMarginRight(0);
        chart.SetMarginBottom(0);
        chart.SetAxisVisible(false);
        auto* series = chart.AddSeries(std::make_unique<TLineSeries>());
        for (int x = 1; x <= 1001; ++x)
            series->AddPointXY(x, x % 100);
        chart.BottomAxis().SetRangeManual(1, 1001);
        chart.LeftAxis().SetRangeManual(0, 300);
        chart.Draw();
    }
    TChart chart;
};

TEST(Panning, FiftyPixelsRightMovesTheRangeLeftByFiftyPixelsWorth) {
    TPanChart p;
    ASSERT_EQ(p.chart.ChartRect(), (TRect{1, 1, 501, 301}));
    p.chart.MousePress(mbRight, 0, 200, 150);
    p.chart.MouseMove(0, 225, 150);
    p.chart.MouseMove(0, 250, 150);
    p.chart.MouseRelease(mbRight, 0, 250, 150);
    EXPECT_DOUBLE_EQ(p.chart.BottomAxis().Minimum(), -99);
    EXPECT_DOUBLE_EQ(p.chart.BottomAxis().Maximum(), 901);
    EXPECT_DOUBLE_EQ(p.chart.LeftAxis().Minimum(), 0) << "no vertical movement";
    // A downward drag raises the vertical range.
    p.chart.MousePress(mbRight, 0, 200, 100);
    p.chart.MouseMove(0, 200, 130);
    EXPECT_DOUBLE_EQ(p.chart.LeftAxis().Minimum(), 30);
    EXPECT_TRUE(p.chart.ScalesSaved);
}

TEST(Panning, LeavingThePlotEndsThePan) {
    TPanChart p;
    p.chart.MousePress(mbRight, 0, 200, 150);
    p.chart.MouseMove(0, 600, 150); // outside the plot
    EXPECT_FALSE(p.chart.PanState.Dragging);
    p.chart.MouseMove(0, 300, 150); // back inside: nothing resumes
    EXPECT_DOUBLE_EQ(p.chart.BottomAxis().Minimum(), 1);
    p.chart.MousePress(mbRight, 0, 200, 150);
    p.chart.PointerLeft();
    EXPECT_FALSE(p.chart.PanState.Dragging);
}

TEST(Wheel, AStepDownRaisesTheVerticalRangeByThreePercent) {
    TPanChart p;
    p.chart.LeftAxis().SetRangeManual(-32768, 32767);
    p.chart.WheelStep(false);
    EXPECT_DOUBLE_EQ(p.chart.LeftAxis().Minimum(), -32768 + 65535 * 0.03);
    EXPECT_DOUBLE_EQ(p.chart.LeftAxis().Maximum(), 32767 + 65535 * 0.03);
    EXPECT_DOUBLE_EQ(p.chart.BottomAxis().Minimum(), 1) << "horizontal axes stay";
    p.chart.WheelStep(true);
    EXPECT_NEAR(p.chart.LeftAxis().Minimum(), -32768, 1e-9);
    EXPECT_FALSE(p.chart.ScalesSaved) << "an undo does not reverse the wheel";
}

TEST(Zoom, KeptAcrossANewLoadAndUndoneAfterwards) {
    TZoomChart z;
    z.Drag(mbLeft, 150, 100, 300, 250);
    const double zoomedMin = z.chart.BottomAxis().Minimum();
    z.series->ClearPoints();
    for (int x = 1; x <= 5000; ++x)
        z.series->AddPointXY(x, 0);
    z.chart.Draw();
    EXPECT_DOUBLE_EQ(z.chart.BottomAxis().Minimum(), zoomedMin);
    z.Drag(mbLeft, 300, 250, 100, 100);
    z.chart.Draw();
    EXPECT_EQ(z.chart.BottomAxis().Maximum(), 5000);
}

// Qt 6.4's QTest has no wheel helper: the event is built by hand, as a smooth wheel or a
// touchpad would send it.
void SendWheel(QWidget& widget, int delta) {
    const QPointF at(200, 150);
    QWheelEvent event(at, at, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

TEST(Wheel, StepsComeFromTheAngleGatheredNotFromEachEvent) {
    struct TCase {
        std::vector<int> Deltas;
        int Steps; // up is positive
    };
    const TCase cases[] = {
        {{120}, 1},
        {{-240}, -2},
        {{15, 15, 15, 15, 15, 15, 15}, 0},
        {{15, 15, 15, 15, 15, 15, 15, 15}, 1},
        {{40, 40, 40}, 1},
        {{-40, -40, -40, -40, -40, -40}, -2},
        {{100, 100}, 1},      // 200: one step, 80 kept for later
        {{100, -30, 100}, 0}, // a turn of the wheel starts the gathering afresh
        {{40, 40, -40, -40, -40}, -1},
    };
    for (const TCase& c : cases) {
        TPanChart p; // vertical range 0..300: a step moves it by 9
        for (int delta : c.Deltas)
            SendWheel(p.chart, delta);
        EXPECT_NEAR(p.chart.LeftAxis().Minimum(), -9.0 * c.Steps, 1e-9)
            << ::testing::PrintToString(c.Deltas);
    }
}

void Click(QWidget& widget, Qt::MouseButton button, int x, int y) {
    SendButton(widget, QEvent::MouseButtonPress, button, x, y);
    SendButton(widget, QEvent::MouseButtonRelease, button, x, y);
}

// Only the left button zooms and undoes, only the right one pans; any other button starts
// nothing and ends no drag, whether pressed over the plot on its own or during a drag.
TEST(Mouse, OtherButtonsStartAndEndNothing) {
    for (Qt::MouseButton other :
         {Qt::BackButton, Qt::ForwardButton, Qt::MiddleButton, Qt::ExtraButton4}) {
        TZoomChart z;
        ASSERT_EQ(z.chart.ClassifyPress(150, 150), TCustomChart::htChartRect);
        SendButton(z.chart, QEvent::MouseButtonPress, other, 150, 150);
        EXPECT_FALSE(z.chart.Zoom.Dragging) << other;
        EXPECT_FALSE(z.chart.PanState.Dragging) << other;
        SendButton(z.chart, QEvent::MouseButtonRelease, other, 300, 250);
        EXPECT_EQ(z.zooms + z.undos, 0) << other;

        SendButton(z.chart, QEvent::MouseButtonPress, Qt::RightButton, 150, 150);
        Click(z.chart, other, 160, 150);
        EXPECT_TRUE(z.chart.PanState.Dragging) << "the pan goes on after " << other;
        SendButton(z.chart, QEvent::MouseButtonRelease, Qt::RightButton, 160, 150);
        EXPECT_FALSE(z.chart.PanState.Dragging);

        SendButton(z.chart, QEvent::MouseButtonPress, Qt::LeftButton, 150, 150);
        z.chart.MouseMove(0, 300, 250);
        Click(z.chart, other, 300, 250);
        EXPECT_TRUE(z.chart.Zoom.Dragging) << "the band stays after " << other;
        EXPECT_EQ(z.zooms, 0);
        SendButton(z.chart, QEvent::MouseButtonRelease, Qt::LeftButton, 300, 250);
        EXPECT_EQ(z.zooms, 1) << other;
    }
}

} // namespace
