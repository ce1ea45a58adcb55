#pragma once
// A widget drawn over a plot, as the markers and the clipped runs are: transparent to the
// mouse, the chart's own picture never changing for it, and drawn again after every paint of
// the chart, so it follows each zoom and pan.

#include <QWidget>

class TChart;

class TPlotOverlay : public QWidget {
    Q_OBJECT
  public:
    // `name` follows the chart's object name ("Chart1Markers").
    TPlotOverlay(TChart& chart, const QString& name);

  protected:
    // Covers the chart again, on top, shown when `visible`, and asks for a paint.
    void Cover(bool visible);
    TChart& Chart;
};
