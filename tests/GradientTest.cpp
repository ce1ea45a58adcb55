#include <gtest/gtest.h>

#include <cmath>

#include "chart/raster/GradientBands.h"
#include "chart/raster/PlotCanvas.h"
#include "tests/support/PixelAsserts.h"

namespace {

constexpr TColor Grey = 0xEAEAEA;

void BlackCanvas(TPlotCanvas3D& canvas, int w, int h) {
    canvas.SetSize(w, h);
    canvas.FillSolid({0, 0, w, h}, clBlack);
}

int Level(const QImage& image, int y) {
    return qRed(image.pixel(0, y));
}

TEST(Gradient, PanelBackgroundOf296RowsSplitsAtRow148) {
    TPlotCanvas3D canvas;
    BlackCanvas(canvas, 4, 296);
    TPlotGradient gradient;
    gradient.SetDirection(gdBottomTop);
    gradient.SetStartColor(Grey);
    gradient.SetMidColor(Grey);
    gradient.SetEndColor(clWhite);
    canvas.FillBands(GradientBands(gradient, {0, 0, 4, 296}));
    const QImage& image = canvas.Bitmap();
    for (int y = 0; y < 148; ++y)
        ASSERT_EQ(PixelAt(image, 0, y), Grey) << y;
    for (int k = 0; k < 148; ++k)
        ASSERT_EQ(Level(image, 295 - k), 255 + k * -21 / 147) << k;
    EXPECT_EQ(Level(image, 295), 255);
    EXPECT_EQ(Level(image, 289), 255);
    EXPECT_EQ(Level(image, 288), 254);
    EXPECT_EQ(Level(image, 149), 235);
    EXPECT_EQ(Level(image, 148), 0xEA);
    EXPECT_EQ(PixelAt(image, 3, 200), PixelAt(image, 0, 200)) << "bands span the full width";
}

TEST(Gradient, SixHundredRowsMake256BandsOfTwoOrThreeRows) {
    TPlotCanvas3D canvas;
    BlackCanvas(canvas, 1, 600);
    canvas.FillBands(
        RampBands({0, 0, 1, 600}, RGBColor(0, 0, 0), RGBColor(255, 0, 0), gdTopBottom));
    const QImage& image = canvas.Bitmap();
    std::vector<int> heights;
    int run = 1;
    for (int y = 598; y >= 0; --y) {
        if (image.pixel(0, y) == image.pixel(0, y + 1)) {
            ++run;
        } else {
            heights.push_back(run);
            run = 1;
        }
    }
    heights.push_back(run);
    ASSERT_EQ(heights.size(), 256u);
    EXPECT_EQ(std::vector<int>(heights.begin(), heights.begin() + 6),
              (std::vector<int>{2, 2, 3, 2, 2, 3}));
    for (std::size_t k = 0; k < heights.size(); ++k)
        EXPECT_EQ(heights[k], int(600 * (k + 1) / 256 - 600 * k / 256)) << k;
    EXPECT_EQ(Level(image, 599), 0) << "band 0, at the bottom, has the start colour";
    EXPECT_EQ(Level(image, 0), 255) << "the last band has the end colour";
}

TEST(Gradient, EachStraightDirectionPutsItsColoursOnItsEdges) {
    struct TCase {
        TGradientDirection Direction;
        TPoint StartPixel, EndPixel;
    };
    const TCase cases[] = {
        {gdTopBottom, {5, 9}, {5, 0}},
        {gdBottomTop, {5, 0}, {5, 9}},
        {gdLeftRight, {9, 5}, {0, 5}},
        {gdRightLeft, {0, 5}, {9, 5}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.Direction));
        TPlotCanvas3D canvas;
        BlackCanvas(canvas, 10, 10);
        canvas.FillBands(RampBands({0, 0, 10, 10}, 0x0000FF, 0xFF0000, c.Direction));
        EXPECT_EQ(PixelAt(canvas.Bitmap(), c.StartPixel.X, c.StartPixel.Y), 0x0000FFu);
        EXPECT_EQ(PixelAt(canvas.Bitmap(), c.EndPixel.X, c.EndPixel.Y), 0xFF0000u);
    }
}

