#pragma once
// The stored settings of the two plots: everything in which they differ from the chart
// engine's defaults. Applied once to each chart before it is first shown.

class TChart;
class TCustomLineSeries;

enum TPlotPlace { ppUpper, ppLower };

void ApplyPlotSettings(TChart& chart, TCustomLineSeries& series, TPlotPlace place);

// The room, in pixels, between a plot's extreme values and its frame. In the file's format
// view a value at full scale would lie on the frame (or under it, at the bottom): the plots
// keep a few pixels clear there. The default view keeps the stored room.
void ApplyValueRoom(TChart& chart, TPlotPlace place, bool asFormat);
