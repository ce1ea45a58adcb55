// The charts on screens whose device pixel ratio is not 1. Each registration of this program runs
// with its own QT_SCALE_FACTOR (tests/CMakeLists.txt): the ScaledScreen tests check the screen
// it gives; the ScaledPictures and RenderAtScale tests choose their ratios themselves and run in
// the first registration only.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>

#include "app/ConsoleDialogs.h"
#include "app/Form1.h"
#include "chart/interaction/Chart.h"
#include "chart/panel/LineSeries.h"
#include "chart/panel/PlotPanel.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

namespace {

// The picture pixel whose span holds the centre of device pixel `device`, for a picture that
// starts at device coordinate `origin` with `ratio` device pixels to a pixel: the j with
// origin + j * ratio < device + 0.5 <= origin + (j + 1) * ratio.
int ShownPixel(int device, double origin, double ratio) {
    int j = int(std::floor((device - origin) / ratio));
    while (origin + j * ratio >= device + 0.5)
        --j;
    while (origin + (j + 1) * ratio < device + 0.5)
        ++j;
    return j;
}

// The device pixels, along one axis, whose centres lie on a widget at logical [start, start +
// size): [first, end).
struct TDeviceSpan {
    int First, End;
};
TDeviceSpan CentresOn(int start, int size, double ratio) {
    TDeviceSpan span{0, 0};
    span.First = int(std::floor(start * ratio - 0.5)) + 1;
    span.End = int(std::floor((start + size) * ratio - 0.5)) + 1;
    return span;
}

// A panel whose picture names each pixel by its colour, and that keeps where the mouse was
// pressed.
QRgb CoordinateColour(int x, int y) {
    return qRgb(x & 0xff, ((x >> 8) & 0xf) | (((y >> 8) & 0xf) << 4), y & 0xff);
}

std::optional<QPoint> CoordinateOf(QRgb colour, QSize size) {
    const int x = qRed(colour) | ((qGreen(colour) & 0xf) << 8);
    const int y = qBlue(colour) | ((qGreen(colour) >> 4) << 8);
    if (x >= size.width() || y >= size.height())
        return std::nullopt;
    return QPoint(x, y);
}

class TCoordinatePanel : public TCustomPlotPanel {
  public:
    using TCustomPlotPanel::TCustomPlotPanel;
    std::vector<QPointF> Pressed;

  protected:
    void InternalDraw(const TRect&) override {
        QImage& picture = Canvas().Bitmap();
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, CoordinateColour(x, y));
    }
    void mousePressEvent(QMouseEvent* event) override {
        Pressed.push_back(event->position());
        event->accept();
    }
};

// Neither colour names a pixel of a coordinate panel.
constexpr QRgb Background = qRgb(0, 255, 0);
constexpr QRgb Untouched = qRgb(255, 255, 255);

// Two panels stacked as the window stacks its plots: one logical pixel in from the window's
// edges, sizes that put their edges between device pixels at fractional ratios.
struct TTwoPanels {
    TTwoPanels() {
        Window.resize(319, 293);
        QPalette palette = Window.palette();
        palette.setColor(QPalette::Window, QColor(Background));
        Window.setPalette(palette);
        Window.setAutoFillBackground(true);
        Upper = new TCoordinatePanel(&Window);
        Upper->setGeometry(1, 1, 317, 150);
        Lower = new TCoordinatePanel(&Window);
        Lower->setGeometry(1, 151, 317, 141);
    }
    QWidget Window;
    TCoordinatePanel* Upper;
    TCoordinatePanel* Lower;
};

// The widget painted at `ratio` onto a picture that starts out Untouched.
QImage RenderAt(QWidget& widget, double ratio) {
    QImage image(int(std::ceil(widget.width() * ratio)), int(std::ceil(widget.height() * ratio)),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Untouched);
    widget.render(&image);
    return image;
}

