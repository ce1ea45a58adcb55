#include "PlotGradient.h"

TCustomPlotGradient::TCustomPlotGradient(TChangeHandler onChange) : OnChange(std::move(onChange)) {}

TCustomPlotGradient::~TCustomPlotGradient() = default;

void TCustomPlotGradient::SetMidColor(TColor value) {
    if (value == clNone) {
        if (!HasMiddle)
            return;
        HasMiddle = false;
    } else {
        if (HasMiddle && MidValue == value)
            return;
        HasMiddle = true;
        MidValue = value;
    }
    Changed();
}

void TCustomPlotGradient::Assign(const TCustomPlotGradient& source) {
    AngleValue = source.AngleValue;
    BalanceValue = source.BalanceValue;
    DirectionValue = source.DirectionValue;
    StartValue = source.StartValue;
    EndValue = source.EndValue;
    MidValue = source.MidValue;
    HasMiddle = source.HasMiddle;
    RadialXValue = source.RadialXValue;
    RadialYValue = source.RadialYValue;
    VisibleValue = source.VisibleValue;
    if (source.Sub) {
        SubGradient().Assign(*source.Sub);
        Sub->Transparency = source.Sub->Transparency;
    } else {
        Sub.reset();
    }
}

TSubGradient& TCustomPlotGradient::SubGradient() {
    if (!Sub)
        Sub = std::make_unique<TSubGradient>(OnChange);
    return *Sub;
}
