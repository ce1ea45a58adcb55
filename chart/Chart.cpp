#include "Chart.h"

TCustomChart::TCustomChart(QWidget* parent) : TCustomAxisPanel(parent) {}

void TCustomChart::DrawOverlay() {
    if (Zoom.Dragging)
        PaintZoomBand();
}

void TCustomChart::DrawZoomBand() {
    PaintZoomBand();
    update(); // a clean picture reaches the screen by a copy
}

void TCustomChart::PaintZoomBand() {
    TPlotCanvas3D& canvas = Canvas();
    const TColor background = canvas.Resolve(GetBackColor());
    const TColor complement = 0xFFFFFF - background;
    if (Zoom.Brush) {
        canvas.Brush = *Zoom.Brush;
        canvas.Brush.Color ^= complement;
    } else {
        canvas.Brush.Style = bsClear;
    }
    // The band is always not-xor, whatever mode the zoom pen has.
    canvas.Pen = Zoom.PenOrDefault();
    canvas.Pen.Mode = pmNotXor;
    canvas.Pen.Color = (canvas.Pen.Color & 0xFFFFFF) ^ complement;
    if (!Zoom.Brush || Zoom.Brush->Style == bsClear)
        canvas.TransparentText = true;
    const TRect band{std::min(Zoom.X0, Zoom.X1), std::min(Zoom.Y0, Zoom.Y1),
                     std::max(Zoom.X0, Zoom.X1), std::max(Zoom.Y0, Zoom.Y1)};
    canvas.Rectangle(band);
    canvas.Pen.Mode = pmCopy;
}
