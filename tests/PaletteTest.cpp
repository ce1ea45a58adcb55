#include <gtest/gtest.h>

#include <QSettings>

#include "chart/interaction/Chart.h"
#include "chart/panel/LineSeries.h"

namespace {

constexpr TColor Opera[] = {RGBColor(0x44, 0x66, 0xA3), RGBColor(0xF3, 0x9C, 0x35),
                            RGBColor(0xF1, 0x4C, 0x14)};

TEST(Palettes, CatalogueHasSeventeenNamedPalettesOfTheirSizes) {
    const int sizes[] = {20, 22, 11, 14, 8, 12, 9, 14, 25, 13, 16, 15, 15, 12, 8, 8, 4};
    ASSERT_EQ(ColorPaletteNames().size(), 17u);
    EXPECT_EQ(ColorPaletteNames()[0], "Plotwell");
    EXPECT_EQ(ColorPaletteNames()[13], "Opera");
    EXPECT_EQ(ColorPaletteNames()[16], "BlackIsBack");
    EXPECT_EQ(BaseColorPalette().size(), 20u);
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(int(ColorPalette(n).size()), sizes[n]) << n;
    EXPECT_TRUE(ColorPalette(0).empty());
    EXPECT_TRUE(ColorPalette(17).empty());
    EXPECT_EQ(ColorPalette(13)[11], RGBColor(0xB4, 0xB4, 0xB4));
    EXPECT_EQ(BaseColorPalette()[17], RGBColor(0xA6, 0xCA, 0xF0));
}

TEST(Palettes, SeriesTakeFreeColoursInTheOrderTheyJoin) {
    TChart chart;
    chart.SetColorPaletteIndex(13);
    std::vector<TChartSeries*> series;
    for (int i = 0; i < 13; ++i)
        series.push_back(chart.AddSeries(std::make_unique<TLineSeries>()));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(series[i]->SeriesColor(), Opera[i]);
    EXPECT_EQ(series[12]->SeriesColor(), RGBColor(0xB4, 0xB4, 0xB4)) << "the last colour again";
    EXPECT_EQ(series[0]->OwnColor, clDefault) << "an automatic colour stays automatic";
}

TEST(Palettes, ChangingThePaletteRecoloursAutomaticColoursOnly) {
    TChart chart;
    chart.SetColorPaletteIndex(13);
    auto* automatic = chart.AddSeries(std::make_unique<TFastLineSeries>());
    auto* own = chart.AddSeries(std::make_unique<TLineSeries>());
    own->SetSeriesColor(0x00FF00);
    for (int index : {0, 17}) {
        chart.SetColorPaletteIndex(index);
        EXPECT_TRUE(chart.ChartPalette().empty());
        EXPECT_EQ(automatic->SeriesColor(), RGBColor(0xFF, 0, 0)) << index;
        EXPECT_EQ(automatic->LinePen().Color, RGBColor(0xFF, 0, 0)) << "the pen follows";
        EXPECT_EQ(own->SeriesColor(), 0x00FF00u);
    }
    // The same index again recolours nothing.
    automatic->AutoColor = 0x123456;
    chart.SetColorPaletteIndex(17);
    EXPECT_EQ(automatic->AutoColor, 0x123456u);
}

TEST(Palettes, BackgroundColoursAreNotFree) {
    TChart chart;
    chart.SetColorPaletteIndex(0);
    chart.BackWall.SetColor(RGBColor(0xFF, 0, 0)); // the base palette's first colour
    auto* series = chart.AddSeries(std::make_unique<TLineSeries>());
    EXPECT_EQ(series->SeriesColor(), RGBColor(0, 0x80, 0));
}

TEST(Palettes, FastLinePenAndSeriesColourFollowEachOther) {
    TChart chart;
    chart.SetColorPaletteIndex(13);
    auto* fast = chart.AddSeries(std::make_unique<TFastLineSeries>());
    EXPECT_EQ(fast->LinePen().Color, Opera[0]);
    // The pen's colour alone changes the pen alone.
    fast->SetLinePenColor(0x0000FF);
    EXPECT_EQ(fast->SeriesColor(), Opera[0]);
    // A whole pen brings its colour to the series, which then has a colour of its own.
    fast->SetLinePen({0x00FF00, 1, psSolid, pmCopy});
    EXPECT_EQ(fast->SeriesColor(), 0x00FF00u);
    EXPECT_EQ(fast->OwnColor, 0x00FF00u);
}

TEST(Palettes, NewChartStartsWithTheDefaultPaletteSetting) {
    QSettings settings(QStringLiteral("Varnok Software"), QStringLiteral("Plotwell Pro"));
    const char* key = "Editor/DefaultPalette";
    settings.remove(key);
    EXPECT_EQ(DefaultPaletteSetting(), 13);
    settings.setValue(key, 4);
    settings.sync();
    EXPECT_EQ(DefaultPaletteSetting(), 4);
    {
        TChart chart;
        EXPECT_EQ(chart.ColorPaletteIndex(), 4);
        EXPECT_EQ(chart.ChartPalette().size(), 8u);
    }
    settings.setValue(key, "not a number");
    settings.sync();
    EXPECT_EQ(DefaultPaletteSetting(), 13);
    settings.remove(key);
}

} // namespace
