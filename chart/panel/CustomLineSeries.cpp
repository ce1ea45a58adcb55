#include "CustomLineSeries.h"

#include "PlotCanvas.h"

void TCustomLineSeries::SetLinePen(const TPlotPen& pen) {
    if (Pen == pen)
        return;
    Pen = pen;
    RequestRepaint();
}

void TCustomLineSeries::SetLinePenColor(TColor color) {
    if (Pen.Color == color)
        return;
    Pen.Color = color;
    RequestRepaint();
}

void TCustomLineSeries::PrepareCanvas(TPlotCanvas3D& canvas) const {
    canvas.Pen = Pen;
    canvas.Brush.Style = bsClear;
    canvas.TransparentText = true;
}
