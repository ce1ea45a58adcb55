#pragma once
// Keeps a drawing step's pen, brush and text settings to itself: the settings the canvas has
// when the guard is made come back when it goes, however the step ends. The canvas's gradient
// is not among them; the steps that fill set it themselves.

#include "PlotCanvas.h"

class TCanvasStateGuard {
  public:
    explicit TCanvasStateGuard(TPlotCanvas3D& canvas)
        : Canvas(canvas), Pen(canvas.Pen), Brush(canvas.Brush), Font(canvas.Font),
          TextAlign(canvas.TextAlign), TransparentText(canvas.TransparentText),
          BackColor(canvas.BackColor) {}
    ~TCanvasStateGuard() {
        Canvas.Pen = Pen;
        Canvas.Brush = Brush;
        Canvas.Font = Font;
        Canvas.TextAlign = TextAlign;
        Canvas.TransparentText = TransparentText;
        Canvas.BackColor = BackColor;
    }
    TCanvasStateGuard(const TCanvasStateGuard&) = delete;
    TCanvasStateGuard& operator=(const TCanvasStateGuard&) = delete;

  private:
    TPlotCanvas3D& Canvas;
    TPlotPen Pen;
    TPlotBrush Brush;
    TPlotFont Font;
    TAlignment TextAlign;
    bool TransparentText;
    TColor BackColor;
};
