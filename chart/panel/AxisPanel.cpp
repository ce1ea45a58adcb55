#include "AxisPanel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include <QSettings>

#include "CanvasStateGuard.h"

int DefaultPaletteSetting() {
    QSettings settings(QStringLiteral("Varnok Software"), QStringLiteral("Plotwell Pro"));
    settings.beginGroup(QStringLiteral("Editor"));
    const QVariant value = settings.value(QStringLiteral("DefaultPalette"));
    bool isInteger = false;
    const int palette = value.toString().trimmed().toInt(&isInteger);
    return value.isValid() && isInteger ? palette : OperaPalette;
}

TCustomAxisPanel::TCustomAxisPanel(QWidget* parent) : TCustomPlotPanelExtended(parent) {
    SetRepaintEnabled(false);
    for (TAxisKind kind : AllAxes)
        Axes.push_back(std::make_unique<TChartAxis>(kind, [this] { Invalidate(); }));
    SetColorPaletteIndex(DefaultPaletteSetting());
    SetRepaintEnabled(true);
}

TCustomAxisPanel::~TCustomAxisPanel() {
    IsDestroying = true;
    for (const auto& series : SeriesList) {
        series->OnChange = nullptr;
        series->OnPaintAddedPoint = nullptr;
    }
    SeriesList.clear();
}

void TCustomAxisPanel::AddOwnedSeries(std::unique_ptr<TChartSeries> series) {
    if (std::any_of(SeriesList.begin(), SeriesList.end(),
                    [&](const auto& held) { return held.get() == series.get(); }))
        return;
    series->OnChange = [this] { Invalidate(); };
    series->OnPaintAddedPoint = [this](TChartSeries& sender, int index) {
        PaintAddedPoint(sender, index);
    };
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
    return !(checkBackground && (color == Color() || color == BackWall.Color()));
}

TColor TCustomAxisPanel::GetBackColor() const {
    return BackWall.Transparent() ? Color() : BackWall.Color();
}

void TCustomAxisPanel::DrawTitlesAndLegend(bool beforeSeries) {
    TPlotCanvas3D& canvas = Canvas();
    canvas.BeginGroup("Titles");
    const std::pair<const char*, TChartTitle*> titles[] = {
        {"Title", &Title}, {"Subtitle", &SubTitle}, {"Foot", &Foot}, {"Subfoot", &SubFoot}};
    for (const auto& [name, title] : titles) {
        if (title->CustomPosition() == beforeSeries)
            continue;
        canvas.BeginGroup(name);
        if (title->Draw(canvas, PlotRect))
            RecalcWidthHeight();
        canvas.EndGroup();
    }
    canvas.EndGroup();
}

void TCustomAxisPanel::DrawWalls() {
    // Walls go behind series that work on axes, which both line kinds do; in a
    // two-dimensional view only the back wall is drawn.
    if (!View3DWalls() || !BackWall.Visible())
        return;
    Canvas().BeginGroup("Walls");
    Canvas().BeginGroup("Back");
    DrawBackWall();
    Canvas().EndGroup();
    Canvas().EndGroup();
}

void TCustomAxisPanel::DrawBackWall() {
    TPlotCanvas3D& canvas = Canvas();
    const TRect& r = ChartRect();
    const TCanvasStateGuard keep(canvas);
    canvas.Pen = BackWall.Pen();
    if (BackWall.Transparent()) {
        canvas.Brush.Style = bsClear;
    } else {
        canvas.Brush = {BackWall.Color(), BackWall.BrushStyle()};
        canvas.Gradient.Assign(BackWall.Gradient);
    }
    int top = r.Top, bottom = r.Bottom;
    if (BackWall.StartPosition() != 0)
        top = r.Top + int(std::nearbyint(BackWall.StartPosition() * ChartHeight() * 0.01));
    if (BackWall.EndPosition() != 100)
        bottom -= int(std::nearbyint((100 - BackWall.EndPosition()) * (bottom - r.Top) * 0.01));
    const TRect wall = {r.Left, top, r.Right + 1,
                        BackWall.EndPosition() == 100 ? bottom + 1 : bottom};
    if (canvas.Gradient.Visible() && canvas.Brush.Style != bsClear) {
        canvas.FillRect(wall);
        const TCanvasStateGuard outlineOnly(canvas);
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(wall);
    } else {
        canvas.Rectangle(wall);
    }
}

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

