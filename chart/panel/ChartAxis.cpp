#include "chart/panel/ChartAxis.h"

#include <cmath>
#include <limits>

#include <QLocale>

#include "chart/raster/PlotCanvas.h"

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

TChartAxis::TChartAxis(TAxisKind kind, std::function<void()> onChange)
    : OnChange(std::move(onChange)), AxisKind(kind),
      IsHorizontal(kind == akBottom || kind == akTop) {
    Map.Horizontal = IsHorizontal;
    if (IsDepthAxis())
        VisibleValue = false;
}

const char* TChartAxis::Identifier() const {
    static const char* names[] = {"Bottom", "Top", "Left", "Right", "Depth", "DepthTop"};
    return names[AxisKind];
}

void TChartAxis::Changed() {
    if (OnChange)
        OnChange();
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
    if (ChangeValue(MinimumValue, value))
        Changed();
}

void TChartAxis::SetMaximum(double value) {
    if (!Loading && value < MinimumValue)
        throw AxisException("Axis Maximum Value must be >= Minimum");
    if (ChangeValue(MaximumValue, value))
        Changed();
}

void TChartAxis::SetIncrement(double value) {
    if (value < 0)
        throw AxisException("Axis increment must be >= 0");
    if (ChangeValue(IncrementValue, value))
        Changed();
}

void TChartAxis::SetMinimumOffset(int value) {
    // A written offset replaces whatever room the series asked for before.
    const bool changes =
        value != (MinimumOffsetValue != 0 ? MinimumOffsetValue : LearnedMinimumOffset);
    LearnedMinimumOffset = 0;
    MinimumOffsetValue = value;
    if (changes)
        Changed();
}

void TChartAxis::SetMaximumOffset(int value) {
    const bool changes =
        value != (MaximumOffsetValue != 0 ? MaximumOffsetValue : LearnedMaximumOffset);
    LearnedMaximumOffset = 0;
    MaximumOffsetValue = value;
    if (changes)
        Changed();
}

void TChartAxis::DeriveScale() {
    Map.Inverted = Inverted();
    Map.ScaleRange = Map.ScaleMax - Map.ScaleMin;
    Map.RangeIsZero = Map.ScaleRange == 0;
    Map.PixelsPerUnit = Map.RangeIsZero ? 0 : Map.PixelLength / Map.ScaleRange;
}

void TChartAxis::RoundRange() {
    if (Map.PixelLength == 0 || Map.RangeIsZero)
        return;
    bool applied = false;
    double step = 0;
    bool stepKnown = false;
    if (MaximumRound() && (AutomaticValue || AutomaticMaximumValue)) {
        step = LabelStep();
        stepKnown = true;
        if (step != 0) {
            Map.ScaleMax = step * std::ceil(Map.ScaleMax / step);
            applied = true;
        }
    }
    if (MinimumRound() && (AutomaticValue || AutomaticMinimumValue)) {
        if (!stepKnown)
            step = LabelStep();
        if (step != 0) {
            Map.ScaleMin = step * std::floor(Map.ScaleMin / step);
            applied = true;
        }
    }
    if (applied)
        DeriveScale();
}

void TChartAxis::TakeFacts(TAxisFacts facts) {
    Known = std::move(facts);
    Laid.Shown = Known.Shown;
    Laid.LabelsAsked = 0; // until the labels take their room in this layout
}

void TChartAxis::UpdateRange() {
    // Straight to the fields: after a paint Minimum and Maximum show the data range.
    if (AutomaticValue || AutomaticMaximumValue)
        MaximumValue = Known.DataMaximum;
    if (AutomaticValue || AutomaticMinimumValue)
        MinimumValue = Known.DataMinimum;
    Map.ScaleMax = MaximumValue;
    Map.ScaleMin = MinimumValue;
    DeriveScale();
    RoundRange();
}

void TChartAxis::UpdatePixelExtent(const TRect& r) {
    const int origin = Horizontal() ? r.Left : r.Top;
    const int extent = Horizontal() ? r.Width() : r.Height();
    Map.FirstPixel = origin + int(RoundEven(extent * 0.01 * StartPosition()));
    Map.LastPixel = origin + int(RoundEven(extent * 0.01 * EndPosition()));
    Map.PixelLength = Map.LastPixel - Map.FirstPixel;
    Map.MidPixel = (Map.FirstPixel + Map.LastPixel) / 2;
    DeriveScale();
}

