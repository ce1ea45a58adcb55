#pragma once
// The stored settings of the two plots: everything in which they differ from the chart
// engine's defaults. Applied once to each chart before it is first shown.

class TChart;
class TCustomLineSeries;

enum TPlotPlace { ppUpper, ppLower };

void ApplyPlotSettings(TChart& chart, TCustomLineSeries& series, TPlotPlace place);
