#include "ChartAxis.h"

#include <cmath>
#include <limits>

#include <QLocale>

#include "AxisPanel.h"

namespace {

// Round half to even, as every pixel and count rounding of the axis does.
double RoundEven(double x) {
    return std::nearbyint(x);
}

} // namespace

double NextNiceStep(double x) {
    if (std::isinf(x) || std::isnan(x))
        return 1;
    // Zero, negative and subnormal values: tenths and tens would lose the digits there.
    if (x < std::numeric_limits<double>::min())
        return std::numeric_limits<double>::min();
    // Brought into [1, 10) by tenths and tens, then the same factors back in reverse order,
    // so the result is the same double a step-by-step recursion would give.
    std::vector<double> factors;
    while (x >= 10 || x < 1) {
        const double toward = x >= 10 ? 0.1 : 10;
        x *= toward;
        factors.push_back(toward == 10 ? 0.1 : 10);
    }
    double step = x < 2 ? 2 : x < 5 ? 5 : 10;
    for (auto it = factors.rbegin(); it != factors.rend(); ++it)
        step *= *it;
    return step;
}

TChartAxis::TChartAxis(TCustomAxisPanel* chart, TAxisKind kind)
    : Chart(chart), AxisKind(kind), IsHorizontal(kind == akBottom || kind == akTop) {
    if (IsDepthAxis())
        VisibleValue = false;
}

const char* TChartAxis::Identifier() const {
    static const char* names[] = {"Bottom", "Top", "Left", "Right", "Depth", "DepthTop"};
    return names[AxisKind];
}

void TChartAxis::Changed() {
    if (Chart != nullptr)
        Chart->Invalidate();
}

TPlotCanvas3D& TChartAxis::Canvas() const {
    return Chart->Canvas();
}

void TChartAxis::SetAutomatic(bool value) {
    if (AutomaticValue == value &&
        (Loading || (AutomaticMinimumValue == value && AutomaticMaximumValue == value)))
        return;
    AutomaticValue = value;
    if (!Loading) {
        AutomaticMinimumValue = value;
        AutomaticMaximumValue = value;
    }
    Changed();
}

void TChartAxis::SetAutomaticMinimum(bool value) {
    if (AutomaticMinimumValue == value)
        return;
    AutomaticMinimumValue = value;
    if (!value)
        AutomaticValue = false;
    else if (AutomaticMaximumValue)
        AutomaticValue = true;
    Changed();
}

void TChartAxis::SetAutomaticMaximum(bool value) {
    if (AutomaticMaximumValue == value)
        return;
    AutomaticMaximumValue = value;
    if (!value)
        AutomaticValue = false;
    else if (AutomaticMinimumValue)
        AutomaticValue = true;
    Changed();
}

void TChartAxis::SetMinimum(double value) {
    if (!Loading && value > MaximumValue)
        throw AxisException("Axis Minimum Value must be <= Maximum");
    if (MinimumValue == value)
        return;
    MinimumValue = value;
    Changed();
}

void TChartAxis::SetMaximum(double value) {
    if (!Loading && value < MinimumValue)
        throw AxisException("Axis Maximum Value must be >= Minimum");
    if (MaximumValue == value)
        return;
    MaximumValue = value;
    Changed();
}

void TChartAxis::SetIncrement(double value) {
    if (value < 0)
        throw AxisException("Axis increment must be >= 0");
    if (IncrementValue == value)
        return;
    IncrementValue = value;
    Changed();
}

void TChartAxis::SetMinimumOffset(int value) {
    if (MinimumOffsetValue == value)
        return;
    MinimumOffsetValue = value;
    Changed();
}

void TChartAxis::SetMaximumOffset(int value) {
    if (MaximumOffsetValue == value)
        return;
    MaximumOffsetValue = value;
    Changed();
}

void TChartAxis::DeriveScale() {
    ScaleRange = ScaleMax - ScaleMin;
    RangeIsZero = ScaleRange == 0;
    PixelsPerUnit = RangeIsZero ? 0 : PixelLength / ScaleRange;
}

