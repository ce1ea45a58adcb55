// The chart's keys go through the mouse's zoom and pan: the range state they leave, and the
// OnZoom, OnScroll and OnUndoZoom calls they make. Esc cancels a drag; a right click that
// moves nothing is told to the owner.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include "Chart.h"
#include "LineSeries.h"
#include "support/MouseEvents.h"
#include "support/PixelAsserts.h"

namespace {

// A 600 x 400 chart with a line series over x = 1..1001 and y = -100..99, painted once.
struct TKeyChart {
    TKeyChart() {
        chart.resize(600, 400);
        series = chart.AddSeries(std::make_unique<TLineSeries>());
        for (int x = 1; x <= 1001; ++x)
            series->AddPointXY(x, (x % 200) - 100);
        chart.OnZoom = [this] { ++zooms; };
        chart.OnScroll = [this] { ++scrolls; };
        chart.OnUndoZoom = [this] { ++undos; };
        chart.Draw();
    }
    void Keys(const std::vector<Qt::Key>& keys) {
        for (Qt::Key key : keys)
            QTest::keyClick(&chart, key);
    }
    TChart chart;
    TLineSeries* series;
    int zooms = 0, scrolls = 0, undos = 0;
};

struct TRange {
    double Minimum, Maximum;
};

std::string Named(const std::vector<Qt::Key>& keys) {
    std::string text;
    for (Qt::Key key : keys)
        text += QKeySequence(key).toString().toStdString() + " ";
    return text;
}

TEST(ChartKeys, ZoomAndPanMoveTheRangeAndNotifyAsTheMouseDoes) {
    struct TCase {
        std::vector<Qt::Key> Keys;
        TRange Bottom, Left;
        int Zooms, Scrolls, Undos;
    };
    const TRange bottom{1, 1001}, left{-100, 99};
    const TCase cases[] = {
        {{Qt::Key_Plus}, {251, 751}, {-50.25, 49.25}, 1, 0, 0},
        {{Qt::Key_Plus, Qt::Key_Plus}, {376, 626}, {-25.375, 24.375}, 2, 0, 0},
        {{Qt::Key_Minus}, {-499, 1501}, {-199.5, 198.5}, 1, 0, 0},
        {{Qt::Key_Plus, Qt::Key_Minus}, bottom, left, 2, 0, 0},
        {{Qt::Key_Right}, {101, 1101}, left, 0, 1, 0},
        {{Qt::Key_Left}, {-99, 901}, left, 0, 1, 0},
        {{Qt::Key_Up}, bottom, {-80.1, 118.9}, 0, 1, 0},
        {{Qt::Key_Down}, bottom, {-119.9, 79.1}, 0, 1, 0},
        {{Qt::Key_Plus, Qt::Key_Right, Qt::Key_Right}, {351, 851}, {-50.25, 49.25}, 1, 2, 0},
        // The undo goes back to the automatic range, whatever came before it.
        {{Qt::Key_Plus, Qt::Key_Right, Qt::Key_0}, bottom, left, 1, 1, 1},
        {{Qt::Key_Down, Qt::Key_Minus, Qt::Key_Home}, bottom, left, 1, 1, 1},
        {{Qt::Key_0}, bottom, left, 0, 0, 1},
    };
    for (const TCase& c : cases) {
        TKeyChart k;
        k.Keys(c.Keys);
        const std::string keys = Named(c.Keys);
        EXPECT_DOUBLE_EQ(k.chart.BottomAxis().Minimum(), c.Bottom.Minimum) << keys;
        EXPECT_DOUBLE_EQ(k.chart.BottomAxis().Maximum(), c.Bottom.Maximum) << keys;
        EXPECT_NEAR(k.chart.LeftAxis().Minimum(), c.Left.Minimum, 1e-9) << keys;
        EXPECT_NEAR(k.chart.LeftAxis().Maximum(), c.Left.Maximum, 1e-9) << keys;
        EXPECT_EQ(k.zooms, c.Zooms) << keys;
        EXPECT_EQ(k.scrolls, c.Scrolls) << keys;
        EXPECT_EQ(k.undos, c.Undos) << keys;
        const bool undone = c.Undos > 0;
        if (undone) {
            EXPECT_TRUE(k.chart.BottomAxis().Automatic()) << keys;
            EXPECT_TRUE(k.chart.LeftAxis().Automatic()) << keys;
        }
        EXPECT_EQ(k.chart.ScalesSaved, !undone && c.Zooms + c.Scrolls > 0) << keys;
        if (c.Zooms > 0 && !undone) {
            EXPECT_DOUBLE_EQ(k.chart.TopAxis().Minimum(), c.Bottom.Minimum)
                << "the top axis follows";
        }
        EXPECT_TRUE(k.chart.BufferDirty()) << keys;
        k.chart.Draw();
        EXPECT_DOUBLE_EQ(k.chart.BottomAxis().Minimum(), c.Bottom.Minimum)
            << keys << "after a paint";
    }
}

// One undo, from the keys or the mouse, takes back what either did.
TEST(ChartKeys, TheKeysAndTheMouseShareOneUndo) {
    TKeyChart k;
    k.chart.MousePress(mbLeft, 0, 150, 100);
    k.chart.MouseMove(0, 300, 250);
    k.chart.MouseRelease(mbLeft, 0, 300, 250);
    k.chart.Draw();
    k.Keys({Qt::Key_Plus, Qt::Key_Left});
    k.chart.Draw();
    EXPECT_EQ(k.zooms, 2);
    k.Keys({Qt::Key_0});
    EXPECT_TRUE(k.chart.BottomAxis().Automatic());
    EXPECT_TRUE(k.chart.LeftAxis().Automatic());
    EXPECT_FALSE(k.chart.ScalesSaved);

    k.Keys({Qt::Key_Minus, Qt::Key_Down});
    k.chart.Draw();
    k.chart.MousePress(mbLeft, 0, 300, 250); // a left drag to the left
    k.chart.MouseMove(0, 100, 100);
    k.chart.MouseRelease(mbLeft, 0, 100, 100);
    EXPECT_EQ(k.undos, 2);
    k.chart.Draw();
    EXPECT_EQ(k.chart.BottomAxis().Minimum(), 1);
    EXPECT_EQ(k.chart.BottomAxis().Maximum(), 1001);
}

// The keys do nothing where the mouse could not do the same, and only what the settings allow.
TEST(ChartKeys, FollowTheZoomAndPanningSettings) {
    struct TCase {
        const char* Setting;
        std::function<void(TChart&, TLineSeries&)> Apply;
        std::vector<Qt::Key> Keys;
        TRange Bottom, Left;
        int Zooms, Scrolls, Undos;
    };
    const TRange bottom{1, 1001}, left{-100, 99};
    const TCase cases[] = {
        {"no panning",
         [](TChart& c, TLineSeries&) { c.AllowPanning = pnNone; },
         {Qt::Key_Left, Qt::Key_Up},
         bottom,
         left,
         0,
         0,
         0},
        {"vertical panning",
         [](TChart& c, TLineSeries&) { c.AllowPanning = pnVertical; },
         {Qt::Key_Left, Qt::Key_Up},
         bottom,
         {-80.1, 118.9},
         0,
         1,
         0},
        {"horizontal panning",
         [](TChart& c, TLineSeries&) { c.AllowPanning = pnHorizontal; },
         {Qt::Key_Left, Qt::Key_Up},
         {-99, 901},
         left,
         0,
         1,
         0},
        {"no zoom",
         [](TChart& c, TLineSeries&) { c.Zoom.Allow = false; },
         {Qt::Key_Plus, Qt::Key_0},
         bottom,
         left,
         0,
         0,
         0},
        {"horizontal zoom",
         [](TChart& c, TLineSeries&) { c.Zoom.Direction = tzdHorizontal; },
         {Qt::Key_Plus},
         {251, 751},
         left,
         1,
         0,
         0},
        {"vertical zoom",
         [](TChart& c, TLineSeries&) { c.Zoom.Direction = tzdVertical; },
         {Qt::Key_Plus},
         bottom,
         {-50.25, 49.25},
         1,
         0,
         0},
        {"an inverted bottom axis",
         [](TChart& c, TLineSeries&) { c.BottomAxis().SetInverted(true); },
         {Qt::Key_Right},
         {-99, 901},
         left,
         0,
         1,
         0},
        {"an inverted left axis",
         [](TChart& c, TLineSeries&) { c.LeftAxis().SetInverted(true); },
         {Qt::Key_Up},
         bottom,
         {-119.9, 79.1},
         0,
         1,
         0},
    };
    for (const TCase& c : cases) {
        TKeyChart k;
        c.Apply(k.chart, *k.series);
        k.chart.Draw();
        k.Keys(c.Keys);
        EXPECT_DOUBLE_EQ(k.chart.BottomAxis().Minimum(), c.Bottom.Minimum) << c.Setting;
        EXPECT_DOUBLE_EQ(k.chart.BottomAxis().Maximum(), c.Bottom.Maximum) << c.Setting;
        EXPECT_NEAR(k.chart.LeftAxis().Minimum(), c.Left.Minimum, 1e-9) << c.Setting;
        EXPECT_NEAR(k.chart.LeftAxis().Maximum(), c.Left.Maximum, 1e-9) << c.Setting;
        EXPECT_EQ(k.zooms, c.Zooms) << c.Setting;
        EXPECT_EQ(k.scrolls, c.Scrolls) << c.Setting;
        EXPECT_EQ(k.undos, c.Undos) << c.Setting;
    }
}

// A chart whose active series all stay out of zooming starts no drag; the keys do nothing either.
struct TFixedSeries : TLineSeries {
    bool TakesPartInZoom() const override { return false; }
};

TEST(ChartKeys, NothingMovesWhereNoSeriesTakesPart) {
    TChart chart;
    chart.resize(600, 400);
    auto* series = chart.AddSeries(std::make_unique<TFixedSeries>());
    series->AddPointXY(1, 1);
    series->AddPointXY(1001, 99);
    int events = 0;
    chart.OnZoom = chart.OnScroll = chart.OnUndoZoom = [&] { ++events; };
    chart.Draw();
    for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Right, Qt::Key_Up, Qt::Key_0})
        QTest::keyClick(&chart, key);
    EXPECT_EQ(events, 0);
    EXPECT_TRUE(chart.BottomAxis().Automatic());
    EXPECT_FALSE(chart.ScalesSaved);
}

