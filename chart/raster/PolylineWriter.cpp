#include "chart/raster/PolylineWriter.h"

TPolylineWriter::TPolylineWriter(TPlotCanvas3D& canvas, bool mergeColumns)
    : Canvas(canvas), Merge(mergeColumns) {
    PenChanged();
}

void TPolylineWriter::PenChanged() {
    const TPlotPen& pen = Canvas.Pen;
    Plain = Merge && pen.Draws() && pen.Style == psSolid && pen.Width <= 1 && pen.Mode == pmCopy;
    if (RunActive && (!Plain || RunColor != pen.Color))
        Flush();
}

// The steps of a run cover every row between the lowest and the highest row they started
// from; the last end (the pen's row) adds the rows up to it when it lies beyond them, itself
// left out, as a line's end point is.
void TPolylineWriter::Flush() {
    if (!RunActive)
        return;
    RunActive = false;
    int top = RunLow, bottom = RunHigh;
    if (PenY > RunHigh)
        bottom = PenY - 1;
    else if (PenY < RunLow)
        top = PenY + 1;
    Canvas.FillSolid({RunX, top, RunX + 1, bottom + 1}, RunColor);
}

void TPolylineWriter::DrawStep(int x, int y) {
    Flush();
    Canvas.MoveTo(PenX, PenY);
    Canvas.LineTo(x, y);
    PenX = x;
    PenY = y;
}
