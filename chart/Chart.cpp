#include "Chart.h"

#include <cmath>

TCustomChart::TCustomChart(QWidget* parent) : TCustomAxisPanel(parent) {}

TColor TCustomChart::GetBackColor() const {
    return BackWall.Transparent() ? Color() : BackWall.Color();
}

bool TCustomChart::IsColorFree(TColor color, bool checkBackground,
                               const TChartSeries* excluded) const {
    if (!TCustomAxisPanel::IsColorFree(color, checkBackground, excluded))
        return false;
    return !(checkBackground && color == BackWall.Color());
}

void TCustomChart::DrawTitlesAndLegend(bool beforeSeries) {
    TPlotCanvas3D& canvas = Canvas();
    canvas.BeginGroup("Titles");
    const char* names[] = {"Title", "Subtitle", "Foot", "Subfoot"};
    TChartTitle* titles[] = {&Title, &SubTitle, &Foot, &SubFoot};
    for (int i = 0; i < 4; ++i) {
        if (titles[i]->CustomPosition() == beforeSeries)
            continue;
        canvas.BeginGroup(names[i]);
        if (titles[i]->Draw(canvas, ChartRect))
            RecalcWidthHeight();
        canvas.EndGroup();
    }
    canvas.EndGroup();
}

void TCustomChart::DrawWalls() {
    // Walls go behind series that work on axes, which both line kinds do; in a
    // two-dimensional view only the back wall is drawn.
    if (!View3DWalls() || !BackWall.Visible())
        return;
    Canvas().BeginGroup("Walls");
    Canvas().BeginGroup("Back");
    DrawBackWall();
    Canvas().EndGroup();
    Canvas().EndGroup();
}

void TCustomChart::DrawBackWall() {
    TPlotCanvas3D& canvas = Canvas();
    canvas.Pen = BackWall.Pen();
    if (BackWall.Transparent()) {
        canvas.Brush.Style = bsClear;
    } else {
        canvas.Brush = {BackWall.Color(), BackWall.BrushStyle()};
        canvas.Gradient.Assign(BackWall.Gradient);
    }
    int top = ChartRect.Top, bottom = ChartRect.Bottom;
    if (BackWall.StartPosition() != 0)
        top = ChartRect.Top + int(std::nearbyint(BackWall.StartPosition() * ChartHeight * 0.01));
    if (BackWall.EndPosition() != 100)
        bottom -= int(std::nearbyint((100 - BackWall.EndPosition()) * (bottom - ChartRect.Top) * 0.01));
    const TRect wall = {ChartRect.Left, top, ChartRect.Right + 1,
                        BackWall.EndPosition() == 100 ? bottom + 1 : bottom};
    if (canvas.Gradient.Visible() && canvas.Brush.Style != bsClear) {
        canvas.FillRect(wall);
        const TBrushStyle brush = canvas.Brush.Style;
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(wall);
        canvas.Brush.Style = brush;
    } else {
        canvas.Rectangle(wall);
    }
}
