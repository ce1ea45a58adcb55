#pragma once
// Clipped runs over a plot: a red band at each run of the channel the plot shows, at least a
// few pixels wide so that a run of three samples is seen in a view of hours, with a solid
// mark along the bottom of the plot area. A widget of its own on top of the chart, as the
// markers are: the chart's picture never changes for it, and it follows every zoom and pan.

#include <cstdint>
#include <vector>

#include "app/PlotOverlay.h"

struct TClipMark {
    std::uint64_t First = 0; // frame, from 0: the plot's X is First + 1
    std::uint64_t Length = 0;
};

class TClipOverlay : public TPlotOverlay {
    Q_OBJECT
  public:
    explicit TClipOverlay(TChart& chart);

    // The runs to draw, in the order of their frames.
    void SetMarks(std::vector<TClipMark> marks);
    const std::vector<TClipMark>& Marks() const { return Shown; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<TClipMark> Shown;
};
