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

    bool Visible() const { return VisibleValue; }
    void SetVisible(bool value) {
        if (ChangeValue(VisibleValue, value))
            Changed();
    }
    bool Transparent() const { return TransparentValue; }
    void SetTransparent(bool value) {
        if (ChangeValue(TransparentValue, value))
            Changed();
    }
    const TPlotPen& Pen() const { return PenValue; }
    void SetPen(const TPlotPen& value) {
        if (ChangeValue(PenValue, value))
            Changed();
    }
    TBrushStyle BrushStyle() const { return BrushStyleValue; }
    void SetBrushStyle(TBrushStyle value) {
        if (ChangeValue(BrushStyleValue, value))
            Changed();
    }
    int StartPosition() const { return StartPositionValue; }
    void SetStartPosition(int value) {
        if (ChangeValue(StartPositionValue, value))
            Changed();
    }
    int EndPosition() const { return EndPositionValue; }
    void SetEndPosition(int value) {
        if (ChangeValue(EndPositionValue, value))
            Changed();
    }
    int Size() const { return SizeValue; }
    void SetSize(int value) {
        if (ChangeValue(SizeValue, value))
            Changed();
    }
    bool Dark3D() const { return Dark3DValue; }
    void SetDark3D(bool value) {
        if (ChangeValue(Dark3DValue, value))
            Changed();
    }
    bool AutoHide() const { return AutoHideValue; }
    void SetAutoHide(bool value) {
        if (ChangeValue(AutoHideValue, value))
            Changed();
    }
    int Transparency() const { return TransparencyValue; }
    void SetTransparency(int value) {
        if (ChangeValue(TransparencyValue, value))
            Changed();
    }

    TColor Color() const { return ColorValue; }
    void SetColor(TColor value) {
        if (ChangeValue(ColorValue, value))
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

    // The published settings' values.
    bool VisibleValue = true;
    bool TransparentValue = true;
    TPlotPen PenValue{};
    TBrushStyle BrushStyleValue = bsSolid;
    int StartPositionValue = 0;
    int EndPositionValue = 100;
    int SizeValue = 0;
    bool Dark3DValue = true;
    bool AutoHideValue = false;
    int TransparencyValue = 0;
};

class TChartBackWall : public TChartWall {
  public:
    using TChartWall::TChartWall;
};
