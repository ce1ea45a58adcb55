#pragma once
// The plot panel with a background gradient of its own.

#include <memory>

#include "chart/panel/PlotPanel.h"

// Adds the panel's background gradient.
class TCustomPlotPanelExtended : public TCustomPlotPanel {
    Q_OBJECT
  public:
    explicit TCustomPlotPanelExtended(QWidget* parent = nullptr);
    ~TCustomPlotPanelExtended() override;

    // The background gradient, created on first use.
    TPlotGradient& Gradient();
    bool HasGradient() const { return BackGradient != nullptr; }

  protected:
    const TPlotGradient* BackgroundGradient() const override;

  private:
    std::unique_ptr<TPlotGradient> BackGradient;
};
