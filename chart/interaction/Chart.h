#pragma once
// The chart component: the panel with the mouse and the keyboard on top. A left-button drag
// zooms into the dragged rectangle (or, dragged to the left, undoes the zoom), a right-button
// drag pans, the wheel scrolls the vertical axes, and a right click that moves nothing is told
// to the owner (for a menu). The keys do what the mouse does: + and - zoom by 2 around the
// centre, the arrows pan by a tenth of the range, 0 and Home undo the zoom, Esc cancels a drag.

#include <functional>
#include <utility>
#include <vector>

#include "chart/interaction/ZoomPanning.h"
#include "chart/panel/AxisPanel.h"

class TCustomChart : public TCustomAxisPanel {
    Q_OBJECT
  public:
    explicit TCustomChart(QWidget* parent = nullptr);

    TPanningMode AllowPanning = pnBoth;
    TMouseButton ScrollMouseButton = mbRight;
    TPlotZoom Zoom;
    TZoomPanning PanState;
    std::vector<TAxisSavedScale> SavedScales;
    bool ScalesSaved = false;
    std::function<void()> OnZoom, OnUndoZoom, OnScroll;
    std::function<void(TChartAxis& axis, double& minimum, double& maximum, bool& allow)>
        OnAllowScroll;
    // A right-button press and release at one place with no move between, in client pixels:
    // a click that pans nothing.
    std::function<void(int x, int y)> OnContextClick;

    // The mouse, in client pixels: press, move and release of a button, a wheel step, the
    // pointer leaving the panel.
    void MousePress(TMouseButton button, int shift, int x, int y);
    void MouseMove(int shift, int x, int y);
    void MouseRelease(TMouseButton button, int shift, int x, int y);
    void WheelStep(bool up);
    // A wheel turn of `angleDelta` eighths of a degree (120 to a notch).
    void WheelTurned(int angleDelta);
    void PointerLeft();

    // What a press lands on.
    enum THit { htNothing, htAxis, htTitle, htChartRect };
    THit ClassifyPress(int x, int y) const;

    void ApplyMouseZoom();
    void ZoomAxes(double topMin, double topMax, double bottomMin, double bottomMax, double leftMin,
                  double leftMax, double rightMin, double rightMax);
    void UnzoomAxes();
    // Puts the vertical axes back as they were before the first zoom or pan, keeping the
    // horizontal view and its undo (for a plot whose vertical axis changes meaning).
    void UnzoomVertical();

    // The keyboard's share, through the mouse's code, events and undo. Each does nothing where
    // the mouse could not do the same (zoom or panning not allowed, no series taking part).
    // Zooms every axis in by `factor` (out when below 1) around the centre of its range.
    void ZoomCentred(double factor);
    // Zooms the horizontal axes to [minimum, maximum], the vertical ones staying as they are,
    // through the mouse's zoom, events and undo.
    void ZoomHorizontal(double minimum, double maximum);
    // Moves the view by these fractions of each axis's range: to the right and upward as seen
    // on the screen when positive.
    void PanByFraction(double right, double up);
    // Undoes the zoom and panning as a left drag to the left does.
    void UndoZoom();
    // Ends a drag in progress as if it had never started: the band is erased and zooms
    // nothing; a pan goes back to where it started. False when no drag was in progress.
    bool CancelDrag();
    // Does what the key (a Qt::Key) stands for; false when it stands for nothing here. While
    // a drag is in progress only Esc does anything.
    bool KeyPressed(int key);

    // Outlines the zoom rectangle in not-xor on the off-screen picture: drawn twice, it is
    // gone again. The screen is refreshed by a copy of the picture, not by a new paint.
    void DrawZoomBand();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // A paint during a drag draws the band again at its end.
    void DrawOverlay() override;

  private:
    // The band alone, onto the picture; it asks for nothing more.
    void PaintZoomBand();
    void StartDrag(TMouseButton button, int shift, int x, int y);
    // The active series let a drag start: none is active, or one takes part in zooming.
    bool SeriesTakePart() const;
    bool ZoomAllowed() const { return Zoom.Allow && SeriesTakePart(); }
    bool PanApplies(bool horizontal) const;
    void SaveScalesOnce();
    // Every axis's range as `span` gives it, through ZoomAxes: the horizontal and vertical
    // axes of the last series that takes part in zooming, or each axis on its own.
    void ZoomEachAxis(
        const std::function<std::pair<double, double>(const TChartAxis&, bool horizontal)>& span);
    bool ScrollAllowed(TChartAxis& axis, double& minimum, double& maximum);
    bool PanStep(bool horizontal, int newPixel, int oldPixel);
    void PanAxis(TChartAxis& axis, double delta);
    TAxisSavedScale ScaleOf(const TChartAxis& axis) const;
    void RestoreScales(const std::vector<TAxisSavedScale>& scales, bool verticalOnly = false);

    int WheelGathered = 0; // the part of a notch turned so far, signed

    // What a pan started from, for Esc to go back to.
    struct TPanStart {
        std::vector<TAxisSavedScale> Scales;
        std::vector<TAxisSavedScale> SavedScales;
        bool ScalesSaved = false;
        bool Moved = false;
    } PanStart;

    // The right-button press that may end in a click: armed at the press, disarmed by any
    // move elsewhere or a cancel.
    bool ContextArmed = false;
    int ContextX = 0, ContextY = 0;
};

class TChart : public TCustomChart {
    Q_OBJECT
  public:
    using TCustomChart::TCustomChart;
};
