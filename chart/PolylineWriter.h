#pragma once
// Draws a connected path of line-to steps on the canvas. With a plain pen (solid, one pixel,
// copy mode) the steps that stay inside one pixel column are merged into one vertical span,
// which paints exactly the pixels the single steps would: millions of points then cost one
// span per column instead of one line per point. Any other pen draws every step as it comes.

#include "PlotCanvas.h"

class TPolylineWriter {
public:
    TPolylineWriter(TPlotCanvas3D& canvas, bool mergeColumns);
    ~TPolylineWriter() { Finish(); }
    TPolylineWriter(const TPolylineWriter&) = delete;
    TPolylineWriter& operator=(const TPolylineWriter&) = delete;

    void MoveTo(int x, int y);
    // A line from the current position to (x, y), the end point left out, in the canvas's
    // current pen.
    void LineTo(int x, int y);
    // Paints whatever is still held back.
    void Finish();

    int X() const { return PenX; }
    int Y() const { return PenY; }

private:
    void Flush();

    TPlotCanvas3D& Canvas;
    bool Merge;
    int PenX = 0, PenY = 0;
    bool SpanActive = false;
    int SpanX = 0, SpanTop = 0, SpanBottom = 0; // rows SpanTop..SpanBottom, inclusive
    TColor SpanColor = 0;
};
