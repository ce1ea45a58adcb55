#include "AxisPanel.h"

#include <algorithm>

TCustomAxisPanel::TCustomAxisPanel(QWidget* parent) : TCustomPlotPanelExtended(parent) {}

TCustomAxisPanel::~TCustomAxisPanel() {
    IsDestroying = true;
    // Series go before the panel's other parts; a clear during this asks for no repaint.
    SeriesList.clear();
}

void TCustomAxisPanel::AddOwnedSeries(std::unique_ptr<TChartSeries> series) {
    if (std::any_of(SeriesList.begin(), SeriesList.end(),
                    [&](const auto& held) { return held.get() == series.get(); }))
        return;
    series->Chart = this;
    SeriesList.push_back(std::move(series));
    Invalidate();
}
