#include "chart/panel/PlotPanelExtended.h"

TCustomPlotPanelExtended::TCustomPlotPanelExtended(QWidget* parent) : TCustomPlotPanel(parent) {}

TCustomPlotPanelExtended::~TCustomPlotPanelExtended() = default;

TPlotGradient& TCustomPlotPanelExtended::Gradient() {
    if (!BackGradient)
        BackGradient = std::make_unique<TPlotGradient>([this] { CanvasChanged(); });
    return *BackGradient;
}

const TPlotGradient* TCustomPlotPanelExtended::BackgroundGradient() const {
    return BackGradient && BackGradient->Visible() ? BackGradient.get() : nullptr;
}
