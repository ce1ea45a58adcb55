// The chart with the mouse and the keyboard: which part a press lands on, the zoom band, the
// pan, the wheel, the keys, and the undo of them.

#include "chart/interaction/Chart.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

bool Inside(const TRect& r, int x, int y) {
    return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom;
}

// The buttons a drag can be bound to; back, forward and the rest take no part.
std::optional<TMouseButton> ButtonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return mbLeft;
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return std::nullopt;
    }
}

bool KeysHeld(int required, int shift) {
    return (shift & required) == required;
}

// The band of an axis a press can hit: its extent along it; across it, from the labels to
// the line and 3 pixels beyond the line on the other side.
bool OnAxisStrip(const TChartAxis& axis, int x, int y) {
    const int along = axis.Horizontal() ? x : y;
    const TAxisMapping& map = axis.Mapping();
    if (along < map.FirstPixel || along > map.LastPixel)
        return false;
    const int across = axis.Horizontal() ? y : x;
    const int outward = axis.Outward();
    const TAxisLayout& laid = axis.Layout();
    const int labels = axis.Labels() ? laid.LabelsPos : laid.LinePos;
    const int beyond = axis.Labels() ? laid.LinePos - 3 * outward : laid.LinePos;
    return across >= std::min(labels, beyond) && across <= std::max(labels, beyond);
}

} // namespace

TCustomChart::THit TCustomChart::ClassifyPress(int x, int y) const {
    for (TAxisKind kind : SideAxes) {
        const TChartAxis& axis = Axis(kind);
        if (axis.Layout().Shown && OnAxisStrip(axis, x, y))
            return htAxis;
    }
    for (const TChartTitle* title : {&Title, &SubTitle, &Foot, &SubFoot})
        if (title->Visible() && !title->Text().empty() && Inside(title->ShapeBounds, x, y))
            return htTitle;
    if (AnyActiveSeries() && Inside(ChartRect(), x, y))
        return htChartRect;
    return htNothing;
}

void TCustomChart::MousePress(TMouseButton button, int shift, int x, int y) {
    if (Zoom.Dragging || PanState.Dragging)
        return;
    // Wherever it lands, a right press may be the start of a click.
    ContextArmed = button == mbRight;
    ContextX = x;
    ContextY = y;
    if (ClassifyPress(x, y) == htNothing)
        return;
    StartDrag(button, shift, x, y);
}

bool TCustomChart::SeriesTakePart() const {
    bool anyZooms = false;
    for (int i = 0; i < SeriesCount(); ++i)
        anyZooms = anyZooms || (Series(i)->Active() && Series(i)->TakesPartInZoom());
    return !AnyActiveSeries() || anyZooms;
}

bool TCustomChart::PanApplies(bool horizontal) const {
    return AllowPanning == pnBoth ||
           (horizontal ? AllowPanning == pnHorizontal : AllowPanning == pnVertical);
}

void TCustomChart::StartDrag(TMouseButton button, int shift, int x, int y) {
    if (!SeriesTakePart())
        return;
    if (Zoom.Allow && button == Zoom.MouseButton && KeysHeld(Zoom.KeyShift, shift)) {
        if (Zoom.Direction == tzdVertical)
            x = ChartRect().Left;
        else if (Zoom.Direction == tzdHorizontal)
            y = ChartRect().Top;
        Zoom.Activate(x, y);
        if (Zoom.Direction == tzdVertical)
            Zoom.X1 = ChartRect().Right;
        else if (Zoom.Direction == tzdHorizontal)
            Zoom.Y1 = ChartRect().Bottom;
        DrawZoomBand();
    }
    if (AllowPanning != pnNone && button == ScrollMouseButton) {
        PanState.Activate(x, y);
        PanStart.Scales.assign(AxisCount, TAxisSavedScale{});
        for (TAxisKind kind : SideAxes)
            PanStart.Scales[kind] = ScaleOf(Axis(kind));
        PanStart.SavedScales = SavedScales;
        PanStart.ScalesSaved = ScalesSaved;
        PanStart.Moved = false;
    }
    if (Zoom.Dragging || PanState.Dragging)
        unsetCursor();
}

