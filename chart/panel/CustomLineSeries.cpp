#include "CustomLineSeries.h"

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
