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

// The lowest or highest level among the points that are not skipped as null; 0 when none is
// left. Both ends come from one pass over the points.
double TCustomSeries::ScanLevels(bool maximum) {
    TLevelScan& cache = LevelCache;
    if (cache.Revision != YValues.Revision || cache.Color != SeriesColor() ||
        cache.Nulls != TreatNulls()) {
        const bool skipNulls = TreatNulls() != tnIgnore && (PointColors || SeriesColor() == clNone);
        bool found = false;
        double low = 0, high = 0;
        const double* levels = YValues.Values();
        for (int i = 0; i < PointCount(); ++i) {
            if (skipNulls && IsNullPoint(i))
                continue;
            const double level = levels[i];
            if (!found) {
                low = high = level;
                found = true;
            } else {
                low = level < low ? level : low;
                high = level > high ? level : high;
            }
        }
        cache = {YValues.Revision, SeriesColor(), TreatNulls(), low, high};
    }
    return maximum ? cache.Maximum : cache.Minimum;
}
