#pragma once
// The line series of the program. The fast line comes with it, as both kinds are used side by
// side.

#include "CustomSeries.h"
#include "FastLineSeries.h"

class TLineSeries : public TCustomSeries {};
