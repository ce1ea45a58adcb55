#pragma once
// The file's markers over a plot: a vertical line at each marker's frame with its label along
// the top on the plot's own background, and a light band over each region (a labelled
// region's length, a sampler loop).
// A widget of its own on top of the chart, as the readout is: the chart's picture never
// changes for it. It follows every zoom and pan, as it is drawn again after each paint.

#include <cstdint>
#include <string>
#include <vector>

#include "app/PlotOverlay.h"

struct TPlotMarker {
    std::uint64_t Frame = 0;  // from 0: the plot's X is Frame + 1
    std::uint64_t Length = 0; // a region's frames; 0 for a marker alone
    std::string Label;
};

class TMarkerOverlay : public TPlotOverlay {
    Q_OBJECT
  public:
    explicit TMarkerOverlay(TChart& chart);

    // The markers to draw; those beyond `frames` are not drawn.
    void SetMarkers(std::vector<TPlotMarker> markers, std::uint64_t frames);
    const std::vector<TPlotMarker>& Markers() const { return Shown; }
    // Where a marker's label stands, on a background of its own; empty for a marker drawn
    // without one (no label, or outside the plot).
    QRect LabelRect(const TPlotMarker& marker) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<TPlotMarker> Shown;
    std::uint64_t FrameCount = 0;
};
