#include "FastLineSeries.h"

#include "ColumnPath.h"

#include <algorithm>

#include "PolylineWriter.h"

// The working state of one pass over the points: where the pen stands, and the extent of the
// pixel column being gathered for the min/max style.
struct TFastLineSeries::TPass {
    const TSeriesDrawContext& Context;
    TPolylineWriter& Writer;
    bool MayHaveNulls;
    int PenX = 0, PenY = 0;
    int ColumnMinY = 0, ColumnMaxY = 0;
};

void TFastLineSeries::SetSeriesColor(TColor color) {
    TChartSeries::SetSeriesColor(color);
    SetLinePenColor(color);
}

void TFastLineSeries::SetLinePen(const TPlotPen& pen) {
    TCustomLineSeries::SetLinePen(pen);
    SetSeriesColor(pen.Color);
}

void TFastLineSeries::HorizMargins(int& left, int& right) const {
    const int w = Pen.Width;
    left = right = w - (w - 2) / 2;
}

void TFastLineSeries::VertMargins(int& top, int& bottom) const {
    const int w = Pen.Width;
    top = bottom = w - (w - 2) / 2;
}

void TFastLineSeries::LineToPoint(TPass& pass, int index, int x, int y) const {
    TPolylineWriter& writer = pass.Writer;
    if (!pass.MayHaveNulls && !Stairs()) {
        writer.LineTo(x, y);
        pass.PenX = x;
        pass.PenY = y;
        return;
    }
    bool continues = true;
    if (MayHaveNulls() && IsNullPoint(index)) {
        if (TreatNulls() == tnSkip) {
            continues = false;
            x = pass.PenX;
            y = pass.PenY;
        } else {
            continues = TreatNulls() == tnIgnore;
        }
    } else if (TreatNulls() == tnDontPaint && index > 0 && MayHaveNulls() &&
               IsNullPoint(index - 1)) {
        continues = false;
    }
    if (!continues) {
        writer.MoveTo(x, y);
    } else {
        if (Stairs())
            writer.LineTo(InvertedStairs() ? pass.PenX : x, InvertedStairs() ? y : pass.PenY);
        writer.LineTo(x, y);
    }
    pass.PenX = x;
    pass.PenY = y;
}

void TFastLineSeries::DrawPoint(TPass& pass, int index) const {
    const int x = pass.Context.X.PixelOfValue(XValues.ValueAt(index));
    const int y = pass.Context.Y.PixelOfValue(YValues.ValueAt(index));
    if (x == pass.PenX) {
        if (DrawAllPoints()) {
            if (y != pass.PenY)
                LineToPoint(pass, index, x, y);
        } else if (DrawAllPointsStyle() == daMinMax) {
            pass.ColumnMinY = std::min(pass.ColumnMinY, y);
            pass.ColumnMaxY = std::max(pass.ColumnMaxY, y);
        }
        return;
    }
    if (DrawAllPoints() || DrawAllPointsStyle() == daFirst) {
        LineToPoint(pass, index, x, y);
        return;
    }
    // daMinMax: the finished column's vertical extent, then on to the new column.
    pass.Writer.MoveTo(pass.PenX, pass.ColumnMaxY);
    LineToPoint(pass, index, pass.PenX, pass.ColumnMinY);
    LineToPoint(pass, index, x, y);
    pass.ColumnMinY = pass.ColumnMaxY = y;
}

// Everything a pass reads per point is looked up once; the path starts at point `from`.
TFastLineSeries::TPass TFastLineSeries::StartPass(const TSeriesDrawContext& context,
                                                  TPolylineWriter& writer, int from) const {
    TPass pass{context, writer, MayHaveNulls()};
    pass.PenX = context.X.PixelOfValue(XValues.ValueAt(from));
    pass.PenY = context.Y.PixelOfValue(YValues.ValueAt(from));
    pass.ColumnMinY = pass.ColumnMaxY = pass.PenY;
    writer.MoveTo(pass.PenX, pass.PenY);
    return pass;
}

void TFastLineSeries::DrawPoints(const TSeriesDrawContext& context) {
    TPlotCanvas3D& canvas = context.Canvas;
    PrepareCanvas(canvas);
    TPolylineWriter writer(canvas, MergeColumns());
    const int from = context.From, to = context.To;
    TPass pass = StartPass(context, writer, from > 0 ? from - 1 : from);
    const int first = from > 0 ? from : from + 1;
    if (DrawAllPoints() && !pass.MayHaveNulls && !Stairs()) {
        // Every point that moves the pen is one step of the path: the same as DrawPoint,
        // without its questions per point.
        DrawPathThroughPoints(writer, XValues, YValues, first, to, context.X, context.Y,
                              DrawByColumns());
    } else {
        for (int i = first; i <= to; ++i)
            DrawPoint(pass, i);
    }
    writer.Finish();
}

void TFastLineSeries::DrawAddedPoint(const TSeriesDrawContext& context, int index) {
    context.Canvas.Pen = Pen;
    TPolylineWriter writer(context.Canvas, MergeColumns());
    TPass pass = StartPass(context, writer, index > 0 ? index - 1 : 0);
    DrawPoint(pass, index);
    writer.Finish();
}

void TFastLineSeries::PointAdded(TChartSeries* sender, int index) {
    if (AutoRepaint || !OnPaintAddedPoint) {
        TChartSeries::PointAdded(sender, index);
        return;
    }
    // Drawn at once onto the chart's picture, with no repaint.
    OnPaintAddedPoint(*this, index);
}
