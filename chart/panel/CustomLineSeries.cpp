#include "CustomLineSeries.h"

#include "PlotCanvas.h"

void TCustomLineSeries::SetLinePen(const TPlotPen& pen) {
    if (ChangeValue(Pen, pen))
        RequestRepaint();
}

void TCustomLineSeries::SetLinePenColor(TColor color) {
    if (ChangeValue(Pen.Color, color))
        RequestRepaint();
}

void TCustomLineSeries::PrepareCanvas(TPlotCanvas3D& canvas) const {
    canvas.Pen = Pen;
    canvas.Brush.Style = bsClear;
    canvas.TransparentText = true;
}
