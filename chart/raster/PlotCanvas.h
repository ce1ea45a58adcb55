#pragma once
// The chart's drawing surface: an off-screen 32-bit picture that rectangles, lines and
// polylines are drawn into pixel by pixel, with the classic raster rules (right and bottom
// edges exclusive; a line does not paint its end point). Text goes through a QPainter on the
// same picture. Everything drawn is clipped to the current clip rectangle.

#include <string>
#include <vector>

#include <QImage>
#include <QPalette>

#include "chart/raster/GradientBands.h"
#include "chart/raster/PlotGradient.h"
#include "chart/raster/PlotPen.h"
#include "chart/raster/PlotRect.h"

// Text measures in a font, as the canvas would draw the text; they need no canvas.
int TextWidthIn(const TPlotFont& font, const std::string& text);
int TextHeightIn(const TPlotFont& font);

class TPlotCanvas3D {
  public:
    TPlotCanvas3D();

    // The picture: resized (and cleared to black) when the size changes.
    void SetSize(int width, int height);
    QImage& Bitmap() { return Picture; }
    const QImage& Bitmap() const { return Picture; }
    int Width() const { return Picture.width(); }
    int Height() const { return Picture.height(); }

    TPlotPen Pen;
    TPlotBrush Brush;
    TPlotFont Font;
    TAlignment TextAlign = taLeftJustify;
    bool TransparentText = true; // text background
    TColor BackColor = clWhite;  // text background when not transparent
    // The canvas's own gradient: a fill with a solid brush uses it while it is visible.
    TPlotGradient Gradient;
    // Where system colours are looked up.
    QPalette SystemColors;

    // 0xAARRGGBB for a colour, system colours resolved.
    QRgb ToRgb(TColor color) const;
    TColor Resolve(TColor color) const;

    // Fills with the gradient when it is visible and the brush is not clear, else with the
    // brush; nothing with a clear brush.
    void FillRect(const TRect& rect);
    // One solid colour over the rectangle, in the pen's mode.
    void FillSolid(const TRect& rect, TColor color);
    // Each band in its colour, in order.
    void FillBands(const std::vector<TGradientBand>& bands);
    // A filled rectangle outlined with the pen: the outline covers columns left..right-1 and
    // rows top..bottom-1; the brush (or gradient) fills the inside.
    void Rectangle(const TRect& rect);
    void MoveTo(int x, int y) { PenPos = {x, y}; }
    void LineTo(int x, int y);
    void Line(int x0, int y0, int x1, int y1) {
        MoveTo(x0, y0);
        LineTo(x1, y1);
    }
    void Polyline(const std::vector<TPoint>& points);
    TPoint PenPosition() const { return PenPos; }

    // Text with its top-left corner at (x, y) for left alignment; centred on x or ending at x
    // for the other alignments.
    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;

    // Clipping: each clip narrows the current one; UnClipRectangle restores the one before.
    void ClipRectangle(const TRect& rect);
    void UnClipRectangle();
    TRect ClipRect() const { return Clip; }

    // Marks around groups of drawing; the screen canvas only records the names of the last
    // paint.
    void BeginGroup(const char* name) { Groups.push_back(name); }
    void EndGroup() {}
    std::vector<std::string> Groups;

    // Back to the defaults at the end of every chart paint.
    void ResetState();

  private:
    std::vector<TGradientBand> GradientBandsOf(const TRect& rect) const;
    void Plot(int x, int y, QRgb rgb);
    void Span(int y, int x0, int x1, QRgb rgb); // x0..x1-1, clipped
    void ThinLine(int x0, int y0, int x1, int y1, QRgb rgb);

    QImage Picture;
    TRect Clip;
    std::vector<TRect> SavedClips;
    TPoint PenPos;
    int DotPhase = 0;
};
