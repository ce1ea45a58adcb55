#include "CustomSeries.h"

#include "ColumnPath.h"

#include <tuple>

#include "PolylineWriter.h"

// The working state of one pass: the pen's last point and colour, and the colours the pass
// draws with. The pen rule may give the pass a series colour of its own; the series' setting
// stays as written.
struct TCustomSeries::TPass {
    const TSeriesDrawContext& Context;
    TPolylineWriter& Writer;
    TColor SeriesColor;
    TColor PenColor;
    int LastX = 0, LastY = 0;
    TColor LastColor = clDefault;
};

TPlotPen TCustomSeries::LinePen() const {
    TPlotPen pen = Pen;
    if (pen.Color == clBlack)
        pen.Color = SeriesColor();
    return pen;
}

void TCustomSeries::SetLinePen(const TPlotPen& pen) {
    TCustomLineSeries::SetLinePen(pen);
    if (pen.Color != clBlack)
        SetSeriesColor(pen.Color);
}

void TCustomSeries::SetLinePenColor(TColor color) {
    TCustomLineSeries::SetLinePenColor(color);
    if (color != clBlack)
        SetSeriesColor(color);
}

// The lowest or highest level among the points that are not skipped as null; 0 when none is
// left. Both ends come from one pass over the points.
double TCustomSeries::ScanLevels(bool maximum) const {
    TLevelScan& cache = LevelCache;
    if (cache.Revision != YValues.Revision() || cache.Color != SeriesColor() ||
        cache.Nulls != TreatNulls()) {
        const bool skipNulls = TreatNulls() != tnIgnore && (PointColors || SeriesColor() == clNone);
        bool found = false;
        double low = 0, high = 0;
        const TChartValueList::TView levels = YValues.View();
        if (!skipNulls && PointCount() > 0 && !YValues.HasNaN()) {
            // Every level counts: the summary gives the pass's answer without the pass.
            std::tie(low, high) = YValues.RangeMinMax(0, PointCount() - 1);
            cache = {YValues.Revision(), SeriesColor(), TreatNulls(), low, high};
            return maximum ? cache.Maximum : cache.Minimum;
        }
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
        cache = {YValues.Revision(), SeriesColor(), TreatNulls(), low, high};
    }
    return maximum ? cache.Maximum : cache.Minimum;
}

bool TCustomSeries::MarkerInPlot(const TSeriesDrawContext& context, int index) const {
    const int x = context.X.PixelOfValue(XValues.ValueAt(index));
    const int y = context.Y.PixelOfValue(YValues.ValueAt(index));
    const TRect box{x - PointerHorizSize(), y - PointerVertSize(), x + PointerHorizSize(),
                    y + PointerVertSize()};
    return !box.Intersected(context.ChartRect).IsEmpty();
}

void TCustomSeries::FindVisibleRange(TSeriesDrawContext& context) const {
    TChartSeries::FindVisibleRange(context);
    int& from = context.From;
    int& to = context.To;
    const int last = PointCount() - 1;
    const TChartValueList::TView x = XValues.View();
    while (to < last && MarkerInPlot(context, to + 1))
        ++to;
    while (to > -1 && to < last && x[to + 1] == x[to])
        ++to;
    while (from > 0 && MarkerInPlot(context, from - 1))
        --from;
    while (from > 0 && x[from - 1] == x[from])
        --from;
}

int TCustomSeries::EdgeLevelIn(const TAxisMapping& mapX, const TAxisMapping& mapY, int index,
                               int edgePixel) const {
    const int a = index - 1, b = index;
    const double xa = XValues.ValueAt(a), xb = XValues.ValueAt(b);
    if (xa == xb)
        return mapY.PixelOfValue(YValues.ValueAt(a));
    const double xe = mapX.ValueAtPixel(edgePixel);
    const double ya = YValues.ValueAt(a), yb = YValues.ValueAt(b);
    return mapY.PixelOfValue(ya + (xe - xa) * (yb - ya) / (xb - xa));
}

int TCustomSeries::EdgeLevel(int index, int edgePixel) const {
    return EdgeLevelIn(LastHorizMapping(), LastVertMapping(), index, edgePixel);
}

TColor TCustomSeries::PointColorIn(const TPass& pass, int index) const {
    if (PointColors && static_cast<std::size_t>(index) < PointColors->size() &&
        (*PointColors)[index] != clDefault)
        return (*PointColors)[index];
    return pass.SeriesColor;
}

