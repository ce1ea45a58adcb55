#pragma once
// The chart component: the four titles, the legend and the walls on top of the axis panel.

#include "AxisPanel.h"
#include "ChartTitle.h"
#include "ChartWall.h"

class TCustomChart : public TCustomAxisPanel {
    Q_OBJECT
  public:
    explicit TCustomChart(QWidget* parent = nullptr);

    TChartTitle Title{[this] { CanvasChanged(); }, false};
    TChartTitle SubTitle{[this] { CanvasChanged(); }, false};
    TChartTitle Foot{[this] { CanvasChanged(); }, true};
    TChartTitle SubFoot{[this] { CanvasChanged(); }, true};
    TChartBackWall BackWall{[this] { CanvasChanged(); }};
    TChartWall LeftWall{[this] { CanvasChanged(); }};
    TChartWall RightWall{[this] { CanvasChanged(); }};
    TChartWall BottomWall{[this] { CanvasChanged(); }};

    PLOT_PROPERTY(bool, LegendVisible, true)

    // The back wall's colour unless the wall is transparent, else the panel's.
    TColor GetBackColor() const override;
    bool IsColorFree(TColor color, bool checkBackground,
                     const TChartSeries* excluded) const override;

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

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

    void DrawTitlesAndLegend(bool beforeSeries) override;
    void DrawWalls() override;
    void DrawBackWall();

  private:
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
