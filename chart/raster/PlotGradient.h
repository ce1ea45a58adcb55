#pragma once
// A gradient's settings: how a rectangle is filled with colours running from a start colour to
// an end colour, optionally through a middle colour. Its bands are in GradientBands.h.

#include <functional>
#include <memory>

#include "Colors.h"

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
    void SetAngle(int value) { Change(AngleValue, value); }
    int Balance() const { return BalanceValue; }
    void SetBalance(int value) { Change(BalanceValue, value); }
    TGradientDirection Direction() const { return DirectionValue; }
    void SetDirection(TGradientDirection value) { Change(DirectionValue, value); }
    TColor StartColor() const { return StartValue; }
    void SetStartColor(TColor value) { Change(StartValue, value); }
    TColor EndColor() const { return EndValue; }
    void SetEndColor(TColor value) { Change(EndValue, value); }
    // clNone while there is no middle colour.
    TColor MidColor() const { return HasMiddle ? MidValue : clNone; }
    void SetMidColor(TColor value);
    int RadialX() const { return RadialXValue; }
    void SetRadialX(int value) { Change(RadialXValue, value); }
    int RadialY() const { return RadialYValue; }
    void SetRadialY(int value) { Change(RadialYValue, value); }
    bool Visible() const { return VisibleValue; }
    void SetVisible(bool value) { Change(VisibleValue, value); }

    bool HasMiddle = false;
    TChangeHandler OnChange;

    // The overlay gradient, created on first use with a transparency of 50; stored only.
    TSubGradient& SubGradient();
    bool HasSubGradient() const { return Sub != nullptr; }

  private:
    template <class T> void Change(T& field, T value) {
        if (field == value)
            return;
        field = value;
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