void TChartAxis::RoundRange() {
    if (PixelLength == 0 || RangeIsZero)
        return;
    bool applied = false;
    double step = 0;
    bool stepKnown = false;
    if (MaximumRound() && (AutomaticValue || AutomaticMaximumValue)) {
        step = LabelStep();
        stepKnown = true;
        if (step != 0) {
            ScaleMax = step * std::ceil(ScaleMax / step);
            applied = true;
        }
    }
    if (MinimumRound() && (AutomaticValue || AutomaticMinimumValue)) {
        if (!stepKnown)
            step = LabelStep();
        if (step != 0) {
            ScaleMin = step * std::floor(ScaleMin / step);
            applied = true;
        }
    }
    if (applied)
        DeriveScale();
}

void TChartAxis::UpdateRange() {
    // Straight to the fields: after a paint Minimum and Maximum show the data range.
    if (AutomaticValue || AutomaticMaximumValue)
        MaximumValue = Chart->AxisDataLimit(*this, true);
    if (AutomaticValue || AutomaticMinimumValue)
        MinimumValue = Chart->AxisDataLimit(*this, false);
    ScaleMax = MaximumValue;
    ScaleMin = MinimumValue;
    DeriveScale();
    RoundRange();
}

void TChartAxis::UpdatePixelExtent() {
    const TRect& r = Chart->ChartRect;
    const int origin = Horizontal() ? r.Left : r.Top;
    const int extent = Horizontal() ? r.Width() : r.Height();
    FirstPixel = origin + int(RoundEven(extent * 0.01 * StartPosition()));
    LastPixel = origin + int(RoundEven(extent * 0.01 * EndPosition()));
    PixelLength = LastPixel - FirstPixel;
    MidPixel = (FirstPixel + LastPixel) / 2;
    DeriveScale();
}

double TChartAxis::ValueAtPixel(int pixel) const {
    if (PixelLength < 1)
        return 0;
    const double a =
        double(Inverted() ? LastPixel - pixel : pixel - FirstPixel) * ScaleRange / PixelLength;
    return Horizontal() ? ScaleMin + a : ScaleMax - a;
}

void TChartAxis::ApplyOffsets() {
    for (int i = 0; i < Chart->SeriesCount(); ++i) {
        TChartSeries* series = Chart->Series(i);
        if (!series->Active() || !Chart->SeriesUsesAxis(*series, *this))
            continue;
        int low = 0, high = 0;
        if (Horizontal()) {
            series->HorizMargins(low, high); // left, right
        } else {
            series->VertMargins(high, low); // top, bottom
        }
        if (MinimumOffsetValue == 0 && AutomaticMinimumValue)
            SetMinimumOffset(low);
        if (MaximumOffsetValue == 0 && AutomaticMaximumValue)
            SetMaximumOffset(high);
    }
    int startInset = Horizontal() ? MinimumOffsetValue : MaximumOffsetValue;
    int endInset = Horizontal() ? MaximumOffsetValue : MinimumOffsetValue;
    if (Inverted())
        std::swap(startInset, endInset);
    const int oldFirst = FirstPixel, oldLast = LastPixel;
    FirstPixel += startInset;
    LastPixel -= endInset;
    PixelLength = LastPixel - FirstPixel;
    double a = ValueAtPixel(oldFirst), b = ValueAtPixel(oldLast);
    UpdatePixelExtent();
    if (a > b)
        std::swap(a, b);
    ScaleMin = a;
    ScaleMax = b;
    DeriveScale();
    RoundRange();
}

std::string TChartAxis::LabelTextOf(double value) const {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    QString text = locale.toString(value, 'f', 3);
    const QString point = locale.decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(locale.zeroDigit()))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    // A value that rounds to zero shows no sign.
    if (text == locale.negativeSign() + locale.zeroDigit())
        text = locale.zeroDigit();
    if (LabelsMultiLine())
        text.replace(' ', QChar(13));
    return text.toStdString();
}

std::vector<std::string> SplitLabelLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\r')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

int TChartAxis::WidestLineWidth(const std::string& text) const {
    int widest = 0;
    for (const std::string& line : SplitLabelLines(text))
        widest = std::max(widest, Canvas().TextWidth(line));
    return widest;
}

