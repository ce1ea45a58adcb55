#pragma once
// A path through millions of points at the cost of the pixel columns it crosses. Drawn point
// by point, each column's steps merge into one vertical span (a plain pen), and that span
// depends only on the column's first point, its last point and the lowest and highest row in
// between. The value-to-pixel mapping is monotone, so the value lists' min/max summaries give
// those rows; the steps between columns are drawn from the real neighbouring points. The
// pixels are exactly those of drawing every point.

#include "chart/model/AxisMapping.h"
#include "chart/model/ChartValueList.h"
#include "chart/raster/PolylineWriter.h"

// Whether DrawPathByColumns draws exactly what the points would: the writer merges columns
// (a plain pen), X ascends, and every value is finite.
bool CanDrawByColumns(const TPolylineWriter& writer, const TChartValueList& xs,
                      const TChartValueList& ys);

// Whether points from..to are dense enough (several to a column) for it to pay.
bool WorthDrawingByColumns(const TChartValueList& xs, int from, int to, const TAxisMapping& mapX);

// Draws writer.LineTo(x, y) of points from..to, in order: by columns where that is exact and
// pays (and `byColumns` allows it), else point by point.
void DrawPathThroughPoints(TPolylineWriter& writer, const TChartValueList& xs,
                           const TChartValueList& ys, int from, int to, const TAxisMapping& mapX,
                           const TAxisMapping& mapY, bool byColumns);

// Draws what writer.LineTo(x, y) of points from..to, in order, would draw.
void DrawPathByColumns(TPolylineWriter& writer, const TChartValueList& xs,
                       const TChartValueList& ys, int from, int to, const TAxisMapping& mapX,
                       const TAxisMapping& mapY);