void TCustomChart::MouseMove(int, int x, int y) {
    if (x != ContextX || y != ContextY)
        ContextArmed = false;
    if (Zoom.Dragging) {
        if (Zoom.Direction == tzdVertical)
            x = ChartRect().Right;
        else if (Zoom.Direction == tzdHorizontal)
            y = ChartRect().Bottom;
        if (x != Zoom.X1 || y != Zoom.Y1) {
            DrawZoomBand(); // erases the old band
            Zoom.X1 = x;
            Zoom.Y1 = y;
            DrawZoomBand();
        }
        return;
    }
    if (!PanState.Dragging)
        return;
    if (!Inside(ChartRect(), x, y)) {
        PanState.Dragging = false;
        return;
    }
    if (x == PanState.X1 && y == PanState.Y1)
        return;
    SaveScalesOnce();
    const bool scrolledX = PanStep(true, x, PanState.X1);
    const bool scrolledY = PanStep(false, y, PanState.Y1);
    PanState.X1 = x;
    PanState.Y1 = y;
    if (scrolledX || scrolledY) {
        PanStart.Moved = true;
        if (OnScroll)
            OnScroll();
        Invalidate();
    }
}

void TCustomChart::MouseRelease(TMouseButton button, int, int x, int y) {
    if (Zoom.Dragging && button == Zoom.MouseButton) {
        Zoom.Dragging = false;
        DrawZoomBand(); // erases the band
        Canvas().Pen.Mode = pmCopy;
        if (Zoom.Direction != tzdVertical)
            Zoom.X1 = x;
        if (Zoom.Direction != tzdHorizontal)
            Zoom.Y1 = y;
        const bool counts =
            (Zoom.Direction == tzdVertical || std::abs(Zoom.X1 - Zoom.X0) > Zoom.MinimumPixels) &&
            (Zoom.Direction == tzdHorizontal || std::abs(Zoom.Y1 - Zoom.Y0) > Zoom.MinimumPixels);
        if (counts) {
            const bool zooms =
                Zoom.UpLeftZooms ||
                (Zoom.Direction == tzdVertical ? Zoom.Y1 > Zoom.Y0 : Zoom.X1 > Zoom.X0);
            if (zooms)
                ApplyMouseZoom();
            else
                UnzoomAxes();
            Invalidate();
        }
    }
    // A release ends only the drag its own button started.
    if (PanState.Dragging && button == ScrollMouseButton)
        PanState.Dragging = false;
    if (button == mbRight && ContextArmed) {
        ContextArmed = false;
        if (x == ContextX && y == ContextY && OnContextClick)
            OnContextClick(x, y);
    }
}

void TCustomChart::PointerLeft() {
    PanState.Dragging = false;
    ContextArmed = false;
    unsetCursor();
}

// Only the first zoom or panning step after creation or after an undo saves the scales; one
// undo then goes all the way back.
void TCustomChart::SaveScalesOnce() {
    if (ScalesSaved)
        return;
    ScalesSaved = true;
    SavedScales.assign(AxisCount, TAxisSavedScale{});
    for (TAxisKind kind : SideAxes) {
        const TChartAxis& axis = Axis(kind);
        SavedScales[kind] = ScaleOf(axis);
    }
}

TAxisSavedScale TCustomChart::ScaleOf(const TChartAxis& axis) const {
    return {axis.Automatic(), axis.AutomaticMinimum(), axis.AutomaticMaximum(), axis.Minimum(),
            axis.Maximum()};
}

void TCustomChart::ApplyMouseZoom() {
    if (Zoom.X1 < Zoom.X0)
        std::swap(Zoom.X0, Zoom.X1);
    if (Zoom.Y1 < Zoom.Y0)
        std::swap(Zoom.Y0, Zoom.Y1);
    // The band's corners under the scale of the last paint.
    ZoomEachAxis([this](const TChartAxis& axis, bool horizontal) {
        return horizontal ? std::pair{axis.ValueAtPixel(Zoom.X0), axis.ValueAtPixel(Zoom.X1)}
                          : std::pair{axis.ValueAtPixel(Zoom.Y1), axis.ValueAtPixel(Zoom.Y0)};
    });
}

void TCustomChart::ZoomEachAxis(
    const std::function<std::pair<double, double>(const TChartAxis&, bool horizontal)>& span) {
    const TChartSeries* last = nullptr;
    for (int i = 0; i < SeriesCount(); ++i)
        if (Series(i)->Active() && Series(i)->TakesPartInZoom())
            last = Series(i);
    if (last != nullptr) {
        // The series' own axes give the range of both axes of their direction.
        const auto [xa, xb] = span(Axis(TAxisKind(last->HorizAxis)), true);
        const auto [ya, yb] = span(Axis(TAxisKind(last->VertAxis)), false);
        ZoomAxes(xa, xb, xa, xb, ya, yb, ya, yb);
        return;
    }
    const auto [topMin, topMax] = span(Axis(akTop), true);
    const auto [bottomMin, bottomMax] = span(Axis(akBottom), true);
    const auto [leftMin, leftMax] = span(Axis(akLeft), false);
    const auto [rightMin, rightMax] = span(Axis(akRight), false);
    ZoomAxes(topMin, topMax, bottomMin, bottomMax, leftMin, leftMax, rightMin, rightMax);
}

