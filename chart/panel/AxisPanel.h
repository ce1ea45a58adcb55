#pragma once
// The chart panel's layout and painting: the series (with their palette colours), the six
// axes, the four titles and the walls, and the drawing order of a paint. A paint computes what
// each axis needs from the series, lays the axes out, and hands every series a draw context.

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "ChartAxis.h"
#include "ChartSeries.h"
#include "ChartTitle.h"
#include "ChartWall.h"
#include "ColorPalettes.h"
#include "PlotPanelExtended.h"

class TCustomAxisPanel : public TCustomPlotPanelExtended {
    Q_OBJECT
  public:
    explicit TCustomAxisPanel(QWidget* parent = nullptr);
    ~TCustomAxisPanel() override;

    bool AxisBehind() const { return AxisBehindValue; }
    void SetAxisBehind(bool value) {
        if (ChangeValue(AxisBehindValue, value))
            Changed();
    }
    bool AxisVisible() const { return AxisVisibleValue; }
    void SetAxisVisible(bool value) {
        if (ChangeValue(AxisVisibleValue, value))
            Changed();
    }
    bool ClipPoints() const { return ClipPointsValue; }
    void SetClipPoints(bool value) {
        if (ChangeValue(ClipPointsValue, value))
            Changed();
    }
    bool View3DWalls() const { return View3DWallsValue; }
    void SetView3DWalls(bool value) {
        if (ChangeValue(View3DWallsValue, value))
            Changed();
    }
    bool LegendVisible() const { return LegendVisibleValue; }
    void SetLegendVisible(bool value) {
        if (ChangeValue(LegendVisibleValue, value))
            Changed();
    }

    TChartTitle Title{[this] { CanvasChanged(); }, false};
    TChartTitle SubTitle{[this] { CanvasChanged(); }, false};
    TChartTitle Foot{[this] { CanvasChanged(); }, true};
    TChartTitle SubFoot{[this] { CanvasChanged(); }, true};
    TChartBackWall BackWall{[this] { CanvasChanged(); }};
    TChartWall LeftWall{[this] { CanvasChanged(); }};
    TChartWall RightWall{[this] { CanvasChanged(); }};
    TChartWall BottomWall{[this] { CanvasChanged(); }};

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

    bool SeriesUsesAxis(const TChartSeries& series, const TChartAxis& axis) const;
    // The largest (or smallest) value on the axis among the series that use it.
    double AxisDataLimit(const TChartAxis& axis, bool upper) const;
    // What the axis needs to know of the series for a layout.
    TAxisFacts AxisFacts(const TChartAxis& axis) const;
    // Moves the axis's range by `delta` when the data reach beyond its end in that direction.
    void ShiftAxisWithinData(TChartAxis& axis, double delta);

    // Palettes.
    int ColorPaletteIndex() const { return PaletteIndex; }
    void SetColorPaletteIndex(int index);
    const TColorArray& ChartPalette() const { return Palette; }
    TColor PaletteColor(int index) const;
    TColor FreeSeriesColor(bool checkBackground, const TChartSeries* excluded) const;
    // A colour no series has (other than `excluded`), nor the background when asked.
    bool IsColorFree(TColor color, bool checkBackground, const TChartSeries* excluded) const;
    void RecolorSeries();

    // The back wall's colour unless the wall is transparent, else the panel's.
    TColor GetBackColor() const override;

    // Series are clipped to the plot rectangle less its left column (the wall's outline), within
    // the canvas's current clip.
    TRect SeriesClipRect() const {
        const TRect& r = ChartRect();
        return {r.Left + 1, r.Top, r.Right, r.Bottom};
    }

    std::function<void()> OnBeforeDrawChart, OnBeforeDrawAxes, OnBeforeDrawSeries, OnAfterDraw;

  protected:
    void InternalDraw(const TRect& bounds) override;
    // Drawn last, over everything else (the zoom band).
    virtual void DrawOverlay() {}

  private:
    void AddOwnedSeries(std::unique_ptr<TChartSeries> series);
    void UsePalette(int index);

    void DrawTitlesAndLegend(bool beforeSeries);
    void DrawWalls();
    void DrawBackWall();
    void LayoutAxes();
    void DrawAxes();
    void DrawAllSeries();
    TSeriesDrawContext ContextFor(const TChartSeries& series);
    void PaintAddedPoint(TChartSeries& series, int index);

    std::vector<std::unique_ptr<TChartAxis>> Axes;
    std::vector<std::unique_ptr<TChartSeries>> SeriesList;
    int PaletteIndex = 0;
    TColorArray Palette;

    // The published settings' values.
    bool AxisBehindValue = true;
    bool AxisVisibleValue = true;
    bool ClipPointsValue = true;
    bool View3DWallsValue = true;
    bool LegendVisibleValue = true;
};

// The per-user "DefaultPalette" setting a new chart starts with: 13 when it is missing or
// not an integer.
int DefaultPaletteSetting();
