// How an axis looks: whether it is shown, the room its labels and ticks take, which values get
// labels, and the axis line, ticks, dotted grid, minor ticks and label texts.

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "AxisPanel.h"
#include "ChartAxis.h"

namespace {

std::string Text15(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

} // namespace

bool TChartAxis::UsedByActiveSeries() const {
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        const TChartSeries* series = Chart->Series(i);
        if (series->Active() && Chart->SeriesUsesAxis(*series, *this))
            return true;
    }
    return false;
}

bool TChartAxis::IsShown() const {
    if (!Chart->AxisVisible() || !Visible())
        return false;
    if (IsDepthAxis())
        return Chart->View3D();
    return !Chart->AnyActiveSeries() || UsedByActiveSeries();
}

TAxisLabelStyle TChartAxis::EffectiveLabelStyle() const {
    if (LabelStyle() != talAuto)
        return LabelStyle();
    TAxisLabelStyle style = talNone;
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        const TChartSeries* series = Chart->Series(i);
        if (!series->Active() || !Chart->SeriesUsesAxis(*series, *this))
            continue;
        style = talValue;
        const bool alongThisAxis = Horizontal() == TChartSeries::ValuesVertical;
        if (alongThisAxis && std::any_of(series->PointLabels.begin(), series->PointLabels.end(),
                                         [](const std::string& label) { return !label.empty(); }))
            return talText;
    }
    return style;
}

int TChartAxis::WidestLabel() {
    const double s = LabelStep();
    double lo = ScaleMin, hi = ScaleMax;
    if (RoundFirstLabel() && s != 0) {
        lo = std::trunc(ScaleMin / s) * s;
        hi = std::trunc(ScaleMax / s) * s;
    }
    TPlotCanvas3D& canvas = Canvas();
    canvas.Font = LabelsFont();
    auto widthOf = [&](double v) { return WidestLineWidth(LabelTextOf(v)); };
    int w = 0;
    if (s != 0) {
        for (int count = 0; count < 5000; ++count) {
            w = std::max(w, widthOf(hi));
            hi -= s;
            if (hi < lo)
                break;
        }
    } else {
        w = std::max(widthOf(hi), widthOf(lo));
    }
    return w + canvas.TextWidth(" ");
}

int TChartAxis::LabelsExtent() {
    int extent = LabelsSize();
    if (extent == 0) {
        const int angle = LabelsAngle();
        const bool textHeight = (Horizontal() && (angle == 0 || angle == 180)) ||
                                (!Horizontal() && (angle == 90 || angle == 270));
        if (textHeight) {
            Canvas().Font = LabelsFont();
            extent = Canvas().TextHeight("W");
        } else {
            extent = WidestLabel();
        }
    }
    return LabelsAlternate() ? extent * 2 : extent;
}

int TChartAxis::TickBand() const {
    int band = (AxisPen().Draws() ? AxisPen().Width + 1 : 0) + (Ticks().Visible ? TickLength() : 0);
    if (MinorTicks().Visible)
        band = std::max(band, MinorTickLength());
    return band;
}

void TChartAxis::ReserveAxisSpace(TRect& rect, bool main) {
    auto take = [&](int k) -> int {
        switch (AxisKind) {
        case akBottom:
            return rect.Bottom -= k;
        case akTop:
            return rect.Top += k;
        case akLeft:
            return rect.Left += k;
        default:
            return rect.Right -= k;
        }
    };
    const int outward = AxisKind == akBottom || AxisKind == akRight ? 1 : -1;
    if (!main) {
        LinePos = take(0);
        LabelsPos = LinePos + outward * TickBand();
        TitlePos = LabelsPos + outward * LabelsExtent();
        return;
    }
    if (!TitleCaption().empty()) {
        Canvas().Font = TitleFont();
        // Titles run along their axis (angle 0 below and above, 90 and 270 at the sides), so
        // they take the height of their text across it.
        TitlePos = take(Canvas().TextHeight("W"));
    }
    if (Labels())
        LabelsPos = take(LabelsExtent());
    const int band = TickBand(); // the wall size is 0 in a two-dimensional view
    if (band > 0)
        take(band);
}

void TChartAxis::EmitLabel(double value) {
    const int p = PixelOfValue(value);
    if (!LabelsOnAxis() && !(FirstPixel < p && p < LastPixel))
        return;
    if (!TickOnLabelsOnly())
        TickPositions.push_back(p);
    if (!Labels())
        return;
    const TPendingLabel label{p, LabelTextOf(value), value};
    if (TickOnLabelsOnly())
        TickPositions.push_back(p);
    if (LabelsBehind())
        DrawLabelText(label);
    else
        PendingLabels.push_back(label);
}

void TChartAxis::CollectValueLabels() {
    TickPositions.clear();
    Items.clear();
    PendingLabels.clear();
    if (EffectiveLabelStyle() != talValue)
        return;
    Canvas().Font = LabelsFont();
    const double s = LabelStep();
    if (!(s > 0) || ScaleMax < ScaleMin)
        return;
    if (std::fabs(ScaleRange / s) >= 10000)
        return;
    double q = ScaleMax / s;
    if (Text15(ScaleMin) != Text15(ScaleMax) && RoundFirstLabel())
        q = std::trunc(q) * s;
    else
        q = ScaleMax;
    while (q > ScaleMax)
        q -= s;
    if (RangeIsZero || std::fabs(ScaleMax - ScaleMin) < 1e-10 || Text15(q) == Text15(q - s)) {
        EmitLabel(q);
        return;
    }
    const double lowest = ScaleMin >= 0 ? (ScaleMin - 1e-12) / (1 + 1e-12) : ScaleMin;
    while (q >= lowest) {
        EmitLabel(q);
        q -= s;
    }
}