void TCustomSeries::DrawSegment(TPass& pass, int x, int y, TColor color) const {
    if ((x == pass.LastX && y == pass.LastY) || (color == clNone && TreatNulls() != tnIgnore))
        return;
    // A black pen follows the series; any other pen colour wins over it, for this segment and,
    // as the pass's series colour, for the rest of the pass.
    if (pass.PenColor == clBlack) {
        pass.PenColor = pass.SeriesColor;
    } else if (pass.PenColor != pass.SeriesColor) {
        color = pass.PenColor;
        pass.SeriesColor = pass.PenColor;
    }
    TPlotPen pen = Pen;
    pen.Color = ColorEachLine() ? color : pass.SeriesColor;
    TPlotCanvas3D& canvas = pass.Context.Canvas;
    if (!(canvas.Pen == pen)) {
        canvas.Pen = pen;
        pass.Writer.PenChanged();
    }
    canvas.Brush.Style = bsClear;
    pass.Writer.MoveTo(pass.LastX, pass.LastY);
    if (Stairs())
        pass.Writer.LineTo(InvertedStairs() ? pass.LastX : x, InvertedStairs() ? y : pass.LastY);
    pass.Writer.LineTo(x, y);
}

void TCustomSeries::DrawEdgeSegment(TPass& pass, int index, int x, int y) const {
    const TSeriesDrawContext& context = pass.Context;
    pass.LastX = context.X.Inverted ? context.ChartRect.Right : context.ChartRect.Left;
    pass.LastY = Stairs() ? context.Y.PixelOfValue(YValues.ValueAt(index - 1))
                          : EdgeLevelIn(context.X, context.Y, index, pass.LastX);
    if (PointColorIn(pass, index - 1) != clNone)
        DrawSegment(pass, x, y, PointColorIn(pass, index));
}

void TCustomSeries::DrawPoint(TPass& pass, int index) const {
    const TSeriesDrawContext& context = pass.Context;
    const TColor c = PointColorIn(pass, index);
    const int x = context.X.PixelOfValue(XValues.ValueAt(index));
    const int y = context.Y.PixelOfValue(YValues.ValueAt(index));
    if (pass.LastColor == clNone && TreatNulls() == tnDontPaint) {
        pass.LastX = x;
        pass.LastY = y;
    }
    const bool reversed = context.X.Inverted;
    if (index == context.From && !reversed) {
        if (index > 0)
            DrawEdgeSegment(pass, index, x, y);
    } else if (index == context.From) {
        DrawSegment(pass, x, y, c);
        if (index > 0)
            DrawEdgeSegment(pass, index, x, y);
    } else {
        DrawSegment(pass, x, y, c);
    }
    pass.LastX = x;
    pass.LastY = y;
    pass.LastColor = c;
}

// The points after the first of a pass when no point has a colour of its own and none is null:
// every segment then has the series colour, so each one is a plain step of the path, once
// the first drawn segment has settled the pen's colour.
void TCustomSeries::DrawRestPlainly(TPass& pass, int from) const {
    const TAxisMapping& mapX = pass.Context.X;
    const TAxisMapping& mapY = pass.Context.Y;
    const TChartValueList::TView xs = XValues.View();
    const TChartValueList::TView ys = YValues.View();
    const int to = pass.Context.To;
    int i = from;
    bool settled = false;
    for (; i <= to && !settled; ++i) {
        const int x = mapX.PixelOfValue(xs[i]), y = mapY.PixelOfValue(ys[i]);
        if (x == pass.LastX && y == pass.LastY)
            continue;
        DrawSegment(pass, x, y, pass.SeriesColor);
        pass.LastX = x;
        pass.LastY = y;
        settled = true;
    }
    // The pen is settled: each further point is one step of the path (a point on the pixel
    // the path stands on draws nothing, as its segment would not).
    DrawPathThroughPoints(pass.Writer, XValues, YValues, i, to, mapX, mapY, DrawByColumns());
    if (settled) {
        pass.LastX = pass.Writer.X();
        pass.LastY = pass.Writer.Y();
    }
    pass.LastColor = pass.SeriesColor;
}

void TCustomSeries::DrawPoints(const TSeriesDrawContext& context) {
    TPlotCanvas3D& canvas = context.Canvas;
    PrepareCanvas(canvas);
    TPolylineWriter writer(canvas, MergeColumns());
    TPass pass{context, writer, SeriesColor(), Pen.Color};
    const int from = context.From, to = context.To;
    if (context.X.Inverted) {
        for (int i = to; i >= from; --i)
            DrawPoint(pass, i);
    } else if (!PointColors && pass.SeriesColor != clNone && !Stairs() && from < to) {
        DrawPoint(pass, from);
        DrawRestPlainly(pass, from + 1);
    } else {
        for (int i = from; i <= to; ++i)
            DrawPoint(pass, i);
    }
    writer.Finish();
}
