#pragma once
// The chart component: the panel with the mouse on top. A left-button drag zooms into the
// dragged rectangle (or, dragged to the left, undoes the zoom), a right-button drag pans, the
// wheel scrolls the vertical axes.

#include <functional>
#include <vector>

#include "AxisPanel.h"
#include "ZoomPanning.h"

class TCustomChart : public TCustomAxisPanel {
    Q_OBJECT
  public:
    explicit TCustomChart(QWidget* parent = nullptr);

    TPanningMode AllowPanning = pmBoth;
    TMouseButton ScrollMouseButton = mbRight;
    TPlotZoom Zoom;
    TZoomPanning PanState;
    std::vector<TAxisSavedScale> SavedScales;
    bool ScalesSaved = false;
    std::function<void()> OnZoom, OnUndoZoom, OnScroll;
    std::function<void(TChartAxis& axis, double& minimum, double& maximum, bool& allow)>
        OnAllowScroll;

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

    // Outlines the zoom rectangle in not-xor on the off-screen picture: drawn twice, it is
    // gone again. The screen is refreshed by a copy of the picture, not by a new paint.
    void DrawZoomBand();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

    // A paint during a drag draws the band again at its end.
    void DrawOverlay() override;

  private:
    // The band alone, onto the picture; it asks for nothing more.
    void PaintZoomBand();
    void StartDrag(TMouseButton button, int shift, int x, int y);
    void SaveScalesOnce();
    bool ScrollAllowed(TChartAxis& axis, double& minimum, double& maximum);
    bool PanStep(bool horizontal, int newPixel, int oldPixel);
    void PanAxis(TChartAxis& axis, int oldPixel, int newPixel);

    int WheelGathered = 0; // the part of a notch turned so far, signed
};

class TChart : public TCustomChart {
    Q_OBJECT
  public:
    using TCustomChart::TCustomChart;
};
