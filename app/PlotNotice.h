#pragma once
// A sentence over a plot that has nothing to show, centred in its plot area on a background
// of its own. A widget on top of the chart, as the markers are: the chart's picture never
// changes for it.

#include <QString>

#include "app/PlotOverlay.h"

class TPlotNotice : public TPlotOverlay {
    Q_OBJECT
  public:
    TPlotNotice(TChart& chart, const QString& name);

    // Shows the sentence; an empty one hides the notice.
    void SetText(const QString& text);
    const QString& Text() const { return Shown; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString Shown;
};
