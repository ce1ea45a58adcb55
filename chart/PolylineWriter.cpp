#include "PolylineWriter.h"

TPolylineWriter::TPolylineWriter(TPlotCanvas3D& canvas, bool mergeColumns)
    : Canvas(canvas), Merge(mergeColumns) {}

void TPolylineWriter::Flush() {
    if (!SpanActive)
        return;
    SpanActive = false;
    Canvas.FillSolid({SpanX, SpanTop, SpanX + 1, SpanBottom + 1}, SpanColor);
}

void TPolylineWriter::Finish() { Flush(); }

void TPolylineWriter::MoveTo(int x, int y) {
    PenX = x;
    PenY = y;
    if (!Merge)
        Canvas.MoveTo(x, y);
}

void TPolylineWriter::LineTo(int x, int y) {
    const TPlotPen& pen = Canvas.Pen;
    const bool plain = Merge && pen.Draws() && pen.Style == psSolid && pen.Width <= 1 &&
                       pen.Mode == pmCopy;
    if (!plain) {
        Flush();
        Canvas.MoveTo(PenX, PenY);
        Canvas.LineTo(x, y);
    } else if (x == PenX) {
        if (y != PenY) {
            // The rows this step paints: from PenY toward y, y itself left out.
            const int top = y > PenY ? PenY : y + 1;
            const int bottom = y > PenY ? y - 1 : PenY;
            if (SpanActive && SpanX == x && SpanColor == pen.Color && top <= SpanBottom + 1 &&
                bottom >= SpanTop - 1) {
                SpanTop = std::min(SpanTop, top);
                SpanBottom = std::max(SpanBottom, bottom);
            } else {
                Flush();
                SpanActive = true;
                SpanX = x;
                SpanTop = top;
                SpanBottom = bottom;
                SpanColor = pen.Color;
            }
        }
    } else {
        Flush();
        Canvas.MoveTo(PenX, PenY);
        Canvas.LineTo(x, y);
    }
    PenX = x;
    PenY = y;
}
