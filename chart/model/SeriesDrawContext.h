#pragma once
// What a series draws against in one paint, handed down by the panel: the canvas, the
// mappings of its horizontal and vertical axes, the plot rectangle and the points to draw.

#include "chart/model/AxisMapping.h"
#include "chart/raster/PlotRect.h"

class TPlotCanvas3D;

struct TSeriesDrawContext {
    TPlotCanvas3D& Canvas;
    const TAxisMapping& X;
    const TAxisMapping& Y;
    TRect ChartRect;
    // The visible range: indexes of the first and last point to draw; -1 when none.
    int From = -1, To = -1;
};