int TChartAxis::LabelSpan(double value) const {
    TPlotCanvas3D& canvas = Canvas();
    canvas.Font = LabelsFont();
    const std::string text = LabelTextOf(value);
    const int angle = LabelsAngle();
    const bool heightAlong = (!Horizontal() && (angle == 0 || angle == 180)) ||
                             (Horizontal() && (angle == 90 || angle == 270));
    if (heightAlong)
        return canvas.TextHeight("W") * int(SplitLabelLines(text).size());
    return WidestLineWidth(text);
}

int TChartAxis::LabelsThatFit(int span) const {
    if (span > 0 && PixelLength > 0) {
        if (LabelsSeparation() > 0)
            span += int(RoundEven(LabelsSeparation() * 0.01 * span));
        return int(RoundEven(double(PixelLength) / span));
    }
    return 1;
}

double TChartAxis::StepForLabelCount(int count) const {
    if (count < 1)
        return 1e-12;
    double i;
    if (IncrementValue > 0) {
        i = IncrementValue;
    } else if (ScaleRange == 0) {
        i = 1;
    } else {
        i = std::fabs(ScaleRange) / (count + 1);
        if (ScaleRange >= 1.1 && Chart->SparsePositionSeries(*this, count))
            i = std::max(i, 1.0);
    }
    if (LabelsSeparation() >= 1) {
        long long k = static_cast<long long>(count) + 1;
        for (;;) {
            const double q = ScaleRange / i;
            if (std::fabs(q) < 2147483647.0) {
                k = static_cast<long long>(RoundEven(q));
                if (k > count)
                    i = NextNiceStep(i);
            } else {
                i = NextNiceStep(i);
            }
            if (k <= count || i > ScaleRange || std::isinf(i))
                break;
        }
    }
    if (std::isinf(i))
        return ScaleRange;
    return std::max(1e-12, i);
}

double TChartAxis::LabelStepPass() {
    double lo, hi;
    if (RoundFirstLabel() && IncrementValue != 0) {
        lo = std::fabs(ScaleMin) > 9.2233720368547758e18 ? ScaleMin * IncrementValue
                                                         : RoundEven(ScaleMin) * IncrementValue;
        hi = std::trunc(ScaleMax) * IncrementValue;
    } else {
        lo = ScaleMin;
        hi = ScaleMax;
    }
    double m = (lo + hi) * 0.5;
    while (m - std::trunc(m) == 0 && m != 0)
        m *= 0.5;
    int span = std::max({LabelSpan(lo), LabelSpan(m), LabelSpan(hi)});
    if (IncrementValue != 0)
        span = std::max({span, LabelSpan(hi - IncrementValue), LabelSpan(lo + IncrementValue)});
    return StepForLabelCount(LabelsThatFit(span));
}

double TChartAxis::LabelStep() {
    double r = LabelStepPass();
    if (!LabelsAlternate() && IncrementValue == 0 && r >= 2) {
        // Measure again as the labels will look once the step is whole. The field is set
        // directly: this is no change of the chart's look.
        IncrementValue = 1;
        try {
            r = LabelStepPass();
        } catch (...) {
            IncrementValue = 0;
            throw;
        }
        IncrementValue = 0;
    }
    return LabelsAlternate() ? r * 0.5 : r;
}

void TChartAxis::SetRangeManual(double minimum, double maximum) {
    AutomaticValue = AutomaticMinimumValue = AutomaticMaximumValue = false;
    if (minimum > maximum)
        std::swap(minimum, maximum);
    // Plain setters: the order was fixed above, and a repaint is asked for.
    MinimumValue = minimum;
    MaximumValue = maximum;
    if (MaximumValue - MinimumValue < 1e-10)
        MaximumValue = MinimumValue + 1e-10;
    Changed();
}

void TChartAxis::ShiftRange(double delta, bool checkData) {
    if (checkData) {
        const bool canShift = (delta > 0 && Chart->AxisDataLimit(*this, true) > MaximumValue) ||
                              (delta < 0 && Chart->AxisDataLimit(*this, false) < MinimumValue);
        if (!canShift)
            return;
    }
    AutomaticValue = false;
    AutomaticMaximumValue = false;
    MaximumValue += delta;
    AutomaticMinimumValue = false;
    MinimumValue += delta;
    Changed();
}