TAxisFacts TCustomAxisPanel::AxisFacts(const TChartAxis& axis) const {
    TAxisFacts facts;
    bool usedByActive = false;
    facts.AutoLabelStyle = talNone;
    bool textLabels = false;
    // Points are placed along the horizontal axis for series whose values rise vertically.
    const bool alongThisAxis = axis.Horizontal() == TChartSeries::ValuesVertical;
    for (const auto& series : SeriesList) {
        if (!series->Active() || !SeriesUsesAxis(*series, axis))
            continue;
        usedByActive = true;
        int low = 0, high = 0;
        if (axis.Horizontal())
            series->HorizMargins(low, high); // left, right
        else
            series->VertMargins(high, low); // top, bottom
        facts.SeriesMargins.emplace_back(low, high);
        if (!textLabels) {
            facts.AutoLabelStyle = talValue;
            if (alongThisAxis &&
                std::any_of(series->PointLabels.begin(), series->PointLabels.end(),
                            [](const std::string& label) { return !label.empty(); })) {
                facts.AutoLabelStyle = talText;
                textLabels = true;
            }
        }
        if (alongThisAxis)
            facts.FewestPoints = std::min(facts.FewestPoints, series->PointCount());
    }
    if (!AxisVisible() || !axis.Visible())
        facts.Shown = false;
    else if (axis.IsDepthAxis())
        facts.Shown = View3D();
    else
        facts.Shown = !AnyActiveSeries() || usedByActive;
    facts.DataMinimum = AxisDataLimit(axis, false);
    facts.DataMaximum = AxisDataLimit(axis, true);
    return facts;
}

void TCustomAxisPanel::ShiftAxisWithinData(TChartAxis& axis, double delta) {
    const bool canShift = (delta > 0 && AxisDataLimit(axis, true) > axis.Maximum()) ||
                          (delta < 0 && AxisDataLimit(axis, false) < axis.Minimum());
    if (canShift)
        axis.ShiftRange(delta);
}

// Every axis takes its facts and its range from the series; each shown one takes its room
// from the plot rectangle; then every axis fixes its pixel extent and its offsets.
void TCustomAxisPanel::LayoutAxes() {
    for (auto& axis : Axes) {
        axis->TakeFacts(AxisFacts(*axis));
        axis->UpdateRange();
        axis->UpdatePixelExtent(PlotRect);
    }
    for (auto& held : Axes) {
        TChartAxis& axis = *held;
        if (!axis.Layout().Shown)
            continue;
        TRect reduced = PlotRect;
        // The depth-top axis takes no room of its own: it stacks its parts beside the plot.
        const bool takesRoom = axis.Kind() != akDepthTop;
        axis.ReserveAxisSpace(reduced, takesRoom);
        const TRect overlap = reduced.Intersected(PlotRect);
        if (!overlap.IsEmpty())
            PlotRect = overlap;
    }
    RecalcWidthHeight();
    for (auto& axis : Axes) {
        axis->UpdatePixelExtent(PlotRect);
        axis->ApplyOffsets(PlotRect);
    }
}

void TCustomAxisPanel::DrawAxes() {
    if (!AxisVisible())
        return;
    if (OnBeforeDrawAxes)
        OnBeforeDrawAxes();
    Canvas().BeginGroup("Axes");
    for (auto& axis : Axes)
        if (axis->Layout().Shown)
            axis->PaintAxis(Canvas(), PlotRect);
    Canvas().EndGroup();
}

TSeriesDrawContext TCustomAxisPanel::ContextFor(const TChartSeries& series) {
    return {Canvas(), Axis(TAxisKind(series.HorizAxis)).Mapping(),
            Axis(TAxisKind(series.VertAxis)).Mapping(), PlotRect};
}

void TCustomAxisPanel::DrawAllSeries() {
    if (OnBeforeDrawSeries)
        OnBeforeDrawSeries();
    TPlotCanvas3D& canvas = Canvas();
    canvas.BeginGroup("Series");
    for (const auto& series : SeriesList) {
        if (!series->Active())
            continue;
        TSeriesDrawContext context = ContextFor(*series);
        series->ComputeVisibleRange(context);
        if (context.From == -1)
            continue;
        if (series->BeforeDrawValues)
            series->BeforeDrawValues(series.get());
        if (ClipPoints())
            canvas.ClipRectangle(SeriesClipRect());
        {
            const TCanvasStateGuard keep(canvas);
            series->DrawPoints(context);
        }
        if (ClipPoints())
            canvas.UnClipRectangle();
        if (series->AfterDrawValues)
            series->AfterDrawValues(series.get());
    }
    canvas.EndGroup();
}

// A series that draws each add itself, onto the last paint's picture and layout.
void TCustomAxisPanel::PaintAddedPoint(TChartSeries& series, int index) {
    series.DrawAddedPoint(ContextFor(series), index);
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
    DrawOverlay();
    Canvas().ResetState();
    if (OnAfterDraw)
        OnAfterDraw();
}
