#pragma once
// What every series is to the panel's layout: an element that may ask its axes for room.

#include "chart/model/ChartElement.h"

class TCustomChartSeries : public TCustomChartElement {
  public:
    // Extra room the series asks of its horizontal and vertical axes, in pixels.
    virtual void HorizMargins(int& left, int& right) const { left = right = 0; }
    virtual void VertMargins(int& top, int& bottom) const { top = bottom = 0; }
};