void TChartAxis::DrawTick(int pixel, int offset, int length) {
    TPlotCanvas3D& canvas = Canvas();
    switch (AxisKind) {
    case akBottom:
        canvas.Line(pixel, LinePos + offset, pixel, LinePos + offset + length);
        break;
    case akTop:
        canvas.Line(pixel, LinePos - offset, pixel, LinePos - offset - length);
        break;
    case akLeft:
        canvas.Line(LinePos - offset, pixel, LinePos - offset - length, pixel);
        break;
    default:
        canvas.Line(LinePos + offset, pixel, LinePos + offset + length, pixel);
    }
}

void TChartAxis::DrawGridLine(int pixel) {
    if (pixel <= FirstPixel || pixel >= LastPixel)
        return; // never on an end of the axis
    const TRect& r = Chart->ChartRect;
    if (Horizontal())
        Canvas().Line(pixel, r.Top + 1, pixel, r.Bottom);
    else
        Canvas().Line(r.Left + 1, pixel, r.Right, pixel);
}

std::vector<int> TChartAxis::MinorPositions() const {
    std::vector<int> positions;
    const std::vector<int>& t = TickPositions;
    const std::size_t n = t.size();
    const int c = MinorTickCount();
    const double f = 1.0 / (c + 1);
    auto add = [&](int p) {
        if (FirstPixel < p && p < LastPixel)
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

void TChartAxis::DrawLabelText(const TPendingLabel& label) {
    Items.push_back(label);
    TPlotCanvas3D& canvas = Canvas();
    canvas.Font = LabelsFont();
    canvas.Brush.Style = bsClear;
    canvas.TransparentText = true;
    const int h = canvas.TextHeight("W");
    const std::vector<std::string> lines = SplitLabelLines(label.Text);
    const int k = int(lines.size());
    for (int j = 0; j < k; ++j) {
        switch (AxisKind) {
        case akBottom:
            canvas.TextAlign = taCenter;
            canvas.TextOut(label.Pixel, LabelsPos + j * h, lines[j]);
            break;
        case akTop:
            canvas.TextAlign = taCenter;
            canvas.TextOut(label.Pixel, LabelsPos - (k - j) * h, lines[j]);
            break;
        default: {
            const int top = label.Pixel - h / 2 - int(std::nearbyint(h * 0.5 * (k + 1))) + h + j * h;
            canvas.TextAlign = AxisKind == akLeft ? taRightJustify : taLeftJustify;
            canvas.TextOut(LabelsPos, top, lines[j]);
        }
        }
    }
    canvas.TextAlign = taLeftJustify;
}

void TChartAxis::PaintAxis() {
    TPlotCanvas3D& canvas = Canvas();
    canvas.BeginGroup(Identifier());
    const TRect& r = Chart->ChartRect;
    switch (AxisKind) {
    case akBottom:
        LinePos = r.Bottom;
        break;
    case akTop:
        LinePos = r.Top;
        break;
    case akLeft:
        LinePos = r.Left;
        break;
    default:
        LinePos = r.Right;
    }
    CollectValueLabels();
    canvas.Brush.Style = bsClear;
    canvas.TransparentText = true;
    if (AxisPen().Draws()) {
        canvas.Pen = AxisPen();
        if (Horizontal())
            canvas.Line(FirstPixel, LinePos, LastPixel, LinePos);
        else
            canvas.Line(LinePos, FirstPixel, LinePos, LastPixel);
    }
    if (TickLength() != 0 && Ticks().Visible) {
        canvas.BeginGroup("Ticks");
        canvas.Pen = Ticks();
        for (int p : TickPositions)
            DrawTick(p, 1, TickLength());
        canvas.EndGroup();
    }
    if (Grid().Visible) {
        canvas.BeginGroup("Grid");
        TPlotPen pen = Grid();
        if (pen.Color == 0x20000000)
            pen.Color = 0x808080;
        canvas.Pen = pen;
        const int every = std::max(1, GridDrawEvery());
        for (std::size_t i = 0; i < TickPositions.size(); ++i) {
            if (GridCentered()) {
                if (i >= 1 && i % every == 0)
                    DrawGridLine(int(std::nearbyint((TickPositions[i] + TickPositions[i - 1]) * 0.5)));
            } else if (i % every == 0) {
                DrawGridLine(TickPositions[i]);
            }
        }
        canvas.EndGroup();
    }
    if (TickInnerLength() != 0 && TicksInner().Visible) {
        canvas.BeginGroup("InnerTicks");
        canvas.Pen = TicksInner();
        for (int p : TickPositions)
            DrawTick(p, -1, -TickInnerLength());
        canvas.EndGroup();
    }
    if (!TickPositions.empty()) {
        const std::vector<int> minor = MinorPositions();
        if (MinorTickLength() != 0 && MinorTicks().Visible) {
            canvas.BeginGroup("MinorTicks");
            canvas.Pen = MinorTicks();
            for (int p : minor)
                DrawTick(p, 1, MinorTickLength());
            canvas.EndGroup();
        }
        if (MinorGrid().Visible) {
            canvas.Pen = MinorGrid();
            for (int p : minor)
                DrawGridLine(p);
        }
    }
    canvas.TransparentText = false;
    if (!LabelsBehind()) {
        canvas.BeginGroup("Labels");
        for (const TPendingLabel& label : PendingLabels)
            DrawLabelText(label);
        canvas.EndGroup();
    }
    canvas.EndGroup();
}
