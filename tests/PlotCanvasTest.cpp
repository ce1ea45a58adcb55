#include <gtest/gtest.h>

#include "chart/raster/PlotCanvas.h"
#include "tests/support/PixelAsserts.h"

namespace {

constexpr TColor Red = 0x0000FF, Blue = 0xFF0000;

void WhiteCanvas(TPlotCanvas3D& canvas, int w, int h) {
    canvas.SetSize(w, h);
    canvas.FillSolid({0, 0, w, h}, clWhite);
}

// The eight octants: the start pixel is painted, the end pixel is not, and a line paints
// exactly max(|dx|, |dy|) pixels.
TEST(PlotCanvas, LinesPaintTheirStartButNotTheirEnd) {
    const TPoint ends[] = {{9, 7}, {7, 9}, {1, 9}, {-1, 7}, {-1, 1}, {1, -1}, {7, -1}, {9, 1}};
    for (const TPoint& end : ends) {
        SCOPED_TRACE(::testing::Message() << "to (" << end.X << ", " << end.Y << ")");
        TPlotCanvas3D canvas;
        WhiteCanvas(canvas, 12, 12);
        canvas.Pen.Color = Red;
        canvas.Line(4, 4, end.X + 1, end.Y + 1);
        EXPECT_EQ(PixelAt(canvas.Bitmap(), 4, 4), Red);
        EXPECT_EQ(PixelAt(canvas.Bitmap(), end.X + 1, end.Y + 1), clWhite);
        EXPECT_EQ(CountColor(canvas.Bitmap(), Red),
                  std::max(std::abs(end.X + 1 - 4), std::abs(end.Y + 1 - 4)));
    }
}

TEST(PlotCanvas, HorizontalAndVerticalLinesStopBeforeTheirEnd) {
    TPlotCanvas3D canvas;
    WhiteCanvas(canvas, 10, 10);
    canvas.Pen.Color = Red;
    canvas.Line(2, 3, 7, 3);
    canvas.Line(8, 8, 8, 2);
    for (int x = 0; x < 8; ++x) // column 8 belongs to the vertical line
        EXPECT_EQ(PixelAt(canvas.Bitmap(), x, 3) == Red, x >= 2 && x < 7) << x;
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(PixelAt(canvas.Bitmap(), 8, y) == Red, y > 2 && y <= 8) << y;
}

TEST(PlotCanvas, RectanglesSharingAnEdgePaintExactlyTheirArea) {
    TPlotCanvas3D canvas;
    WhiteCanvas(canvas, 12, 8);
    canvas.Brush = {Red, bsSolid};
    canvas.FillRect({1, 1, 5, 6});
    canvas.Brush = {Blue, bsSolid};
    canvas.FillRect({5, 1, 9, 6});
    EXPECT_EQ(CountColor(canvas.Bitmap(), Red), 4 * 5);
    EXPECT_EQ(CountColor(canvas.Bitmap(), Blue), 4 * 5);
    EXPECT_EQ(PixelAt(canvas.Bitmap(), 9, 1), clWhite);
    EXPECT_EQ(PixelAt(canvas.Bitmap(), 1, 6), clWhite);
}

TEST(PlotCanvas, RectangleOutlineCoversRightAndBottomMinusOne) {
    TPlotCanvas3D canvas;
    WhiteCanvas(canvas, 8, 8);
    canvas.Pen.Color = Red;
    canvas.Brush = {Blue, bsSolid};
    canvas.Rectangle({1, 1, 6, 5});
    const QImage& image = canvas.Bitmap();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 1 && x <= 5 && y >= 1 && y <= 4;
            const bool edge = inside && (x == 1 || x == 5 || y == 1 || y == 4);
            const TColor want = edge ? Red : inside ? Blue : clWhite;
            ASSERT_EQ(PixelAt(image, x, y), want) << x << "," << y;
        }
}

TEST(PlotCanvas, NotXorDrawnTwiceRestoresEveryPixel) {
    TPlotCanvas3D canvas;
    canvas.SetSize(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            canvas.Bitmap().setPixel(x, y, qRgb(x * 6, y * 8, (x * y) % 256));
    const QImage before = canvas.Bitmap().copy();
    canvas.Pen = {0x123456, 1, psSolid, pmNotXor};
    canvas.Brush.Style = bsClear;
    for (int pass = 0; pass < 2; ++pass) {
        canvas.Rectangle({3, 4, 30, 25});
        canvas.Line(0, 0, 39, 17);
    }
    EXPECT_TRUE(SameImages(canvas.Bitmap(), before));
}

TEST(PlotCanvas, ClipsNestAndUndoInOrder) {
    TPlotCanvas3D canvas;
    WhiteCanvas(canvas, 20, 20);
    canvas.ClipRectangle({2, 2, 15, 15});
    canvas.ClipRectangle({10, 0, 20, 12});
    EXPECT_EQ(canvas.ClipRect(), (TRect{10, 2, 15, 12}));
    canvas.Brush = {Red, bsSolid};
    canvas.FillRect({0, 0, 20, 20});
    EXPECT_EQ(CountColor(canvas.Bitmap(), Red), 5 * 10);
    canvas.UnClipRectangle();
    EXPECT_EQ(canvas.ClipRect(), (TRect{2, 2, 15, 15}));
    canvas.UnClipRectangle();
    EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, 20, 20}));
    canvas.Pen.Color = Blue;
    canvas.Line(-5, 19, 30, 19); // a line running off both sides is clipped, not refused
    EXPECT_EQ(CountColor(canvas.Bitmap(), Blue), 20);
}

TEST(PlotCanvas, DottedPenSkipsEveryOtherPixel) {
    TPlotCanvas3D canvas;
    WhiteCanvas(canvas, 10, 3);
    canvas.Pen = {Red, 1, psDot, pmCopy};
    canvas.Line(0, 1, 9, 1);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(PixelAt(canvas.Bitmap(), x, 1) == Red, x % 2 == 0 && x < 9) << x;
}

TEST(PlotCanvas, SystemColoursComeFromThePalette) {
    TPlotCanvas3D canvas;
    canvas.SystemColors.setColor(QPalette::Button, QColor(1, 2, 3));
    canvas.SystemColors.setColor(QPalette::Light, QColor(4, 5, 6));
    canvas.SystemColors.setColor(QPalette::Dark, QColor(7, 8, 9));
    EXPECT_EQ(canvas.Resolve(clBtnFace), RGBColor(1, 2, 3));
    EXPECT_EQ(canvas.Resolve(clBtnHighlight), RGBColor(4, 5, 6));
    EXPECT_EQ(canvas.Resolve(clBtnShadow), RGBColor(7, 8, 9));
    EXPECT_EQ(canvas.Resolve(0x123456), 0x123456u);
}

TEST(PlotCanvas, TextIsMeasuredAndDrawnInsideTheClip) {
    TPlotCanvas3D canvas;
    WhiteCanvas(canvas, 100, 30);
    canvas.Font.Name = "Verdana";
    canvas.Font.Color = clBlack;
    EXPECT_GT(canvas.TextHeight("W"), 0);
    EXPECT_GT(canvas.TextWidth("WW"), canvas.TextWidth("W"));
    canvas.ClipRectangle({0, 0, 50, 30});
    canvas.TextOut(0, 0, "WWWWWWWWWWWWWW");
    int inked = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 50; x < 100; ++x)
            inked += PixelAt(canvas.Bitmap(), x, y) != clWhite;
    EXPECT_EQ(inked, 0);
    EXPECT_LT(CountColor(canvas.Bitmap(), clWhite), 100 * 30);
}

} // namespace
