#pragma once
// The line series of the program. The fast line comes with it, as both kinds are used side by
// side.

#include "chart/panel/CustomSeries.h"
#include "chart/panel/FastLineSeries.h"

class TLineSeries : public TCustomSeries {};
