// How an axis looks: the room its labels and ticks take, which values get labels, and the axis
// line, ticks, dotted grid, minor ticks and label texts.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chart/panel/ChartAxis.h"
#include "chart/raster/CanvasStateGuard.h"
#include "chart/raster/PlotCanvas.h"

namespace {

std::string Text15(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

// The widest label is looked for among this many labels at most, from the top of the range.
constexpr int MostLabelsMeasured = 5000;
// A range of this many label steps or more gets no value labels at all.
constexpr double MostLabelSteps = 10000;

// What differs per axis kind, in one place.
struct TAxisSide {
    int TRect::*Edge; // the plot's edge the axis line lies on, and the room is taken from
    int Outward;      // away from the plot along the pixels: +1 right or down, -1 left or up
    int StackOutward; // the direction an axis placed beside another stacks its parts
    TAlignment LabelAlign;
};

constexpr TAxisSide Sides[] = {
    {&TRect::Bottom, +1, +1, taCenter},     // akBottom
    {&TRect::Top, -1, -1, taCenter},        // akTop
    {&TRect::Left, -1, -1, taRightJustify}, // akLeft
    {&TRect::Right, +1, +1, taLeftJustify}, // akRight
    {&TRect::Right, +1, -1, taLeftJustify}, // akDepth
    {&TRect::Right, +1, -1, taLeftJustify}, // akDepthTop
};

} // namespace

int TChartAxis::Outward() const {
    return Sides[AxisKind].Outward;
}

TAxisLabelStyle TChartAxis::EffectiveLabelStyle() const {
    return LabelStyle() != talAuto ? LabelStyle() : Known.AutoLabelStyle;
}

int TChartAxis::WidestLabel() const {
    const double s = LabelStep();
    double lo = Map.ScaleMin, hi = Map.ScaleMax;
    if (RoundFirstLabel() && s != 0) {
        lo = std::trunc(Map.ScaleMin / s) * s;
        hi = std::trunc(Map.ScaleMax / s) * s;
    }
    auto widthOf = [&](double v) { return WidestLineWidth(LabelTextOf(v)); };
    int w = 0;
    if (s != 0) {
        for (int count = 0; count < MostLabelsMeasured; ++count) {
            w = std::max(w, widthOf(hi));
            hi -= s;
            if (hi < lo)
                break;
        }
    } else {
        w = std::max(widthOf(hi), widthOf(lo));
    }
    return w + TextWidthIn(LabelsFont(), " ");
}

int TChartAxis::LabelsExtent() const {
    return std::max(OwnLabelsExtent(), LabelsMinimumSize());
}

int TChartAxis::OwnLabelsExtent() const {
    int extent = LabelsSize();
    if (extent == 0) {
        const int angle = LabelsAngle();
        const bool textHeight = (Horizontal() && (angle == 0 || angle == 180)) ||
                                (!Horizontal() && (angle == 90 || angle == 270));
        extent = textHeight ? TextHeightIn(LabelsFont()) : WidestLabel();
    }
    return LabelsAlternate() ? extent * 2 : extent;
}

int TChartAxis::TickBand() const {
    int band = (AxisPen().Draws() ? AxisPen().Width + 1 : 0) + (Ticks().Visible ? TickLength() : 0);
    if (MinorTicks().Visible)
        band = std::max(band, MinorTickLength());
    return band;
}

void TChartAxis::ReserveAxisSpace(TRect& rect, bool takesRoom) {
    const TAxisSide& side = Sides[AxisKind];
    auto take = [&](int k) { return rect.*side.Edge -= side.Outward * k; };
    if (!takesRoom) {
        Laid.LinePos = take(0);
        Laid.LabelsPos = Laid.LinePos + side.StackOutward * TickBand();
        Laid.TitlePos = Laid.LabelsPos + side.StackOutward * LabelsExtent();
        return;
    }
    if (!TitleCaption().empty()) {
        // Titles run along their axis (angle 0 below and above, 90 and 270 at the sides), so
        // they take the height of their text across it.
        Laid.TitlePos = take(TextHeightIn(TitleFont()));
    }
    if (Labels()) {
        Laid.LabelsAsked = OwnLabelsExtent();
        Laid.LabelsPos = take(std::max(Laid.LabelsAsked, LabelsMinimumSize()));
    }
    const int band = TickBand(); // the wall size is 0 in a two-dimensional view
    if (band > 0)
        take(band);
}

void TChartAxis::EmitLabel(double value) {
    const int p = PixelOfValue(value);
    if (!LabelsOnAxis() && !(Map.FirstPixel < p && p < Map.LastPixel))
        return;
    if (!TickOnLabelsOnly())
        Laid.TickPositions.push_back(p);
    if (!Labels())
        return;
    if (TickOnLabelsOnly())
        Laid.TickPositions.push_back(p);
    Laid.PendingLabels.push_back({p, LabelTextOf(value), value});
}

void TChartAxis::CollectValueLabels() {
    Laid.TickPositions.clear();
    Laid.Items.clear();
    Laid.PendingLabels.clear();
    if (EffectiveLabelStyle() != talValue)
        return;
    const double ScaleMin = Map.ScaleMin, ScaleMax = Map.ScaleMax;
    if (Rule) {
        // The rule says where the labels go; the axis draws them as its own.
        const auto width = [this](const std::string& text) { return WidestLineWidth(text); };
        for (double value : Rule->Ticks(ScaleMin, ScaleMax, Map.PixelLength, width))
            EmitLabel(value);
        return;
    }
    const double s = LabelStep();
    if (!(s > 0) || ScaleMax < ScaleMin)
        return;
    if (std::fabs(Map.ScaleRange / s) >= MostLabelSteps)
        return;
    double q = ScaleMax / s;
    if (Text15(ScaleMin) != Text15(ScaleMax) && RoundFirstLabel())
        q = std::trunc(q) * s;
    else
        q = ScaleMax;
    while (q > ScaleMax)
        q -= s;
    if (Map.RangeIsZero || std::fabs(ScaleMax - ScaleMin) < 1e-10 || Text15(q) == Text15(q - s)) {
        EmitLabel(q);
        return;
    }
    const double lowest = ScaleMin >= 0 ? (ScaleMin - 1e-12) / (1 + 1e-12) : ScaleMin;
    while (q >= lowest) {
        EmitLabel(q);
        q -= s;
    }
}

void TChartAxis::DrawTick(TPlotCanvas3D& canvas, int pixel, int offset, int length) const {
    const int outward = Sides[AxisKind].Outward;
    const int from = Laid.LinePos + outward * offset, to = from + outward * length;
    if (Horizontal())
        canvas.Line(pixel, from, pixel, to);
    else
        canvas.Line(from, pixel, to, pixel);
}

void TChartAxis::DrawGridLine(TPlotCanvas3D& canvas, const TRect& r, int pixel) const {
    if (pixel <= Map.FirstPixel || pixel >= Map.LastPixel)
        return; // never on an end of the axis
    if (Horizontal())
        canvas.Line(pixel, r.Top + 1, pixel, r.Bottom);
    else
        canvas.Line(r.Left + 1, pixel, r.Right, pixel);
}

std::vector<int> TChartAxis::MinorPositions() const {
    std::vector<int> positions;
    const std::vector<int>& t = Laid.TickPositions;
    const std::size_t n = t.size();
    const int c = MinorTickCount();
    const double f = 1.0 / (c + 1);
    auto add = [&](int p) {
        if (Map.FirstPixel < p && p < Map.LastPixel)
            positions.push_back(p);
    };
    if (n > 1) {
        const double d = (t[1] - t[0]) * f;
        for (int j = 1; j <= c; ++j) {
            add(t[0] - int(std::nearbyint(j * d)));
            add(t[n - 1] + int(std::nearbyint(j * d)));
        }
    }
    for (std::size_t i = 1; i < n; ++i) {
        const double d = (t[i] - t[i - 1]) * f;
        for (int j = 1; j <= c; ++j)
            add(t[i] - int(std::nearbyint(j * d)));
    }
    return positions;
}

void TChartAxis::DrawLabelText(TPlotCanvas3D& canvas, const TPendingLabel& label) {
    Laid.Items.push_back(label);
    const TAxisSide& side = Sides[AxisKind];
    const TCanvasStateGuard keep(canvas);
    canvas.Font = LabelsFont();
    canvas.Brush.Style = bsClear;
    canvas.TransparentText = true;
    canvas.TextAlign = side.LabelAlign;
    const int h = canvas.TextHeight("W");
    const std::vector<std::string> lines = SplitLabelLines(label.Text);
    const int k = int(lines.size());
    for (int j = 0; j < k; ++j) {
        if (Horizontal()) {
            // Below the line the lines run down from it; above it they end at it.
            const int top =
                side.Outward > 0 ? Laid.LabelsPos + j * h : Laid.LabelsPos - (k - j) * h;
            canvas.TextOut(label.Pixel, top, lines[j]);
        } else {
            const int top =
                label.Pixel - h / 2 - int(std::nearbyint(h * 0.5 * (k + 1))) + h + j * h;
            canvas.TextOut(Laid.LabelsPos, top, lines[j]);
        }
    }
}

void TChartAxis::PaintAxis(TPlotCanvas3D& canvas, const TRect& r) {
    const TCanvasStateGuard keep(canvas);
    canvas.BeginGroup(Identifier());
    Laid.LinePos = r.*Sides[AxisKind].Edge;
    CollectValueLabels();
    if (LabelsBehind())
        for (const TPendingLabel& label : Laid.PendingLabels)
            DrawLabelText(canvas, label);
    canvas.Brush.Style = bsClear;
    canvas.TransparentText = true;
    if (AxisPen().Draws()) {
        canvas.Pen = AxisPen();
        if (Horizontal())
            canvas.Line(Map.FirstPixel, Laid.LinePos, Map.LastPixel, Laid.LinePos);
        else
            canvas.Line(Laid.LinePos, Map.FirstPixel, Laid.LinePos, Map.LastPixel);
    }
    const std::vector<int>& ticks = Laid.TickPositions;
    if (TickLength() != 0 && Ticks().Visible) {
        canvas.BeginGroup("Ticks");
        canvas.Pen = Ticks();
        for (int p : ticks)
            DrawTick(canvas, p, 1, TickLength());
        canvas.EndGroup();
    }
    if (Grid().Visible) {
        canvas.BeginGroup("Grid");
        TPlotPen pen = Grid();
        if (pen.Color == clDefault)
            pen.Color = clGray;
        canvas.Pen = pen;
        const int every = std::max(1, GridDrawEvery());
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            if (GridCentered()) {
                if (i >= 1 && i % every == 0)
                    DrawGridLine(canvas, r, int(std::nearbyint((ticks[i] + ticks[i - 1]) * 0.5)));
            } else if (i % every == 0) {
                DrawGridLine(canvas, r, ticks[i]);
            }
        }
        canvas.EndGroup();
    }
    if (TickInnerLength() != 0 && TicksInner().Visible) {
        canvas.BeginGroup("InnerTicks");
        canvas.Pen = TicksInner();
        for (int p : ticks)
            DrawTick(canvas, p, -1, -TickInnerLength());
        canvas.EndGroup();
    }
    if (!ticks.empty()) {
        const std::vector<int> minor = MinorPositions();
        if (MinorTickLength() != 0 && MinorTicks().Visible) {
            canvas.BeginGroup("MinorTicks");
            canvas.Pen = MinorTicks();
            for (int p : minor)
                DrawTick(canvas, p, 1, MinorTickLength());
            canvas.EndGroup();
        }
        if (MinorGrid().Visible) {
            canvas.Pen = MinorGrid();
            for (int p : minor)
                DrawGridLine(canvas, r, p);
        }
    }
    if (!LabelsBehind()) {
        canvas.BeginGroup("Labels");
        for (const TPendingLabel& label : Laid.PendingLabels)
            DrawLabelText(canvas, label);
        canvas.EndGroup();
    }
    canvas.EndGroup();
}
