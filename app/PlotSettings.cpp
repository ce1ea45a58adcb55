#include "app/PlotSettings.h"

#include "chart/interaction/Chart.h"
#include "chart/panel/LineSeries.h"

namespace {

constexpr TColor LightGrey = RGBColor(0xEA, 0xEA, 0xEA);
constexpr TColor LightYellow = RGBColor(0xFF, 0xFF, 0xE0);
constexpr TColor LineBlue = RGBColor(68, 102, 163);
constexpr TColor AxisLineGrey = RGBColor(0x40, 0x40, 0x40);
constexpr TColor GridGrey = RGBColor(0xA9, 0xA9, 0xA9);
// The stored room of the upper plot's axes; the lower plot's is 0.
constexpr int StoredUpperRoom = 1;
// The room above and below the values in the file's format view.
constexpr int FormatViewValueRoom = 4;

TPlotFont Verdana(TPlotFont font) {
    font.Name = "Verdana";
    return font;
}

void UseVerdana(TChartTitle& title) {
    title.SetFont(Verdana(title.Font()));
}

void ApplyAxisLook(TChartAxis& axis) {
    TPlotPen line = axis.AxisPen();
    line.Color = AxisLineGrey;
    axis.SetAxisPen(line);
    TPlotPen grid = axis.Grid();
    grid.Color = GridGrey;
    axis.SetGrid(grid);
    TPlotPen inner = axis.TicksInner();
    inner.Color = GridGrey;
    axis.SetTicksInner(inner);
    axis.SetLabelsFont(Verdana(axis.LabelsFont()));
    axis.SetTitleFont(Verdana(axis.TitleFont()));
}

} // namespace

void ApplyPlotSettings(TChart& chart, TCustomLineSeries& series, TPlotPlace place) {
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

    for (TAxisKind kind : AllAxes)
        ApplyAxisLook(chart.Axis(kind));
    if (place == ppUpper) {
        // One pixel of room beyond the first and last frame and the extreme samples.
        for (TChartAxis* axis : {&chart.BottomAxis(), &chart.LeftAxis()}) {
            axis->SetMinimumOffset(StoredUpperRoom);
            axis->SetMaximumOffset(StoredUpperRoom);
        }
    }

    chart.SetColorPaletteIndex(13);
    series.SetLinePenColor(LineBlue);
    chart.SetRepaintEnabled(true);
    chart.Invalidate();
}

void ApplyValueRoom(TChart& chart, TPlotPlace place, bool asFormat) {
    const int room = asFormat ? FormatViewValueRoom : place == ppUpper ? StoredUpperRoom : 0;
    TChartAxis& left = chart.LeftAxis();
    left.SetMinimumOffset(room);
    left.SetMaximumOffset(room);
}
