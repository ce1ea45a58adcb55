#pragma once
// The walls around the plot. In a two-dimensional chart only the back wall is drawn; the
// others keep their settings.

#include <functional>
#include <string>

#include "PlotGradient.h"
#include "PlotPen.h"
#include "Property.h"

class TChartWall {
  public:
    explicit TChartWall(std::function<void()> onChange, TColor color = clSilver)
        : OnChange(std::move(onChange)), Gradient(OnChange), ColorValue(color) {}
    virtual ~TChartWall() = default;

    PLOT_PROPERTY(bool, Visible, true)
    PLOT_PROPERTY(bool, Transparent, true)
    PLOT_PROPERTY(TPlotPen, Pen, TPlotPen{})
    PLOT_PROPERTY(TBrushStyle, BrushStyle, bsSolid)
    PLOT_PROPERTY(int, StartPosition, 0)
    PLOT_PROPERTY(int, EndPosition, 100)
    PLOT_PROPERTY(int, Size, 0)
    PLOT_PROPERTY(bool, Dark3D, true)
    PLOT_PROPERTY(bool, AutoHide, false)
    PLOT_PROPERTY(int, Transparency, 0)

    TColor Color() const { return ColorValue; }
    void SetColor(TColor value) {
        if (ColorValue == value)
            return;
        ColorValue = value;
        Changed();
    }

    std::function<void()> OnChange;
    // The wall's face gradient (its brush's gradient).
    TPlotGradient Gradient;

  protected:
    void Changed() {
        if (OnChange)
            OnChange();
    }

  private:
    TColor ColorValue;
};

class TChartBackWall : public TChartWall {
  public:
    using TChartWall::TChartWall;
};