TEST(Gradient, TinyRectangles) {
    // Two rows: two bands, start on the bottom row and end on the top row.
    TPlotCanvas3D two;
    BlackCanvas(two, 3, 2);
    two.FillBands(RampBands({0, 0, 3, 2}, 0x0000FF, 0x00FF00, gdTopBottom));
    EXPECT_EQ(PixelAt(two.Bitmap(), 1, 1), 0x0000FFu);
    EXPECT_EQ(PixelAt(two.Bitmap(), 1, 0), 0x00FF00u);
    // One row along the ramp paints nothing.
    TPlotCanvas3D one;
    BlackCanvas(one, 3, 1);
    one.FillBands(RampBands({0, 0, 3, 1}, 0x0000FF, 0x00FF00, gdTopBottom));
    EXPECT_EQ(CountColor(one.Bitmap(), clBlack), 3);
    // Three rows with a middle colour: the upper half (one row) stays, the lower half is painted.
    TPlotCanvas3D three;
    BlackCanvas(three, 3, 3);
    TPlotGradient gradient;
    gradient.SetDirection(gdBottomTop);
    gradient.SetStartColor(Grey);
    gradient.SetMidColor(Grey);
    gradient.SetEndColor(clWhite);
    three.FillBands(GradientBands(gradient, {0, 0, 3, 3}));
    EXPECT_EQ(PixelAt(three.Bitmap(), 0, 0), clBlack);
    EXPECT_EQ(PixelAt(three.Bitmap(), 0, 1), Grey);
    EXPECT_EQ(PixelAt(three.Bitmap(), 0, 2), clWhite);
    // An inverted rectangle is filled as its normalised form.
    TPlotCanvas3D inverted;
    BlackCanvas(inverted, 4, 4);
    inverted.FillBands(RampBands({4, 4, 0, 0}, clWhite, clWhite, gdTopBottom));
    EXPECT_EQ(CountColor(inverted.Bitmap(), clWhite), 16);
}

TEST(Gradient, OtherBalanceFollowsThePowerCurve) {
    TPlotCanvas3D canvas;
    BlackCanvas(canvas, 1, 10);
    canvas.FillBands(
        RampBands({0, 0, 1, 10}, RGBColor(0, 0, 0), RGBColor(200, 0, 0), gdTopBottom, 20));
    for (int k = 0; k < 10; ++k) {
        const double f = std::pow((k + 1) / 10.0, 0.5 + 0.015 * 20);
        EXPECT_EQ(Level(canvas.Bitmap(), 9 - k), int(std::nearbyint(200 * f))) << k;
    }
}

TEST(GradientSettings, SettersNotifyOnlyOnARealChange) {
    int changes = 0;
    TPlotGradient gradient([&] { ++changes; });
    gradient.SetStartColor(clWhite); // the default already
    gradient.SetVisible(false);
    EXPECT_EQ(changes, 0);
    gradient.SetDirection(gdBottomTop);
    gradient.SetBalance(70);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(gradient.MidColor(), clNone);
    gradient.SetMidColor(0x123456);
    EXPECT_TRUE(gradient.HasMiddle);
    gradient.SetMidColor(0x123456);
    EXPECT_EQ(changes, 3);
    gradient.SetMidColor(clNone);
    EXPECT_FALSE(gradient.HasMiddle);
    EXPECT_EQ(gradient.MidColor(), clNone);
    EXPECT_EQ(changes, 4);

    TPlotGradient copy([&] { ++changes; });
    copy.Assign(gradient);
    EXPECT_EQ(changes, 4) << "Assign never notifies";
    EXPECT_EQ(copy.Direction(), gdBottomTop);
    EXPECT_EQ(copy.Balance(), 70);
    EXPECT_EQ(copy.EndColor(), 0x00FFFFu);
}

// The bands are a plain list: the directions that are only stored paint nothing, with or
// without a middle colour, and a middle colour splits a straight ramp at the middle.
TEST(Gradient, BandsOfEachDirection) {
    for (TGradientDirection d :
         {gdFromCenter, gdFromTopLeft, gdFromBottomLeft, gdRadial, gdDiagonalUp, gdDiagonalDown}) {
        TPlotGradient gradient;
        gradient.SetDirection(d);
        EXPECT_TRUE(GradientBands(gradient, {0, 0, 10, 10}).empty()) << d;
        gradient.SetMidColor(Grey);
        EXPECT_TRUE(GradientBands(gradient, {0, 0, 10, 10}).empty()) << d;
    }
    TPlotGradient split;
    split.SetDirection(gdLeftRight);
    split.SetStartColor(0x0000FF);
    split.SetMidColor(0x00FF00);
    split.SetEndColor(0xFF0000);
    const std::vector<TGradientBand> bands = GradientBands(split, {0, 0, 4, 2});
    // Two ramps of two columns each, band 0 of each at its right edge: the end colour at the
    // left edge, the start colour at the right one, the middle colour on both sides of the split.
    const std::vector<TGradientBand> expected = {{{1, 0, 2, 2}, 0x00FF00},
                                                 {{0, 0, 1, 2}, 0xFF0000},
                                                 {{3, 0, 4, 2}, 0x0000FF},
                                                 {{2, 0, 3, 2}, 0x00FF00}};
    EXPECT_EQ(bands, expected);
}

} // namespace