// The room the series ask for, unless an offset is set: the first series that asks wins, and
// what it asked for is kept for later layouts while the setting stays 0.
void TChartAxis::ApplyOffsets(const TRect& chartRect) {
    int minimumOffset = MinimumOffsetValue != 0 ? MinimumOffsetValue : LearnedMinimumOffset;
    int maximumOffset = MaximumOffsetValue != 0 ? MaximumOffsetValue : LearnedMaximumOffset;
    for (auto [low, high] : Known.SeriesMargins) {
        if (minimumOffset == 0 && AutomaticMinimumValue)
            minimumOffset = low;
        if (maximumOffset == 0 && AutomaticMaximumValue)
            maximumOffset = high;
    }
    if (MinimumOffsetValue == 0)
        LearnedMinimumOffset = minimumOffset;
    if (MaximumOffsetValue == 0)
        LearnedMaximumOffset = maximumOffset;
    Map.MinimumOffset = minimumOffset;
    Map.MaximumOffset = maximumOffset;
    int startInset = Horizontal() ? minimumOffset : maximumOffset;
    int endInset = Horizontal() ? maximumOffset : minimumOffset;
    if (Inverted())
        std::swap(startInset, endInset);
    const int oldFirst = Map.FirstPixel, oldLast = Map.LastPixel;
    Map.FirstPixel += startInset;
    Map.LastPixel -= endInset;
    Map.PixelLength = Map.LastPixel - Map.FirstPixel;
    double a = ValueAtPixel(oldFirst), b = ValueAtPixel(oldLast);
    UpdatePixelExtent(chartRect);
    if (a > b)
        std::swap(a, b);
    Map.ScaleMin = a;
    Map.ScaleMax = b;
    DeriveScale();
    RoundRange();
}

void TChartAxis::SetLabelRule(std::shared_ptr<const TAxisLabelRule> rule) {
    if (ChangeValue(Rule, rule))
        Changed();
}

std::string TChartAxis::LabelTextOf(double value) const {
    if (Rule)
        return Rule->Text(value);
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
        widest = std::max(widest, TextWidthIn(LabelsFont(), line));
    return widest;
}

int TChartAxis::LabelSpan(double value) const {
    const std::string text = LabelTextOf(value);
    const int angle = LabelsAngle();
    const bool heightAlong = (!Horizontal() && (angle == 0 || angle == 180)) ||
                             (Horizontal() && (angle == 90 || angle == 270));
    if (heightAlong)
        return TextHeightIn(LabelsFont()) * int(SplitLabelLines(text).size());
    return WidestLineWidth(text);
}

int TChartAxis::LabelsThatFit(int span) const {
    if (span > 0 && Map.PixelLength > 0) {
        if (LabelsSeparation() > 0)
            span += int(RoundEven(LabelsSeparation() * 0.01 * span));
        return int(RoundEven(double(Map.PixelLength) / span));
    }
    return 1;
}

double TChartAxis::StepForLabelCount(int count) const {
    return StepForLabelCount(count, IncrementValue);
}

double TChartAxis::StepForLabelCount(int count, double increment) const {
    if (count < 1)
        return 1e-12;
    const double ScaleRange = Map.ScaleRange;
    double i;
    if (increment > 0) {
        i = increment;
    } else if (ScaleRange == 0) {
        i = 1;
    } else {
        i = std::fabs(ScaleRange) / (count + 1);
        // Points placed along the axis one unit apart: no step below one unit.
        if (ScaleRange >= 1.1 && Known.FewestPoints <= count)
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

double TChartAxis::LabelStepPass(double increment) const {
    const double ScaleMin = Map.ScaleMin, ScaleMax = Map.ScaleMax;
    double lo, hi;
    if (RoundFirstLabel() && increment != 0) {
        lo = std::fabs(ScaleMin) > 9.2233720368547758e18 ? ScaleMin * increment
                                                         : RoundEven(ScaleMin) * increment;
        hi = std::trunc(ScaleMax) * increment;
    } else {
        lo = ScaleMin;
        hi = ScaleMax;
    }
    double m = (lo + hi) * 0.5;
    while (m - std::trunc(m) == 0 && m != 0)
        m *= 0.5;
    int span = std::max({LabelSpan(lo), LabelSpan(m), LabelSpan(hi)});
    if (increment != 0)
        span = std::max({span, LabelSpan(hi - increment), LabelSpan(lo + increment)});
    return StepForLabelCount(LabelsThatFit(span), increment);
}

double TChartAxis::LabelStep() const {
    double r = LabelStepPass(IncrementValue);
    // Measured again as the labels will look once the step is whole.
    if (!LabelsAlternate() && IncrementValue == 0 && r >= 2)
        r = LabelStepPass(1);
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

void TChartAxis::ShiftRange(double delta) {
    AutomaticValue = false;
    AutomaticMaximumValue = false;
    MaximumValue += delta;
    AutomaticMinimumValue = false;
    MinimumValue += delta;
    Changed();
}
