#include "PlotPanel.h"

#include <cmath>
#include <cstdio>

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "CanvasStateGuard.h"

TCustomPanelNoCaption::TCustomPanelNoCaption(QWidget* parent) : QWidget(parent) {}

TCustomPlotPanel::TCustomPlotPanel(QWidget* parent) : TCustomPanelNoCaption(parent) {
    // The panel paints every pixel itself: no background erase, so no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(400, 250);
    CanRepaint = true;
}

void TCustomPlotPanel::Invalidate() {
    if (!CanRepaint || (IsBufferDirty && UpdateAsked))
        return;
    IsBufferDirty = true;
    UpdateAsked = true;
    update();
}

TRect TCustomPlotPanel::CalcChartRect() const {
    const int w = Bounds.Width(), h = Bounds.Height();
    int border = BorderWidth();
    if (BevelInner() != bvNone)
        border += BevelWidth();
    if (BevelOuter() != bvNone)
        border += BevelWidth();
    if (Border().Draws())
        border += Border().Width;
    int left = MarginLeft(), top = MarginTop(), right = MarginRight(), bottom = MarginBottom();
    if (MarginUnits() == muPercent) {
        left = left * w / 100;
        right = right * w / 100;
        top = top * h / 100;
        bottom = bottom * h / 100;
    }
    return {Bounds.Left + border + left, Bounds.Top + border + top, Bounds.Right - border - right,
            Bounds.Bottom - border - bottom};
}

TRect TCustomPlotPanel::RepairChartRect(TRect r, const TRect& bounds, int width, int height) {
    if (r.Left < bounds.Left)
        r.Left = bounds.Left;
    if (r.Top < bounds.Top)
        r.Top = bounds.Top;
    if (r.Right < r.Left)
        r.Right = r.Left + 1;
    else if (r.Right == r.Left)
        r.Right = r.Left + width;
    if (r.Bottom < r.Top)
        r.Bottom = r.Top + 1;
    else if (r.Bottom == r.Top)
        r.Bottom = r.Top + height;
    return r;
}

const QImage& TCustomPlotPanel::Draw() {
    const TRect rect = GetRectangle();
    PlotCanvas.SetSize(rect.Width(), rect.Height());
    PlotCanvas.Groups.clear(); // the marks of this paint only
    Bounds = {0, 0, rect.Width(), rect.Height()};
    PlotRect = CalcChartRect();
    RecalcWidthHeight();
    // Changes made while painting ask for no further paint. Whatever way the paint ends,
    // repainting is on again afterwards and the canvas is back to its defaults.
    const bool couldRepaint = CanRepaint;
    CanRepaint = false;
    try {
        InternalDraw(Bounds);
    } catch (...) {
        PlotCanvas.ResetState();
        CanRepaint = couldRepaint;
        throw;
    }
    PlotCanvas.ResetState();
    CanRepaint = couldRepaint;
    ++Draws;
    IsBufferDirty = false;
    return PlotCanvas.Bitmap();
}

void TCustomPlotPanel::InternalDraw(const TRect& bounds) {
    PanelPaint(bounds);
}

void TCustomPlotPanel::FillPanelRect(const TRect& rect) {
    if (Color() == clNone)
        return;
    PlotCanvas.Brush = {Color(), bsSolid};
    PlotCanvas.Pen.Style = psClear;
    if (const TPlotGradient* gradient = BackgroundGradient())
        PlotCanvas.Gradient.Assign(*gradient);
    else
        PlotCanvas.Gradient.SetVisible(false);
    PlotCanvas.FillRect(rect);
}

void TCustomPlotPanel::PanelPaint(const TRect& rect) {
    const TCanvasStateGuard keep(PlotCanvas);
    PlotCanvas.BeginGroup("Panel");
    FillPanelRect(rect);
    DrawPanelBevels(rect);
    PlotCanvas.EndGroup();
}

void TCustomPlotPanel::DrawPanelBevels(TRect rect) {
    PlotCanvas.Brush.Style = bsClear;
    if (Border().Draws()) {
        PlotCanvas.Pen = Border();
        PlotCanvas.Rectangle(rect);
        rect = {rect.Left + Border().Width, rect.Top + Border().Width, rect.Right - Border().Width,
                rect.Bottom - Border().Width};
    }
    PlotCanvas.Pen = TPlotPen{};
    auto bevel = [&](TPanelBevel kind) {
        if (kind == bvRaised)
            Frame3D(rect, clBtnHighlight, clBtnShadow, BevelWidth());
        else if (kind == bvLowered)
            Frame3D(rect, clBtnShadow, clBtnHighlight, BevelWidth());
    };
    bevel(BevelOuter());
    if (BorderWidth() != 0)
        Frame3D(rect, Color(), Color(), BorderWidth());
    bevel(BevelInner());
}

void TCustomPlotPanel::Frame3D(TRect& rect, TColor topColor, TColor bottomColor, int width) {
    TRect r = {rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1};
    for (int i = 0; i < width; ++i) {
        PlotCanvas.Pen.Color = topColor;
        PlotCanvas.Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
        PlotCanvas.Pen.Color = bottomColor;
        PlotCanvas.Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}});
        ++r.Left;
        ++r.Top;
        --r.Right;
        --r.Bottom;
    }
    rect = {r.Left, r.Top, r.Right + 1, r.Bottom + 1};
}

