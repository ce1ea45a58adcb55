// The line series: one segment per point, brought in from the plot's left edge when the
// view starts after the first point.

#include "AxisPanel.h"
#include "LineSeries.h"
#include "PolylineWriter.h"

bool TCustomSeries::MarkerInPlot(int index) const {
    const int x = PixelX(index), y = PixelY(index);
    const TRect box{x - PointerHorizSize, y - PointerVertSize, x + PointerHorizSize,
                    y + PointerVertSize};
    return !box.Intersected(Chart->ChartRect).IsEmpty();
}

void TCustomSeries::ComputeVisibleRange() {
    TChartSeries::ComputeVisibleRange();
    if (Chart == nullptr)
        return;
    const int last = PointCount() - 1;
    const double* x = XValues.Values();
    while (VisibleTo < last && MarkerInPlot(VisibleTo + 1))
        ++VisibleTo;
    while (VisibleTo > -1 && VisibleTo < last && x[VisibleTo + 1] == x[VisibleTo])
        ++VisibleTo;
    while (VisibleFrom > 0 && MarkerInPlot(VisibleFrom - 1))
        --VisibleFrom;
    while (VisibleFrom > 0 && x[VisibleFrom - 1] == x[VisibleFrom])
        --VisibleFrom;
}

int TCustomSeries::EdgeLevel(int index) const {
    const int a = index - 1, b = index;
    const double xa = XValues.ValueAt(a), xb = XValues.ValueAt(b);
    if (xa == xb)
        return PixelY(a);
    const double xe = GetHorizAxis()->ValueAtPixel(LastX);
    const double ya = YValues.ValueAt(a), yb = YValues.ValueAt(b);
    return GetVertAxis()->PixelOfValue(ya + (xe - xa) * (yb - ya) / (xb - xa));
}

void TCustomSeries::DrawSegment(int x, int y, TColor color) {
    if ((x == LastX && y == LastY) || (color == clNone && TreatNulls() != tnIgnore))
        return;
    // A black pen follows the series; any other pen colour wins over it.
    if (Pen.Color == clBlack) {
        Pen.Color = SeriesColor();
    } else if (Pen.Color != SeriesColor()) {
        color = Pen.Color;
        SetSeriesColor(Pen.Color);
    }
    TPlotPen pen = Pen;
    pen.Color = ColorEachLine ? color : SeriesColor();
    if (!(PassCanvas->Pen == pen)) {
        PassCanvas->Pen = pen;
        Writer->PenChanged();
    }
    PassCanvas->Brush.Style = bsClear;
    Writer->MoveTo(LastX, LastY);
    if (Stairs)
        Writer->LineTo(InvertedStairs ? LastX : x, InvertedStairs ? y : LastY);
    Writer->LineTo(x, y);
}

void TCustomSeries::DrawEdgeSegment(int index, int x, int y) {
    const bool inverted = GetHorizAxis()->Inverted();
    LastX = inverted ? Chart->ChartRect.Right : Chart->ChartRect.Left;
    LastY = Stairs ? PixelY(index - 1) : EdgeLevel(index);
    if (!IsNullPoint(index - 1))
        DrawSegment(x, y, PointColor(index));
}

void TCustomSeries::DrawPoint(int index) {
    const TColor c = PointColor(index);
    const int x = PixelX(index), y = PixelY(index);
    if (LastColor == clNone && TreatNulls() == tnDontPaint) {
        LastX = x;
        LastY = y;
    }
    const bool reversed = GetHorizAxis()->Inverted();
    if (index == VisibleFrom && !reversed) {
        if (index > 0)
            DrawEdgeSegment(index, x, y);
    } else if (index == VisibleFrom) {
        DrawSegment(x, y, c);
        if (index > 0)
            DrawEdgeSegment(index, x, y);
    } else {
        DrawSegment(x, y, c);
    }
    LastX = x;
    LastY = y;
    LastColor = c;
}

// The points after the first of a pass when no point has a colour of its own and none is null:
// every segment then has the series colour, so each one is a plain step of the path, once
// the first drawn segment has settled the pen's colour.
void TCustomSeries::DrawRestPlainly(int from) {
    const TChartAxis* axisX = GetHorizAxis();
    const TChartAxis* axisY = GetVertAxis();
    const double* xs = XValues.Values();
    const double* ys = YValues.Values();
    int i = from;
    bool settled = false;
    for (; i <= VisibleTo && !settled; ++i) {
        const int x = axisX->PixelOfValue(xs[i]), y = axisY->PixelOfValue(ys[i]);
        if (x == LastX && y == LastY)
            continue;
        DrawSegment(x, y, SeriesColor());
        LastX = x;
        LastY = y;
        settled = true;
    }
    // The pen is settled: each further point is one step of the path (a point on the pixel
    // the path stands on draws nothing, as its segment would not).
    for (; i <= VisibleTo; ++i)
        Writer->LineTo(axisX->PixelOfValue(xs[i]), axisY->PixelOfValue(ys[i]));
    if (settled) {
        LastX = Writer->X();
        LastY = Writer->Y();
    }
    LastColor = SeriesColor();
}

void TCustomSeries::DrawPoints(TPlotCanvas3D& canvas) {
    canvas.Pen = Pen;
    canvas.Brush.Style = bsClear;
    canvas.TransparentText = true;
    TPolylineWriter writer(canvas, MergeColumns);
    Writer = &writer;
    PassCanvas = &canvas;
    LastColor = clDefault;
    if (GetHorizAxis()->Inverted()) {
        for (int i = VisibleTo; i >= VisibleFrom; --i)
            DrawPoint(i);
    } else if (!PointColors && SeriesColor() != clNone && !Stairs && VisibleFrom < VisibleTo) {
        DrawPoint(VisibleFrom);
        DrawRestPlainly(VisibleFrom + 1);
    } else {
        for (int i = VisibleFrom; i <= VisibleTo; ++i)
            DrawPoint(i);
    }
    writer.Finish();
    Writer = nullptr;
    PassCanvas = nullptr;
}
