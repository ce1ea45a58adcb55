#include "chart/panel/ColumnPath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// The rows of a column follow from its extremes only while the mapping is monotone over the
// values: finite ones are (an infinity against an axis of no length may map to NaN).
bool CanDrawByColumns(const TPolylineWriter& writer, const TChartValueList& xs,
                      const TChartValueList& ys) {
    if (!writer.MergesColumns() || xs.Order() != loAscending || xs.HasNaN() || ys.HasNaN() ||
        xs.Count() == 0)
        return false;
    const auto [yLow, yHigh] = ys.RangeMinMax(0, ys.Count() - 1);
    return std::isfinite(xs.FirstEntry()) && std::isfinite(xs.LastEntry()) && std::isfinite(yLow) &&
           std::isfinite(yHigh);
}

bool WorthDrawingByColumns(const TChartValueList& xs, int from, int to, const TAxisMapping& mapX) {
    if (to - from < 64)
        return false;
    const int columns =
        std::abs(mapX.PixelOfValue(xs.ValueAt(to)) - mapX.PixelOfValue(xs.ValueAt(from))) + 1;
    return to - from + 1 > 4 * columns;
}

void DrawPathByColumns(TPolylineWriter& writer, const TChartValueList& xs,
                       const TChartValueList& ys, int from, int to, const TAxisMapping& mapX,
                       const TAxisMapping& mapY) {
    const TChartValueList::TView xv = xs.View();
    const TChartValueList::TView yv = ys.View();
    const auto columnOf = [&](int i) { return mapX.PixelOfValue(xv[i]); };
    for (int i = from; i <= to;) {
        const int column = columnOf(i);
        // The column's last point: X ascends and the mapping is monotone, so the points of one
        // column are consecutive. Gallop, then halve.
        int last = i, step = 1;
        while (last + step <= to && columnOf(last + step) == column) {
            last += step;
            step *= 2;
        }
        int beyond = std::min(last + step, to + 1);
        while (beyond - last > 1) {
            const int middle = last + (beyond - last) / 2;
            if (columnOf(middle) == column)
                last = middle;
            else
                beyond = middle;
        }
        writer.LineTo(column, mapY.PixelOfValue(yv[i]));
        if (last > i) {
            if (last - 1 > i) {
                const auto [low, high] = ys.RangeMinMax(i, last - 1);
                writer.LineTo(column, mapY.PixelOfValue(low));
                writer.LineTo(column, mapY.PixelOfValue(high));
            }
            writer.LineTo(column, mapY.PixelOfValue(yv[last]));
        }
        i = last + 1;
    }
}

void DrawPathThroughPoints(TPolylineWriter& writer, const TChartValueList& xs,
                           const TChartValueList& ys, int from, int to, const TAxisMapping& mapX,
                           const TAxisMapping& mapY, bool byColumns) {
    if (from > to)
        return;
    if (byColumns && CanDrawByColumns(writer, xs, ys) &&
        WorthDrawingByColumns(xs, from, to, mapX)) {
        DrawPathByColumns(writer, xs, ys, from, to, mapX, mapY);
        return;
    }
    const TChartValueList::TView xv = xs.View();
    const TChartValueList::TView yv = ys.View();
    for (int i = from; i <= to; ++i)
        writer.LineTo(mapX.PixelOfValue(xv[i]), mapY.PixelOfValue(yv[i]));
}