// A panning handler sees a key's pan as it sees the mouse's, and may refuse it.
TEST(ChartKeys, APanAsksTheScrollHandler) {
    TKeyChart k;
    std::vector<std::pair<double, double>> asked;
    k.chart.OnAllowScroll = [&](TChartAxis& axis, double& minimum, double& maximum, bool& allow) {
        if (&axis == &k.chart.BottomAxis())
            asked.emplace_back(minimum, maximum);
        allow = false;
    };
    k.Keys({Qt::Key_Right});
    EXPECT_EQ(asked, (std::vector<std::pair<double, double>>{{101, 1101}}));
    EXPECT_EQ(k.chart.BottomAxis().Minimum(), 1);
}

TEST(ChartKeys, WithCtrlAltOrMetaAKeyIsLeftAlone) {
    for (Qt::KeyboardModifier held : {Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier}) {
        TKeyChart k;
        QTest::keyClick(&k.chart, Qt::Key_Plus, held);
        QTest::keyClick(&k.chart, Qt::Key_Right, held);
        EXPECT_EQ(k.zooms + k.scrolls, 0) << held;
        EXPECT_TRUE(k.chart.BottomAxis().Automatic()) << held;
    }
    TKeyChart k;
    QTest::keyClick(&k.chart, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(&k.chart, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(k.zooms, 2) << "the keypad's + and - zoom too";
}

TEST(ChartKeys, EscErasesTheZoomBandAndTheReleaseZoomsNothing) {
    TKeyChart k;
    const QImage before = k.chart.Canvas().Bitmap().copy();
    const int draws = k.chart.DrawCount();
    k.chart.MousePress(mbLeft, 0, 150, 100);
    k.chart.MouseMove(0, 300, 250);
    ASSERT_FALSE(SameImages(k.chart.Canvas().Bitmap(), before));
    k.Keys({Qt::Key_Plus, Qt::Key_Right}); // nothing but Esc during a drag
    EXPECT_EQ(k.zooms + k.scrolls, 0);
    EXPECT_TRUE(k.chart.KeyPressed(Qt::Key_Escape));
    EXPECT_FALSE(k.chart.Zoom.Dragging);
    EXPECT_TRUE(SameImages(k.chart.Canvas().Bitmap(), before));
    k.chart.MouseMove(0, 350, 300);
    k.chart.MouseRelease(mbLeft, 0, 350, 300);
    EXPECT_TRUE(SameImages(k.chart.Canvas().Bitmap(), before));
    EXPECT_EQ(k.zooms + k.undos, 0);
    EXPECT_EQ(k.chart.DrawCount(), draws);
    EXPECT_FALSE(k.chart.BufferDirty());
    EXPECT_TRUE(k.chart.BottomAxis().Automatic());
    EXPECT_FALSE(k.chart.KeyPressed(Qt::Key_Escape)) << "no drag left to cancel";
}

TEST(ChartKeys, EscTakesAPanBackToWhereItStarted) {
    struct TCase {
        const char* Before;
        std::vector<Qt::Key> Keys;
        bool Saved;
    };
    for (const TCase& c :
         {TCase{"a fresh chart", {}, false}, TCase{"after a zoom", {Qt::Key_Plus}, true}}) {
        TKeyChart k;
        k.Keys(c.Keys);
        k.chart.Draw();
        const TRange bottom{k.chart.BottomAxis().Minimum(), k.chart.BottomAxis().Maximum()};
        const TRange left{k.chart.LeftAxis().Minimum(), k.chart.LeftAxis().Maximum()};
        const bool automatic = k.chart.BottomAxis().Automatic();
        k.chart.MousePress(mbRight, 0, 200, 150);
        k.chart.MouseMove(0, 250, 180);
        k.chart.MouseMove(0, 300, 200);
        ASSERT_NE(k.chart.BottomAxis().Minimum(), bottom.Minimum) << c.Before;
        ASSERT_EQ(k.scrolls, 2);
        QTest::keyClick(&k.chart, Qt::Key_Escape);
        EXPECT_FALSE(k.chart.PanState.Dragging) << c.Before;
        EXPECT_EQ(k.chart.BottomAxis().Minimum(), bottom.Minimum) << c.Before;
        EXPECT_EQ(k.chart.BottomAxis().Maximum(), bottom.Maximum) << c.Before;
        EXPECT_EQ(k.chart.LeftAxis().Minimum(), left.Minimum) << c.Before;
        EXPECT_EQ(k.chart.LeftAxis().Maximum(), left.Maximum) << c.Before;
        EXPECT_EQ(k.chart.BottomAxis().Automatic(), automatic) << c.Before;
        EXPECT_EQ(k.chart.ScalesSaved, c.Saved) << c.Before;
        EXPECT_EQ(k.scrolls, 3) << "the way back is one more scroll";
        // The rest of the drag moves nothing, and the undo still goes to the start.
        k.chart.MouseMove(0, 350, 250);
        k.chart.MouseRelease(mbRight, 0, 350, 250);
        EXPECT_EQ(k.chart.BottomAxis().Minimum(), bottom.Minimum) << c.Before;
        k.Keys({Qt::Key_0});
        k.chart.Draw();
        EXPECT_EQ(k.chart.BottomAxis().Minimum(), 1) << c.Before;
        EXPECT_EQ(k.chart.BottomAxis().Maximum(), 1001) << c.Before;
    }
}

// A right click opens the owner's menu only when it pans nothing: no move between the press
// and the release, anywhere on the chart.
TEST(ChartKeys, ARightClickThatMovesNothingIsTold) {
    struct TStep {
        enum { Press, Move, Release, Escape } What;
        Qt::MouseButton Button;
        int X, Y;
    };
    struct TCase {
        const char* Name;
        std::vector<TStep> Steps;
        std::vector<std::pair<int, int>> Told;
    };
    const TCase cases[] = {
        {"a click on the plot",
         {{TStep::Press, Qt::RightButton, 200, 150}, {TStep::Release, Qt::RightButton, 200, 150}},
         {{200, 150}}},
        {"a click on the margin",
         {{TStep::Press, Qt::RightButton, 3, 3}, {TStep::Release, Qt::RightButton, 3, 3}},
         {{3, 3}}},
        {"a move to the same place",
         {{TStep::Press, Qt::RightButton, 200, 150},
          {TStep::Move, Qt::RightButton, 200, 150},
          {TStep::Release, Qt::RightButton, 200, 150}},
         {{200, 150}}},
        {"a pan",
         {{TStep::Press, Qt::RightButton, 200, 150},
          {TStep::Move, Qt::RightButton, 210, 150},
          {TStep::Release, Qt::RightButton, 210, 150}},
         {}},
        {"a pan back to the start",
         {{TStep::Press, Qt::RightButton, 200, 150},
          {TStep::Move, Qt::RightButton, 210, 150},
          {TStep::Move, Qt::RightButton, 200, 150},
          {TStep::Release, Qt::RightButton, 200, 150}},
         {}},
        {"a release elsewhere",
         {{TStep::Press, Qt::RightButton, 200, 150}, {TStep::Release, Qt::RightButton, 201, 150}},
         {}},
        {"a left click",
         {{TStep::Press, Qt::LeftButton, 200, 150}, {TStep::Release, Qt::LeftButton, 200, 150}},
         {}},
        {"a cancelled click",
         {{TStep::Press, Qt::RightButton, 200, 150},
          {TStep::Escape, Qt::NoButton, 0, 0},
          {TStep::Release, Qt::RightButton, 200, 150}},
         {}},
        {"a right click during a zoom band",
         {{TStep::Press, Qt::LeftButton, 150, 100},
          {TStep::Move, Qt::LeftButton, 300, 250},
          {TStep::Press, Qt::RightButton, 300, 250},
          {TStep::Release, Qt::RightButton, 300, 250},
          {TStep::Release, Qt::LeftButton, 300, 250}},
         {}},
    };
    for (const TCase& c : cases) {
        TKeyChart k;
        std::vector<std::pair<int, int>> told;
        k.chart.OnContextClick = [&](int x, int y) { told.emplace_back(x, y); };
        Qt::MouseButtons held;
        for (const TStep& step : c.Steps) {
            switch (step.What) {
            case TStep::Press:
                held |= step.Button;
                SendButton(k.chart, QEvent::MouseButtonPress, step.Button, step.X, step.Y);
                break;
            case TStep::Move:
                SendMove(k.chart, held, step.X, step.Y);
                break;
            case TStep::Release:
                held &= ~step.Button;
                SendButton(k.chart, QEvent::MouseButtonRelease, step.Button, step.X, step.Y);
                break;
            case TStep::Escape:
                QTest::keyClick(&k.chart, Qt::Key_Escape);
                break;
            }
        }
        EXPECT_EQ(told, c.Told) << c.Name;
        if (!c.Told.empty()) {
            EXPECT_EQ(k.scrolls, 0) << c.Name << " panned nothing";
        }
    }
}

} // namespace