// A clean picture is copied; a stale one is drawn first, and the fresh picture is copied in
// the same paint event. No exception leaves the event: a failed paint is reported once, and
// again only after a paint has succeeded in between.
void TCustomPlotPanel::paintEvent(QPaintEvent*) {
    UpdateAsked = false;
    const bool clean = (!IsBufferDirty || HoldsPicture) && PlotCanvas.Width() == width() &&
                       PlotCanvas.Height() == height();
    if (!clean) {
        try {
            Draw();
            PaintErrorShown = false;
        } catch (...) {
            if (!PaintErrorShown) {
                PaintErrorShown = true;
                ReportPaintError(std::current_exception());
            }
        }
    }
    QPainter screen(this);
    ShowPicture(screen);
}

// At a device pixel ratio of 1 the picture is copied as it is. At any other ratio it is shown
// by nearest neighbour at the device's own pixels (DevicePicture.h), copied one to one: no
// smoothing, and none of Qt's own rounding of a scaled image against the panel's edges.
void TCustomPlotPanel::ShowPicture(QPainter& screen) {
    // The painter's own scale is the ratio: a panel painted into another device (a window's
    // grab, a picture of any ratio) paints through its widget, whose ratio is the screen's.
    const QTransform toDevice = screen.deviceTransform();
    const qreal ratio = toDevice.m11();
    if (toDevice.type() != QTransform::TxScale || ratio != toDevice.m22() || ratio <= 0) {
        screen.drawImage(0, 0, PlotCanvas.Bitmap());
        return;
    }
    const QPointF origin = toDevice.map(QPointF(0, 0));
    const QImage& pixels = OnDevice.Update(PlotCanvas.Bitmap(), origin, ratio);
    // Painter coordinates made device pixels: device = origin + ratio * panel coordinates.
    screen.setWorldTransform(
        QTransform(1 / ratio, 0, 0, 1 / ratio, -origin.x() / ratio, -origin.y() / ratio));
    screen.drawImage(OnDevice.TopLeft(), pixels);
}

QPointF TCustomPlotPanel::PicturePointAt(QPointF position) const {
    const qreal ratio = devicePixelRatio();
    if (ratio == 1)
        return position;
    const QPointF origin = QPointF(mapTo(window(), QPoint(0, 0))) * ratio;
    const auto pixel = [ratio](qreal logical, qreal start) {
        const int device = int(std::lround(start + logical * ratio));
        return qreal(PicturePixel(device, start, ratio));
    };
    return {pixel(position.x(), origin.x()), pixel(position.y(), origin.y())};
}

namespace {
// Where the pointer is in the panel, as exactly as Qt tells it. Qt rounds a widget's mouse
// position to whole logical pixels (at ratio 2, device pixels 7 and 8 both arrive as 4) but
// keeps the position in the window unrounded; that one is taken when it names the same point.
QPointF PointerInPanel(const QMouseEvent& mouse, QPoint panelInWindow) {
    const QPointF precise = mouse.scenePosition() - QPointF(panelInWindow);
    const QPointF off = precise - mouse.position();
    return std::abs(off.x()) <= 0.5 && std::abs(off.y()) <= 0.5 ? precise : mouse.position();
}
} // namespace

// The mouse handlers get the picture pixel under the pointer, a whole number. Qt gives the
// pointer in logical coordinates, which at a ratio other than 1 fall between whole numbers
// (device pixel 7 at ratio 2 is 3.5), and rounding them names the pixel's neighbour.
bool TCustomPlotPanel::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (devicePixelRatio() != 1)
            break;
        [[fallthrough]];
    default:
        return TCustomPanelNoCaption::event(event);
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF pixel = PicturePointAt(PointerInPanel(*mouse, mapTo(window(), QPoint(0, 0))));
    if (pixel == mouse->position())
        return TCustomPanelNoCaption::event(event);
    const QPointF shift = pixel - mouse->position();
    QMouseEvent onPicture(mouse->type(), pixel, mouse->scenePosition() + shift,
                          mouse->globalPosition() + shift, mouse->button(), mouse->buttons(),
                          mouse->modifiers(), mouse->pointingDevice());
    onPicture.setTimestamp(mouse->timestamp());
    onPicture.setAccepted(mouse->isAccepted());
    const bool handled = TCustomPanelNoCaption::event(&onPicture);
    mouse->setAccepted(onPicture.isAccepted());
    return handled;
}

void TCustomPlotPanel::SetPictureHeld(bool held) {
    if (held == HoldsPicture)
        return;
    HoldsPicture = held;
    if (!held && IsBufferDirty)
        update();
}

// The hook runs after the paint event, where it may open a window of its own.
void TCustomPlotPanel::ReportPaintError(std::exception_ptr error) {
    QMetaObject::invokeMethod(
        this,
        [this, error] {
            try {
                if (OnPaintError) {
                    OnPaintError(error);
                    return;
                }
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "The chart could not be drawn: %s\n", e.what());
            } catch (...) {
                std::fprintf(stderr, "The chart could not be drawn.\n");
            }
        },
        Qt::QueuedConnection);
}

void TCustomPlotPanel::resizeEvent(QResizeEvent* event) {
    IsBufferDirty = true;
    QWidget::resizeEvent(event);
}
