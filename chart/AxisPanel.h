#pragma once
// The layer of a chart panel that holds the series (with their palette colours) and runs the
// drawing order of a paint.

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "ChartAxis.h"
#include "ChartSeries.h"
#include "ColorPalettes.h"
#include "PlotPanel.h"

class TCustomAxisPanel : public TCustomPlotPanelExtended {
    Q_OBJECT
public:
    explicit TCustomAxisPanel(QWidget* parent = nullptr);
    ~TCustomAxisPanel() override;

    PLOT_PROPERTY(bool, AxisBehind, true)
    PLOT_PROPERTY(bool, AxisVisible, true)
    PLOT_PROPERTY(bool, ClipPoints, true)
    PLOT_PROPERTY(bool, View3DWalls, true)

    // The series joins the chart (taking a free palette colour unless it has its own) and the
    // chart takes it over; returns it for the caller's own use.
    template <class TSeries> TSeries* AddSeries(std::unique_ptr<TSeries> series) {
        TSeries* raw = series.get();
        AddOwnedSeries(std::unique_ptr<TChartSeries>(std::move(series)));
        return raw;
    }
    int SeriesCount() const { return static_cast<int>(SeriesList.size()); }
    bool AnyActiveSeries() const {
        return std::any_of(SeriesList.begin(), SeriesList.end(),
                           [](const auto& series) { return series->Active(); });
    }
    TChartSeries* Series(int index) const { return SeriesList[index].get(); }

    // The six axes, in the order every per-axis loop follows: bottom, top, left, right,
    // depth, depth-top.
    TChartAxis& Axis(TAxisKind kind) { return *Axes[kind]; }
    const TChartAxis& Axis(TAxisKind kind) const { return *Axes[kind]; }
    TChartAxis& BottomAxis() { return Axis(akBottom); }
    TChartAxis& LeftAxis() { return Axis(akLeft); }
    TChartAxis& TopAxis() { return Axis(akTop); }
    TChartAxis& RightAxis() { return Axis(akRight); }

    // The largest (or smallest) value on the axis among the series that use it.
    double AxisDataLimit(const TChartAxis& axis, bool upper) const;
    bool SeriesUsesAxis(const TChartSeries& series, const TChartAxis& axis) const;
    // Whether an active series placed along this axis has at most `count` points.
    bool SparsePositionSeries(const TChartAxis& axis, int count) const;

    // Palettes.
    int ColorPaletteIndex() const { return PaletteIndex; }
    void SetColorPaletteIndex(int index);
    const TColorArray& ChartPalette() const { return Palette; }
    TColor PaletteColor(int index) const;
    TColor FreeSeriesColor(bool checkBackground, const TChartSeries* excluded) const;
    virtual bool IsColorFree(TColor color, bool checkBackground, const TChartSeries* excluded) const;
    void RecolorSeries();

    // Series are clipped to the plot rectangle less its left column (the wall's outline), within
    // the canvas's current clip.
    TRect SeriesClipRect() const {
        return {ChartRect.Left + 1, ChartRect.Top, ChartRect.Right, ChartRect.Bottom};
    }

    std::function<void()> OnBeforeDrawChart, OnBeforeDrawAxes, OnBeforeDrawSeries, OnAfterDraw;

protected:
    void InternalDraw(const TRect& bounds) override;
    virtual void DrawTitlesAndLegend(bool beforeSeries);
    virtual void DrawWalls();

private:
    void AddOwnedSeries(std::unique_ptr<TChartSeries> series);
    void UsePalette(int index);

    void LayoutAxes();
    void DrawAxes();
    void DrawAllSeries();

    std::vector<std::unique_ptr<TChartAxis>> Axes;
    std::vector<std::unique_ptr<TChartSeries>> SeriesList;
    int PaletteIndex = 0;
    TColorArray Palette;
};

// The per-user "DefaultPalette" setting a new chart starts with: 13 when it is missing or
// not an integer.
int DefaultPaletteSetting();
