#pragma once
// The chart component: the four titles, the legend and the walls on top of the axis panel.

#include "AxisPanel.h"
#include "ChartTitle.h"
#include "ChartWall.h"

class TCustomChart : public TCustomAxisPanel {
    Q_OBJECT
public:
    explicit TCustomChart(QWidget* parent = nullptr);

    TChartTitle Title{[this] { CanvasChanged(); }, false};
    TChartTitle SubTitle{[this] { CanvasChanged(); }, false};
    TChartTitle Foot{[this] { CanvasChanged(); }, true};
    TChartTitle SubFoot{[this] { CanvasChanged(); }, true};
    TChartBackWall BackWall{[this] { CanvasChanged(); }};
    TChartWall LeftWall{[this] { CanvasChanged(); }};
    TChartWall RightWall{[this] { CanvasChanged(); }};
    TChartWall BottomWall{[this] { CanvasChanged(); }};

    PLOT_PROPERTY(bool, LegendVisible, true)

    // The back wall's colour unless the wall is transparent, else the panel's.
    TColor GetBackColor() const override;
    bool IsColorFree(TColor color, bool checkBackground, const TChartSeries* excluded) const override;

protected:
    void DrawTitlesAndLegend(bool beforeSeries) override;
    void DrawWalls() override;
    void DrawBackWall();
};

class TChart : public TCustomChart {
    Q_OBJECT
public:
    using TCustomChart::TCustomChart;
};