void TCustomChart::ZoomAxes(double topMin, double topMax, double bottomMin, double bottomMax,
                            double leftMin, double leftMax, double rightMin, double rightMax) {
    SaveScalesOnce();
    if (Zoom.Direction != tzdHorizontal) {
        Axis(akLeft).SetRangeManual(leftMin, leftMax);
        Axis(akRight).SetRangeManual(rightMin, rightMax);
    }
    if (Zoom.Direction != tzdVertical) {
        Axis(akTop).SetRangeManual(topMin, topMax);
        Axis(akBottom).SetRangeManual(bottomMin, bottomMax);
    }
    if (OnZoom)
        OnZoom();
}

void TCustomChart::RestoreScales(const std::vector<TAxisSavedScale>& scales, bool verticalOnly) {
    for (TAxisKind kind : SideAxes) {
        TChartAxis& axis = Axis(kind);
        if (verticalOnly && axis.Horizontal())
            continue;
        const TAxisSavedScale& saved = scales[kind];
        axis.SetAutomatic(saved.Automatic);
        axis.SetAutomaticMinimum(saved.AutomaticMinimum);
        axis.SetAutomaticMaximum(saved.AutomaticMaximum);
        axis.Loading = true; // straight back, with no order check
        axis.SetMinimum(saved.Minimum);
        axis.SetMaximum(saved.Maximum);
        axis.Loading = false;
    }
}

void TCustomChart::UnzoomVertical() {
    if (!ScalesSaved)
        return;
    RestoreScales(SavedScales, true);
    Invalidate();
}

void TCustomChart::UnzoomAxes() {
    if (ScalesSaved) {
        RestoreScales(SavedScales);
        SavedScales.clear();
        ScalesSaved = false;
    }
    if (OnUndoZoom)
        OnUndoZoom();
    Invalidate();
}

// The value under the pointer stays under the pointer, under the scale of the last paint.
bool TCustomChart::PanStep(bool horizontal, int newPixel, int oldPixel) {
    if (newPixel == oldPixel)
        return false;
    if (!PanApplies(horizontal))
        return false;
    for (TAxisKind kind : SideAxes) {
        TChartAxis& axis = Axis(kind);
        if (axis.Horizontal() == horizontal)
            PanAxis(axis, axis.ValueAtPixel(oldPixel) - axis.ValueAtPixel(newPixel));
    }
    return true;
}

// Asks the attached handler, if any, whether the axis may move to [minimum, maximum]; it may
// change the range too.
bool TCustomChart::ScrollAllowed(TChartAxis& axis, double& minimum, double& maximum) {
    bool allow = true;
    if (OnAllowScroll)
        OnAllowScroll(axis, minimum, maximum, allow);
    return allow;
}

void TCustomChart::PanAxis(TChartAxis& axis, double delta) {
    double minimum = axis.Minimum() + delta, maximum = axis.Maximum() + delta;
    if (ScrollAllowed(axis, minimum, maximum))
        axis.SetRangeManual(minimum, maximum);
}

void TCustomChart::WheelStep(bool up) {
    if (AllowPanning != pnVertical && AllowPanning != pnBoth)
        return;
    for (TAxisKind kind : AllAxes) {
        TChartAxis& axis = Axis(kind);
        if (axis.Horizontal())
            continue;
        double d = (axis.Maximum() - axis.Minimum()) * 3 * 0.01;
        if (up)
            d = -d;
        double minimum = axis.Minimum() + d, maximum = axis.Maximum() + d;
        if (ScrollAllowed(axis, minimum, maximum))
            axis.ShiftRange(d);
    }
}

void TCustomChart::mousePressEvent(QMouseEvent* event) {
    const std::optional<TMouseButton> button = ButtonOf(event->button());
    if (!button) {
        event->ignore();
        return;
    }
    const QPoint p = event->position().toPoint();
    MousePress(*button, int(event->modifiers()), p.x(), p.y());
}

void TCustomChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseMove(int(event->modifiers()), p.x(), p.y());
}

void TCustomChart::mouseReleaseEvent(QMouseEvent* event) {
    const std::optional<TMouseButton> button = ButtonOf(event->button());
    if (!button) {
        event->ignore();
        return;
    }
    const QPoint p = event->position().toPoint();
    MouseRelease(*button, int(event->modifiers()), p.x(), p.y());
}