// Every device pixel of `image` whose centre lies on a panel shows the panel's pixel under that
// centre; every other one whose centre lies on the window shows the window's background (no
// pixel left unpainted, none painted by a panel outside its own).
::testing::AssertionResult ShowsPanelsPixelByPixel(const QImage& image, double ratio,
                                                   const std::vector<TCoordinatePanel*>& panels) {
    const QWidget& window = *panels.front()->window();
    const TDeviceSpan windowColumns = CentresOn(0, window.width(), ratio);
    const TDeviceSpan windowRows = CentresOn(0, window.height(), ratio);
    std::vector<std::set<int>> columnsSeen(panels.size()), rowsSeen(panels.size());
    for (int y = windowRows.First; y < windowRows.End; ++y)
        for (int x = windowColumns.First; x < windowColumns.End; ++x) {
            const QRgb colour = image.pixel(x, y);
            std::optional<QPoint> expected;
            std::size_t owner = 0;
            for (std::size_t i = 0; i < panels.size(); ++i) {
                const QRect r = panels[i]->geometry();
                const TDeviceSpan columns = CentresOn(r.x(), r.width(), ratio);
                const TDeviceSpan rows = CentresOn(r.y(), r.height(), ratio);
                if (x >= columns.First && x < columns.End && y >= rows.First && y < rows.End) {
                    expected = QPoint(ShownPixel(x, r.x() * ratio, ratio),
                                      ShownPixel(y, r.y() * ratio, ratio));
                    owner = i;
                }
            }
            if (!expected) {
                if (colour != Background)
                    return ::testing::AssertionFailure()
                           << "device pixel (" << x << ", " << y << ") is " << std::hex << colour
                           << ", not the window's background";
                continue;
            }
            const std::optional<QPoint> shown = CoordinateOf(colour, panels[owner]->size());
            if (shown != expected)
                return ::testing::AssertionFailure()
                       << "device pixel (" << x << ", " << y << ") of panel " << owner << " shows "
                       << (shown ? std::to_string(shown->x()) + ", " + std::to_string(shown->y())
                                 : "colour " + std::to_string(colour))
                       << " instead of " << expected->x() << ", " << expected->y();
            columnsSeen[owner].insert(shown->x());
            rowsSeen[owner].insert(shown->y());
        }
    for (std::size_t i = 0; i < panels.size(); ++i)
        if (int(columnsSeen[i].size()) != panels[i]->width() ||
            int(rowsSeen[i].size()) != panels[i]->height())
            return ::testing::AssertionFailure()
                   << "panel " << i << " lost pixels: " << columnsSeen[i].size() << " columns, "
                   << rowsSeen[i].size() << " rows shown";
    return ::testing::AssertionSuccess();
}

TEST(ScaledScreen, EachDevicePixelShowsThePanelPixelUnderItsCentre) {
    TTwoPanels two;
    const double ratio = two.Window.devicePixelRatio();
    EXPECT_TRUE(
        ShowsPanelsPixelByPixel(RenderAt(two.Window, ratio), ratio, {two.Upper, two.Lower}));
}

TEST(ScaledPictures, EachDevicePixelShowsThePanelPixelUnderItsCentreAtAnyRatio) {
    TTwoPanels two;
    for (const double ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0}) {
        SCOPED_TRACE(ratio);
        EXPECT_TRUE(
            ShowsPanelsPixelByPixel(RenderAt(two.Window, ratio), ratio, {two.Upper, two.Lower}));
    }
}

