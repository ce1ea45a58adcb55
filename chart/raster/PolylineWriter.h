#pragma once
// Draws a connected path of line-to steps on the canvas. With a plain pen (solid, one pixel,
// copy mode) the steps that stay inside one pixel column are merged into one vertical span,
// which paints exactly the pixels the single steps would: millions of points then cost one
// span per column instead of one line per point. Any other pen draws every step as it comes.

#include <algorithm>

#include "chart/raster/PlotCanvas.h"

class TPolylineWriter {
  public:
    TPolylineWriter(TPlotCanvas3D& canvas, bool mergeColumns);
    ~TPolylineWriter() { Finish(); }
    TPolylineWriter(const TPolylineWriter&) = delete;
    TPolylineWriter& operator=(const TPolylineWriter&) = delete;

    void MoveTo(int x, int y) {
        if (x != PenX || y != PenY)
            Flush();
        PenX = x;
        PenY = y;
    }

    // A line from the current position to (x, y), the end point left out, in the canvas's
    // current pen.
    void LineTo(int x, int y) {
        if (!Plain || x != PenX) {
            DrawStep(x, y);
            return;
        }
        if (y == PenY)
            return;
        // A step inside the column: it paints from PenY toward y. The run keeps the lowest and
        // highest row any of its steps started from; the last end decides the rest at Flush.
        if (RunActive && RunX == x) {
            RunLow = std::min(RunLow, PenY);
            RunHigh = std::max(RunHigh, PenY);
        } else {
            Flush();
            RunActive = true;
            RunX = x;
            RunLow = RunHigh = PenY;
            RunColor = Canvas.Pen.Color;
        }
        PenY = y;
    }

    // To be called after the canvas's pen was changed.
    void PenChanged();
    // Paints whatever is still held back.
    void Finish() { Flush(); }

    // Whether steps inside one pixel column are merged (the pen is plain).
    bool MergesColumns() const { return Plain; }

    int X() const { return PenX; }
    int Y() const { return PenY; }

  private:
    void Flush();
    void DrawStep(int x, int y);

    TPlotCanvas3D& Canvas;
    bool Merge;
    bool Plain = false; // merging allowed with the current pen
    int PenX = 0, PenY = 0;
    bool RunActive = false;
    int RunX = 0, RunLow = 0, RunHigh = 0;
    TColor RunColor = 0;
};
