#include "LineSeries.h"

#include "AxisPanel.h"
#include "PolylineWriter.h"

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

double TCustomSeries::ScanLevels(bool maximum) {
    const bool skipNulls = TreatNulls() != tnIgnore;
    bool found = false;
    double result = 0;
    for (int i = 0; i < PointCount(); ++i) {
        if (skipNulls && IsNullPoint(i))
            continue;
        const double level = YValues.ValueAt(i);
        if (!found)
            result = level;
        else if (maximum ? level > result : level < result)
            result = level;
        found = true;
    }
    return result;
}
