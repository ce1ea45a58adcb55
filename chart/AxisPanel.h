#pragma once
// The layer of a chart panel that holds the series.

#include <memory>
#include <vector>

#include "ChartSeries.h"
#include "PlotPanel.h"

class TCustomPlotPanelExtended : public TCustomPlotPanel {
    Q_OBJECT
public:
    using TCustomPlotPanel::TCustomPlotPanel;
};

class TCustomAxisPanel : public TCustomPlotPanelExtended {
    Q_OBJECT
public:
    explicit TCustomAxisPanel(QWidget* parent = nullptr);
    ~TCustomAxisPanel() override;

    // The chart takes the series over; returns it for the caller's own use.
    template <class TSeries> TSeries* AddSeries(std::unique_ptr<TSeries> series) {
        TSeries* raw = series.get();
        AddOwnedSeries(std::unique_ptr<TChartSeries>(std::move(series)));
        return raw;
    }
    int SeriesCount() const { return static_cast<int>(SeriesList.size()); }
    TChartSeries* Series(int index) const { return SeriesList[index].get(); }

private:
    void AddOwnedSeries(std::unique_ptr<TChartSeries> series);

    std::vector<std::unique_ptr<TChartSeries>> SeriesList;
};
