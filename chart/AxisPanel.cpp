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

void TCustomAxisPanel::InternalDraw(const TRect& bounds) {
    const bool couldRepaint = RepaintEnabled();
    SetRepaintEnabled(false);
    TPlotCanvas3D& canvas = Canvas();
    PanelPaint(bounds);
    if (OnBeforeDrawChart)
        OnBeforeDrawChart();
    DrawTitlesAndLegend(true);
    RecalcWidthHeight(); // a two-dimensional view has no depth to take
    // The axes take their room here and fix their scales; they arrive with axis drawing.
    RecalcWidthHeight();
    DrawWalls();
    if (AxisBehind() && AxisVisible() && OnBeforeDrawAxes)
        OnBeforeDrawAxes();
    if (OnBeforeDrawSeries)
        OnBeforeDrawSeries();
    if (!AxisBehind() && AxisVisible() && OnBeforeDrawAxes)
        OnBeforeDrawAxes();
    DrawTitlesAndLegend(false);
    canvas.ResetState();
    if (OnAfterDraw)
        OnAfterDraw();
    SetRepaintEnabled(couldRepaint);
}