// The pointer over device pixel d is at d / ratio in the window, between two whole numbers at
// most ratios. Qt hands a widget that position rounded to a whole number, and the window
// position as it is; the handlers get the pixel shown under the pointer either way.
TEST(ScaledScreen, ThePointerNamesThePixelShownUnderIt) {
    TTwoPanels two;
    two.Window.show();
    const double ratio = two.Window.devicePixelRatio();
    const QImage image = RenderAt(two.Window, ratio);
    for (TCoordinatePanel* panel : {two.Upper, two.Lower}) {
        const QRect r = panel->geometry();
        const TDeviceSpan columns = CentresOn(r.x(), r.width(), ratio);
        const TDeviceSpan rows = CentresOn(r.y(), r.height(), ratio);
        std::vector<QPoint> devicePixels;
        for (int x = columns.First; x < columns.End; ++x)
            devicePixels.push_back({x, (rows.First + rows.End) / 2});
        for (int y = rows.First; y < rows.End; ++y)
            devicePixels.push_back({(columns.First + columns.End) / 2, y});
        for (const QPoint& device : devicePixels) {
            const std::optional<QPoint> shown = CoordinateOf(image.pixel(device), panel->size());
            ASSERT_TRUE(shown.has_value());
            const QPointF inWindow = QPointF(device) / ratio;
            const QPointF inPanel = inWindow - QPointF(r.topLeft());
            for (const QPointF given : {inPanel, QPointF(inPanel.toPoint())}) {
                QMouseEvent press(QEvent::MouseButtonPress, given, inWindow, inWindow,
                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(panel, &press);
                ASSERT_EQ(panel->Pressed.size(), 1u);
                const QPointF pressed = panel->Pressed.back();
                ASSERT_TRUE(pressed.x() == shown->x() && pressed.y() == shown->y())
                    << "device pixel " << device.x() << ", " << device.y() << " shows "
                    << shown->x() << ", " << shown->y() << "; given " << given.x() << ", "
                    << given.y() << ", the press came at " << pressed.x() << ", " << pressed.y();
                panel->Pressed.clear();
            }
        }
    }
}

// The chart's own mouse handling (the zoom band) starts where the pointer's pixel is.
TEST(ScaledScreen, AZoomStartsAtThePixelUnderThePointer) {
    QWidget window;
    window.resize(402, 302);
    TChart chart(&window);
    chart.setGeometry(1, 1, 400, 300);
    TLineSeries* series = chart.AddSeries(std::make_unique<TLineSeries>());
    for (int x = 0; x <= 100; ++x)
        series->AddPointXY(x, x % 10);
    window.show();
    const double ratio = chart.devicePixelRatio();
    RenderAt(window, ratio);
    const TRect plot = chart.ChartRect();
    // A device pixel well inside the plot, odd so that at ratio 2 it lies on a half.
    const QPoint device(int(std::floor((1 + plot.Left + 20) * ratio)) | 1,
                        int(std::floor((1 + plot.Top + 20) * ratio)) | 1);
    const QPointF inWindow = QPointF(device) / ratio;
    const QPointF inChart = QPointF((inWindow - QPointF(1, 1)).toPoint()); // as Qt hands it
    QMouseEvent press(QEvent::MouseButtonPress, inChart, inWindow, inWindow, Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&chart, &press);
    ASSERT_TRUE(chart.Zoom.Dragging);
    EXPECT_EQ(chart.Zoom.X0, ShownPixel(device.x(), ratio, ratio));
    EXPECT_EQ(chart.Zoom.Y0, ShownPixel(device.y(), ratio, ratio));
    QMouseEvent release(QEvent::MouseButtonRelease, inChart, inWindow, inWindow, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&chart, &release);
}

// What is written on the picture after its paint (the zoom band) reaches the device on the next
// copy, without a new paint, at any ratio.
TEST(ScaledPictures, APictureChangedAfterItsPaintIsShownByTheNextCopy) {
    for (const double ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        TCoordinatePanel panel;
        panel.resize(60, 40);
        RenderAt(panel, ratio);
        const int draws = panel.DrawCount();
        TPlotCanvas3D& canvas = panel.Canvas();
        canvas.Brush = {0x0000FF, bsSolid}; // red, as 0x00BBGGRR
        canvas.Pen.Style = psClear;
        canvas.FillRect({10, 10, 20, 20});
        const QImage image = RenderAt(panel, ratio);
        EXPECT_EQ(panel.DrawCount(), draws);
        const QPoint inside(int(15 * ratio), int(15 * ratio)),
            outside(int(25 * ratio), int(15 * ratio));
        EXPECT_EQ(image.pixel(inside), qRgb(255, 0, 0));
        EXPECT_EQ(CoordinateOf(image.pixel(outside), panel.size()),
                  QPoint(ShownPixel(outside.x(), 0, ratio), ShownPixel(outside.y(), 0, ratio)));
    }
}

// The window with a file loaded, as this screen shows it: each chart's device pixels are its
// picture, pixel by pixel; at a whole ratio that is the picture enlarged by exactly the ratio.
TEST(ScaledScreen, TheWindowShowsEachChartsPictureWhole) {
    TTempDir dir;
    std::vector<std::pair<std::int16_t, std::int16_t>> frames;
    for (int i = 0; i < 3000; ++i)
        frames.push_back({std::int16_t((i * 37) % 20000 - 10000), std::int16_t(-(i % 700) * 9)});
    const std::string file = dir.Write("plots.wav", PlainWave(TWaveBytes::Frames(frames)));
    TConsoleDialogs dialogs;
    TForm1 form;
    form.SetDialogs(&dialogs);
    form.show();
    ASSERT_TRUE(form.OpenAtStart(QString::fromStdString(file)));
    QApplication::processEvents();
    const double ratio = form.devicePixelRatio();
    const QImage window = form.grab().toImage();
    ASSERT_EQ(window.size(),
              QSize(int(std::ceil(form.width() * ratio)), int(std::ceil(form.height() * ratio))));
    const QRect upper(form.Chart1->mapTo(&form, QPoint(0, 0)), form.Chart1->size());
    const QRect lower(form.Chart2->mapTo(&form, QPoint(0, 0)), form.Chart2->size());
    // Stacked with nothing between them.
    EXPECT_EQ(upper.bottom() + 1, lower.top());
    for (const auto& [chart, r] : {std::pair{form.Chart1, upper}, std::pair{form.Chart2, lower}}) {
        SCOPED_TRACE(chart->objectName().toStdString());
        const QImage& picture = chart->Canvas().Bitmap();
        ASSERT_EQ(picture.size(), r.size());
        const TDeviceSpan columns = CentresOn(r.x(), r.width(), ratio);
        const TDeviceSpan rows = CentresOn(r.y(), r.height(), ratio);
        const bool whole = ratio == std::floor(ratio);
        int differing = 0;
        QPoint first;
        for (int y = rows.First; y < rows.End; ++y)
            for (int x = columns.First; x < columns.End; ++x) {
                // At a whole ratio: the picture enlarged, each pixel a ratio x ratio block.
                const int s = int(ratio);
                const QPoint source = whole ? QPoint((x - r.x() * s) / s, (y - r.y() * s) / s)
                                            : QPoint(ShownPixel(x, r.x() * ratio, ratio),
                                                     ShownPixel(y, r.y() * ratio, ratio));
                if (window.pixel(x, y) != picture.pixel(source) && differing++ == 0)
                    first = {x, y};
            }
        EXPECT_EQ(differing, 0) << "first at device pixel " << first.x() << ", " << first.y();
        // The edges are there: the picture's first and last rows and columns (the bevel) are
        // the first and last device pixels of the chart.
        const int midX = (columns.First + columns.End) / 2, midY = (rows.First + rows.End) / 2;
        const int pictureMidX = ShownPixel(midX, r.x() * ratio, ratio);
        const int pictureMidY = ShownPixel(midY, r.y() * ratio, ratio);
        EXPECT_EQ(window.pixel(midX, rows.First), picture.pixel(pictureMidX, 0));
        EXPECT_EQ(window.pixel(midX, rows.End - 1), picture.pixel(pictureMidX, r.height() - 1));
        EXPECT_EQ(window.pixel(columns.First, midY), picture.pixel(0, pictureMidY));
        EXPECT_EQ(window.pixel(columns.End - 1, midY), picture.pixel(r.width() - 1, pictureMidY));
    }
}

// riffscope --render at QT_SCALE_FACTOR 2 and 1.5 against the same window at 1, in separate
// processes: the charts at 2 are the charts at 1 enlarged by exactly 2 (text included: a scaled
// screen must not change how the pictures' text is drawn), at 1.5 the charts at 1 pixel by
// pixel, every row and column there.
class RenderAtScale : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<std::pair<std::int16_t, std::int16_t>> frames;
        for (int i = 0; i < 44100; ++i)
            frames.push_back({std::int16_t(std::lround(20000 * std::sin(i / 40.0))),
                              std::int16_t(std::lround(9000 * std::sin(i / 300.0)))});
        File = Dir.Write("tones.wav", PlainWave(TWaveBytes::Frames(frames)));
        TForm1 form;
        form.setAttribute(Qt::WA_DontShowOnScreen);
        form.show(); // lays the window out
        Charts = {QRect(form.Chart1->mapTo(&form, QPoint(0, 0)), form.Chart1->size()),
                  QRect(form.Chart2->mapTo(&form, QPoint(0, 0)), form.Chart2->size())};
        AtOne = Render("1");
    }

    QImage Render(const std::string& scale) {
        const std::string picture = Dir.File("at" + scale + ".png");
        setenv("QT_SCALE_FACTOR", scale.c_str(), 1);
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string saved = asan ? asan : "";
        setenv("ASAN_OPTIONS", (saved + ":detect_leaks=0").c_str(), 1);
        const TRun run = RunProgram(RIFFSCOPE_PATH, Dir, {"--render", picture, File});
        setenv("ASAN_OPTIONS", saved.c_str(), 1);
        unsetenv("QT_SCALE_FACTOR");
        EXPECT_EQ(run.ExitStatus, 0) << run.Err;
        return QImage(QString::fromStdString(picture)).convertToFormat(QImage::Format_RGB32);
    }

    // Device pixels of `image` (at `ratio`) on the charts that differ from the pixel of the
    // picture at 1 whose span holds their centre, or that the image lacks (cut off).
    int DifferingChartPixels(const QImage& image, double ratio) const {
        int differing = 0;
        for (const QRect& r : Charts) {
            const TDeviceSpan columns = CentresOn(r.x(), r.width(), ratio);
            const TDeviceSpan rows = CentresOn(r.y(), r.height(), ratio);
            for (int y = rows.First; y < rows.End; ++y)
                for (int x = columns.First; x < columns.End; ++x)
                    differing += !image.valid(x, y) ||
                                 image.pixel(x, y) !=
                                     AtOne.pixel(ShownPixel(x, 0, ratio), ShownPixel(y, 0, ratio));
        }
        return differing;
    }

    TTempDir Dir;
    std::string File;
    std::vector<QRect> Charts;
    QImage AtOne;
};

TEST_F(RenderAtScale, AtTwoTheChartsAreThePictureAtOneDoubled) {
    ASSERT_EQ(AtOne.size(), QSize(1372, 587));
    const QImage atTwo = Render("2");
    ASSERT_EQ(atTwo.size(), QSize(2744, 1174));
    int differing = 0;
    for (const QRect& r : Charts)
        for (int y = 2 * r.top(); y <= 2 * r.bottom() + 1; ++y)
            for (int x = 2 * r.left(); x <= 2 * r.right() + 1; ++x)
                differing += atTwo.pixel(x, y) != AtOne.pixel(x / 2, y / 2);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(DifferingChartPixels(atTwo, 2), 0);
}

TEST_F(RenderAtScale, AtOneAndAHalfTheChartsAreThePictureAtOnePixelByPixel) {
    const QImage atOneAndAHalf = Render("1.5");
    ASSERT_EQ(atOneAndAHalf.size(), QSize(2058, 881));
    EXPECT_EQ(DifferingChartPixels(atOneAndAHalf, 1.5), 0);
}

} // namespace
