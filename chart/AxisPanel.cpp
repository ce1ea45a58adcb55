#include "AxisPanel.h"

#include <algorithm>

#include <QSettings>

int DefaultPaletteSetting() {
    QSettings settings(QStringLiteral("Varnok Software"), QStringLiteral("Plotwell Pro"));
    settings.beginGroup(QStringLiteral("Editor"));
    const QVariant value = settings.value(QStringLiteral("DefaultPalette"));
    bool isInteger = false;
    const int palette = value.toString().trimmed().toInt(&isInteger);
    return value.isValid() && isInteger ? palette : 13;
}

TCustomAxisPanel::TCustomAxisPanel(QWidget* parent) : TCustomPlotPanelExtended(parent) {
    SetRepaintEnabled(false);
    for (TAxisKind kind : {akBottom, akTop, akLeft, akRight, akDepth, akDepthTop})
        Axes.push_back(std::make_unique<TChartAxis>(this, kind));
    SetColorPaletteIndex(DefaultPaletteSetting());
    SetRepaintEnabled(true);
}

TCustomAxisPanel::~TCustomAxisPanel() {
    IsDestroying = true;
    SeriesList.clear();
}

void TCustomAxisPanel::AddOwnedSeries(std::unique_ptr<TChartSeries> series) {
    if (std::any_of(SeriesList.begin(), SeriesList.end(),
                    [&](const auto& held) { return held.get() == series.get(); }))
        return;
    series->Chart = this;
    // The series is not in the list yet: only the series already there count as taken.
    if (series->OwnColor == clDefault)
        series->AssignAutoColor(FreeSeriesColor(true, nullptr));
    SeriesList.push_back(std::move(series));
    Invalidate();
}

void TCustomAxisPanel::SetColorPaletteIndex(int index) {
    if (index == PaletteIndex)
        return;
    PaletteIndex = index;
    UsePalette(index);
}

void TCustomAxisPanel::UsePalette(int index) {
    Palette = ColorPalette(index);
    RecolorSeries();
    PaletteIndex = index;
    Invalidate();
}

void TCustomAxisPanel::RecolorSeries() {
    for (const auto& series : SeriesList)
        if (series->OwnColor == clDefault)
            series->AssignAutoColor(FreeSeriesColor(true, series.get()));
}

TColor TCustomAxisPanel::PaletteColor(int index) const {
    if (!Palette.empty())
        return Palette[std::size_t(index) % Palette.size()];
    return BaseColorPalette()[std::size_t(index) % BaseColorPalette().size()];
}

TColor TCustomAxisPanel::FreeSeriesColor(bool checkBackground, const TChartSeries* excluded) const {
    const int length = Palette.empty() ? int(BaseColorPalette().size()) : int(Palette.size());
    for (int i = 0;; ++i) {
        const TColor color = PaletteColor(i);
        // The last colour is taken without a test, so there always is one.
        if (i == length - 1 || IsColorFree(color, checkBackground, excluded))
            return color;
    }
}

bool TCustomAxisPanel::IsColorFree(TColor color, bool checkBackground,
                                   const TChartSeries* excluded) const {
    for (const auto& series : SeriesList)
        if (series.get() != excluded && series->SeriesColor() == color)
            return false;
    return !(checkBackground && color == Color());
}

void TCustomAxisPanel::DrawTitlesAndLegend(bool) {}

void TCustomAxisPanel::DrawWalls() {}

bool TCustomAxisPanel::SeriesUsesAxis(const TChartSeries& series, const TChartAxis& axis) const {
    return axis.Horizontal() ? series.HorizAxis == axis.Kind() : series.VertAxis == axis.Kind();
}

double TCustomAxisPanel::AxisDataLimit(const TChartAxis& axis, bool upper) const {
    const bool anyActiveUser =
        std::any_of(SeriesList.begin(), SeriesList.end(),
                    [&](const auto& s) { return s->Active() && SeriesUsesAxis(*s, axis); });
    double result = 0;
    bool taken = false;
    for (const auto& series : SeriesList) {
        if ((!series->Active() && anyActiveUser) || series->PointCount() <= 0 ||
            !SeriesUsesAxis(*series, axis))
            continue;
        const double value = axis.Horizontal() ? (upper ? series->GetMaxX() : series->GetMinX())
                                               : (upper ? series->GetMaxY() : series->GetMinY());
        if (!taken || (upper ? value > result : value < result))
            result = value;
        taken = true;
    }
    return result;
}

bool TCustomAxisPanel::SparsePositionSeries(const TChartAxis& axis, int count) const {
    // Points are placed along the horizontal axis for series whose values rise vertically.
    if (axis.Horizontal() != TChartSeries::ValuesVertical)
        return false;
    return std::any_of(SeriesList.begin(), SeriesList.end(), [&](const auto& s) {
        return s->Active() && SeriesUsesAxis(*s, axis) && s->PointCount() <= count;
    });
}

// Every axis takes its range from the series; each shown one takes its room from the plot
// rectangle; then every axis fixes its pixel extent and its offsets.
void TCustomAxisPanel::LayoutAxes() {
    for (auto& axis : Axes) {
        axis->IsShownNow = axis->IsShown();
        axis->UpdateRange();
        axis->UpdatePixelExtent();
    }
    for (std::size_t i = 0; i < Axes.size(); ++i) {
        TChartAxis& axis = *Axes[i];
        if (!axis.IsShownNow)
            continue;
        TRect reduced = ChartRect;
        axis.ReserveAxisSpace(reduced, i <= 4);
        const TRect overlap = reduced.Intersected(ChartRect);
        if (!overlap.IsEmpty())
            ChartRect = overlap;
    }
    RecalcWidthHeight();
    for (auto& axis : Axes) {
        axis->UpdatePixelExtent();
        axis->ApplyOffsets();
    }
}

void TCustomAxisPanel::DrawAxes() {
    if (!AxisVisible())
        return;
    if (OnBeforeDrawAxes)
        OnBeforeDrawAxes();
    Canvas().BeginGroup("Axes");
    for (auto& axis : Axes)
        if (axis->IsShownNow)
            axis->PaintAxis();
    Canvas().EndGroup();
}

void TCustomAxisPanel::DrawAllSeries() {
    if (OnBeforeDrawSeries)
        OnBeforeDrawSeries();
    TPlotCanvas3D& canvas = Canvas();
    canvas.BeginGroup("Series");
    for (const auto& series : SeriesList) {
        if (!series->Active())
            continue;
        series->ComputeVisibleRange();
        if (series->VisibleFrom == -1)
            continue;
        if (series->BeforeDrawValues)
            series->BeforeDrawValues(series.get());
        if (ClipPoints())
            canvas.ClipRectangle(SeriesClipRect());
        series->DrawPoints(canvas);
        if (ClipPoints())
            canvas.UnClipRectangle();
        if (series->AfterDrawValues)
            series->AfterDrawValues(series.get());
    }
    canvas.EndGroup();
}

void TCustomAxisPanel::InternalDraw(const TRect& bounds) {
    PanelPaint(bounds);
    if (OnBeforeDrawChart)
        OnBeforeDrawChart();
    DrawTitlesAndLegend(true);
    RecalcWidthHeight(); // a two-dimensional view has no depth to take
    LayoutAxes();
    DrawWalls();
    if (AxisBehind())
        DrawAxes();
    DrawAllSeries();
    if (!AxisBehind())
        DrawAxes();
    DrawTitlesAndLegend(false);
    if (Zoom.Dragging)
        PaintZoomBand();
    Canvas().ResetState();
    if (OnAfterDraw)
        OnAfterDraw();
}
