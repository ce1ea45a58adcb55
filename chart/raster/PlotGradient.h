#pragma once
// A gradient's settings: how a rectangle is filled with colours running from a start colour to
// an end colour, optionally through a middle colour. Its bands are in GradientBands.h.

#include <functional>
#include <memory>

#include "Colors.h"
#include "Property.h"

enum TGradientDirection : unsigned char {
    gdTopBottom,
    gdBottomTop,
    gdLeftRight,
    gdRightLeft,
    gdFromCenter,
    gdFromTopLeft,
    gdFromBottomLeft,
    gdRadial,
    gdDiagonalUp,
    gdDiagonalDown,
};

class TSubGradient;

class TCustomPlotGradient {
  public:
    using TChangeHandler = std::function<void()>;

    explicit TCustomPlotGradient(TChangeHandler onChange = {});
    virtual ~TCustomPlotGradient();
    TCustomPlotGradient(const TCustomPlotGradient&) = delete;
    TCustomPlotGradient& operator=(const TCustomPlotGradient&) = delete;

    // Copies every setting, the middle colour and the sub-gradient; never notifies.
    void Assign(const TCustomPlotGradient& source);

    int Angle() const { return AngleValue; }
    void SetAngle(int value) {
        if (ChangeValue(AngleValue, value))
            Changed();
    }
    int Balance() const { return BalanceValue; }
    void SetBalance(int value) {
        if (ChangeValue(BalanceValue, value))
            Changed();
    }
    TGradientDirection Direction() const { return DirectionValue; }
    void SetDirection(TGradientDirection value) {
        if (ChangeValue(DirectionValue, value))
            Changed();
    }
    TColor StartColor() const { return StartValue; }
    void SetStartColor(TColor value) {
        if (ChangeValue(StartValue, value))
            Changed();
    }
    TColor EndColor() const { return EndValue; }
    void SetEndColor(TColor value) {
        if (ChangeValue(EndValue, value))
            Changed();
    }
    // clNone while there is no middle colour.
    TColor MidColor() const { return HasMiddle ? MidValue : clNone; }
    void SetMidColor(TColor value);
    int RadialX() const { return RadialXValue; }
    void SetRadialX(int value) {
        if (ChangeValue(RadialXValue, value))
            Changed();
    }
    int RadialY() const { return RadialYValue; }
    void SetRadialY(int value) {
        if (ChangeValue(RadialYValue, value))
            Changed();
    }
    bool Visible() const { return VisibleValue; }
    void SetVisible(bool value) {
        if (ChangeValue(VisibleValue, value))
            Changed();
    }

    bool HasMiddle = false;
    TChangeHandler OnChange;

    // The overlay gradient, created on first use with a transparency of 50; stored only.
    TSubGradient& SubGradient();
    bool HasSubGradient() const { return Sub != nullptr; }

  private:
    void Changed() {
        if (OnChange)
            OnChange();
    }

    int AngleValue = 0;
    int BalanceValue = 50;
    TGradientDirection DirectionValue = gdTopBottom;
    TColor StartValue = clWhite;
    TColor EndValue = 0x00FFFF;
    TColor MidValue = clNone;
    int RadialXValue = 0;
    int RadialYValue = 0;
    bool VisibleValue = false;
    std::unique_ptr<TSubGradient> Sub;
};

class TPlotGradient : public TCustomPlotGradient {
  public:
    using TCustomPlotGradient::TCustomPlotGradient;
};

class TSubGradient : public TCustomPlotGradient {
  public:
    using TCustomPlotGradient::TCustomPlotGradient;
    int Transparency = 50;
};
