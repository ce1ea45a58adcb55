// The fast line: one polyline through the visible points, skipping a point that lands on the
// pixel the line already stands on.

#include "AxisPanel.h"
#include "LineSeries.h"
#include "PolylineWriter.h"

void TFastLineSeries::SetSeriesColor(TColor color) {
    TChartSeries::SetSeriesColor(color);
    SetLinePenColor(color);
}

void TFastLineSeries::SetLinePen(const TPlotPen& pen) {
    TCustomLineSeries::SetLinePen(pen);
    SetSeriesColor(pen.Color);
}

void TFastLineSeries::HorizMargins(int& left, int& right) {
    const int w = Pen.Width;
    left = right = w - (w - 2) / 2;
}

void TFastLineSeries::VertMargins(int& top, int& bottom) {
    const int w = Pen.Width;
    top = bottom = w - (w - 2) / 2;
}

void TFastLineSeries::LineToPoint(int index, int x, int y) {
    if (!PassMayHaveNulls && !Stairs) {
        Writer->LineTo(x, y);
        PenX = x;
        PenY = y;
        return;
    }
    bool continues = true;
    if (MayHaveNulls() && IsNullPoint(index)) {
        if (TreatNulls() == tnSkip) {
            continues = false;
            x = PenX;
            y = PenY;
        } else {
            continues = TreatNulls() == tnIgnore;
        }
    } else if (TreatNulls() == tnDontPaint && index > 0 && MayHaveNulls() &&
               IsNullPoint(index - 1)) {
        continues = false;
    }
    if (!continues) {
        Writer->MoveTo(x, y);
    } else {
        if (Stairs)
            Writer->LineTo(InvertedStairs ? PenX : x, InvertedStairs ? y : PenY);
        Writer->LineTo(x, y);
    }
    PenX = x;
    PenY = y;
}

void TFastLineSeries::DrawPoint(int index) {
    const int x = PassX->PixelOfValue(XValues.ValueAt(index));
    const int y = PassY->PixelOfValue(YValues.ValueAt(index));
    if (x == PenX) {
        if (DrawAllPoints) {
            if (y != PenY)
                LineToPoint(index, x, y);
        } else if (DrawAllPointsStyle == daMinMax) {
            ColumnMinY = std::min(ColumnMinY, y);
            ColumnMaxY = std::max(ColumnMaxY, y);
        }
        return;
    }
    if (DrawAllPoints || DrawAllPointsStyle == daFirst) {
        LineToPoint(index, x, y);
        return;
    }
    // daMinMax: the finished column's vertical extent, then on to the new column.
    Writer->MoveTo(PenX, ColumnMaxY);
    LineToPoint(index, PenX, ColumnMinY);
    LineToPoint(index, x, y);
    ColumnMinY = ColumnMaxY = y;
}

// Everything a pass reads per point is looked up once; the path starts at point `from`.
void TFastLineSeries::StartPass(TPolylineWriter& writer, int from) {
    Writer = &writer;
    PassX = GetHorizAxis();
    PassY = GetVertAxis();
    PassMayHaveNulls = MayHaveNulls();
    PenX = PixelX(from);
    PenY = PixelY(from);
    writer.MoveTo(PenX, PenY);
}

void TFastLineSeries::DrawPoints(TPlotCanvas3D& canvas) {
    canvas.Pen = Pen;
    canvas.Brush.Style = bsClear;
    canvas.TransparentText = true;
    TPolylineWriter writer(canvas, MergeColumns);
    StartPass(writer, VisibleFrom > 0 ? VisibleFrom - 1 : VisibleFrom);
    if (!DrawAllPoints)
        ColumnMinY = ColumnMaxY = PenY;
    const int first = VisibleFrom > 0 ? VisibleFrom : VisibleFrom + 1;
    if (DrawAllPoints && !PassMayHaveNulls && !Stairs) {
        // Every point that moves the pen is one step of the path: the same as DrawPoint,
        // without its questions per point.
        const double* xs = XValues.Values();
        const double* ys = YValues.Values();
        for (int i = first; i <= VisibleTo; ++i)
            writer.LineTo(PassX->PixelOfValue(xs[i]), PassY->PixelOfValue(ys[i]));
        PenX = writer.X();
        PenY = writer.Y();
    } else {
        for (int i = first; i <= VisibleTo; ++i)
            DrawPoint(i);
    }
    writer.Finish();
    Writer = nullptr;
}

void TFastLineSeries::PointAdded(TChartSeries* sender, int index) {
    if (AutoRepaint || Chart == nullptr) {
        TChartSeries::PointAdded(sender, index);
        return;
    }
    // Drawn at once onto the chart's picture, with no repaint.
    TPlotCanvas3D& canvas = Chart->Canvas();
    canvas.Pen = Pen;
    TPolylineWriter writer(canvas, MergeColumns);
    StartPass(writer, index > 0 ? index - 1 : 0);
    DrawPoint(index);
    writer.Finish();
    Writer = nullptr;
}