void TCustomChart::WheelTurned(int angleDelta) {
    // Smooth wheels and touchpads send a notch in small parts: they are gathered, and every
    // 120 units make one step. A turn the other way starts the gathering afresh. A step up
    // moves away from the user.
    if ((angleDelta > 0 && WheelGathered < 0) || (angleDelta < 0 && WheelGathered > 0))
        WheelGathered = 0;
    WheelGathered += angleDelta;
    const int steps = WheelGathered / 120;
    WheelGathered -= steps * 120;
    for (int i = 0; i < std::abs(steps); ++i)
        WheelStep(steps > 0);
}

void TCustomChart::wheelEvent(QWheelEvent* event) {
    WheelTurned(event->angleDelta().y());
    event->accept();
}

void TCustomChart::leaveEvent(QEvent* event) {
    PointerLeft();
    QWidget::leaveEvent(event);
}

void TCustomChart::ZoomCentred(double factor) {
    if (!ZoomAllowed() || !(factor > 0))
        return;
    ZoomEachAxis([factor](const TChartAxis& axis, bool) {
        const double centre = (axis.Minimum() + axis.Maximum()) / 2;
        const double half = (axis.Maximum() - axis.Minimum()) / 2 / factor;
        return std::pair{centre - half, centre + half};
    });
    Invalidate();
}

void TCustomChart::ZoomHorizontal(double minimum, double maximum) {
    if (!ZoomAllowed() || !(maximum > minimum))
        return;
    ZoomEachAxis([&](const TChartAxis& axis, bool horizontal) {
        return horizontal ? std::pair{minimum, maximum} : std::pair{axis.Minimum(), axis.Maximum()};
    });
    Invalidate();
}

// The range as it stands, not the scale of the last paint: two presses before a paint move
// twice as far.
void TCustomChart::PanByFraction(double right, double up) {
    const bool horizontal = right != 0 && PanApplies(true);
    const bool vertical = up != 0 && PanApplies(false);
    if (!SeriesTakePart() || !(horizontal || vertical))
        return;
    SaveScalesOnce();
    for (TAxisKind kind : SideAxes) {
        TChartAxis& axis = Axis(kind);
        if (!(axis.Horizontal() ? horizontal : vertical))
            continue;
        const double fraction = axis.Horizontal() ? right : up;
        const double delta = (axis.Maximum() - axis.Minimum()) * fraction;
        PanAxis(axis, axis.Inverted() ? -delta : delta);
    }
    if (OnScroll)
        OnScroll();
    Invalidate();
}

void TCustomChart::UndoZoom() {
    if (ZoomAllowed())
        UnzoomAxes();
}

bool TCustomChart::CancelDrag() {
    ContextArmed = false;
    if (Zoom.Dragging) {
        Zoom.Dragging = false;
        DrawZoomBand(); // erases the band
        Canvas().Pen.Mode = pmCopy;
        return true;
    }
    if (!PanState.Dragging)
        return false;
    PanState.Dragging = false;
    // What the undo would go back to is as before the pan, too.
    SavedScales = PanStart.SavedScales;
    ScalesSaved = PanStart.ScalesSaved;
    if (PanStart.Moved) {
        RestoreScales(PanStart.Scales);
        if (OnScroll)
            OnScroll();
        Invalidate();
    }
    return true;
}

bool TCustomChart::KeyPressed(int key) {
    if (key == Qt::Key_Escape)
        return CancelDrag();
    if (Zoom.Dragging || PanState.Dragging)
        return false;
    constexpr double Tenth = 0.1;
    switch (key) {
    case Qt::Key_Plus:
        ZoomCentred(2);
        return true;
    case Qt::Key_Minus:
        ZoomCentred(0.5);
        return true;
    case Qt::Key_Left:
        PanByFraction(-Tenth, 0);
        return true;
    case Qt::Key_Right:
        PanByFraction(Tenth, 0);
        return true;
    case Qt::Key_Up:
        PanByFraction(0, Tenth);
        return true;
    case Qt::Key_Down:
        PanByFraction(0, -Tenth);
        return true;
    case Qt::Key_0:
    case Qt::Key_Home:
        UndoZoom();
        return true;
    default:
        return false;
    }
}

// With Ctrl, Alt or Meta held a key is someone else's.
void TCustomChart::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers others = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if ((event->modifiers() & others) || !KeyPressed(event->key()))
        TCustomAxisPanel::keyPressEvent(event);
}

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
