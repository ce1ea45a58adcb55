#pragma once
// The chart component: titles, legend and walls on top of the axis panel.

#include "AxisPanel.h"

class TCustomChart : public TCustomAxisPanel {
    Q_OBJECT
public:
    using TCustomAxisPanel::TCustomAxisPanel;
};

class TChart : public TCustomChart {
    Q_OBJECT
public:
    using TCustomChart::TCustomChart;
};
