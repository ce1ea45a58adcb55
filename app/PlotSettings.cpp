#include "PlotSettings.h"

#include "Chart.h"
#include "LineSeries.h"

namespace {

constexpr TColor LightGrey = RGBColor(0xEA, 0xEA, 0xEA);
constexpr TColor LightYellow = RGBColor(0xFF, 0xFF, 0xE0);
constexpr TColor LineBlue = RGBColor(68, 102, 163);

void UseVerdana(TChartTitle& title) {
    TPlotFont font = title.Font();
    font.Name = "Verdana";
    title.SetFont(font);
}

} // namespace

void ApplyPlotSettings(TChart& chart, TCustomLineSeries& series, TPlotPlace) {
    // Settings are read with repainting off; one invalidation follows.
    chart.SetRepaintEnabled(false);
    chart.SetView3D(false);
    chart.SetLegendVisible(false);
    chart.Title.SetText({"TChart"});
    for (TChartTitle* title : {&chart.Title, &chart.SubTitle, &chart.Foot, &chart.SubFoot})
        UseVerdana(*title);

    TPlotGradient& background = chart.Gradient();
    background.SetDirection(gdBottomTop);
    background.SetStartColor(LightGrey);
    background.SetMidColor(LightGrey);
    background.SetEndColor(clWhite);
    background.SetVisible(true);

    chart.BackWall.SetTransparent(false);
    chart.BackWall.Gradient.SetDirection(gdBottomTop);
    chart.BackWall.Gradient.SetStartColor(LightGrey);
    chart.BackWall.Gradient.SetEndColor(clWhite);
    chart.BackWall.Gradient.SetVisible(true);
    chart.LeftWall.SetColor(LightYellow);
    chart.RightWall.SetColor(LightYellow);

    chart.SetColorPaletteIndex(13);
    series.SetLinePenColor(LineBlue);
    chart.SetRepaintEnabled(true);
    chart.Invalidate();
}
