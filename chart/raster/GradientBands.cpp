#include "chart/raster/GradientBands.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

bool IsVertical(TGradientDirection d) {
    return d == gdTopBottom || d == gdBottomTop;
}
bool IsStraight(TGradientDirection d) {
    return d <= gdRightLeft;
}

int Channel(TColor color, int shift) {
    return int((color >> shift) & 0xFF);
}

// The colour of band k of n: a straight ramp for balance 50, a power curve otherwise.
TColor BandColor(TColor start, TColor end, int k, int n, int balance) {
    TColor color = 0;
    for (int shift : {0, 8, 16}) {
        const int s = Channel(start, shift);
        const int d = Channel(end, shift) - s;
        int value;
        if (balance == 50) {
            value = s + k * d / (n - 1);
        } else {
            const double f = std::pow(double(k + 1) / n, 0.5 + 0.015 * balance);
            value = s + int(std::nearbyint(d * f));
        }
        color |= TColor(std::clamp(value, 0, 255)) << shift;
    }
    return color;
}

} // namespace

TColor PlainColor(TColor color) {
    return color & 0xFFFFFF;
}

std::vector<TGradientBand> RampBands(TRect rect, TColor startColor, TColor endColor,
                                     TGradientDirection direction, int balance,
                                     const TColorResolver& resolve) {
    std::vector<TGradientBand> bands;
    if (!IsStraight(direction))
        return bands;
    if (rect.Left > rect.Right)
        std::swap(rect.Left, rect.Right);
    if (rect.Top > rect.Bottom)
        std::swap(rect.Top, rect.Bottom);
    if (direction != gdTopBottom && direction != gdLeftRight)
        std::swap(startColor, endColor);
    const TColor start = resolve(startColor), end = resolve(endColor);
    const bool vertical = IsVertical(direction);
    const int a = vertical ? rect.Height() : rect.Width();
    const int n = std::min(a, 256);
    if (n - 1 <= 0)
        return bands;
    // Band 0 lies at the bottom (or right) edge, band n - 1 at the top (or left).
    bands.reserve(std::size_t(n));
    for (int k = 0; k < n; ++k) {
        const int from = int(static_cast<long long>(a) * k / n);
        const int to = int(static_cast<long long>(a) * (k + 1) / n);
        const TColor color = BandColor(start, end, k, n, balance);
        if (vertical)
            bands.push_back({{rect.Left, rect.Bottom - to, rect.Right, rect.Bottom - from}, color});
        else
            bands.push_back({{rect.Right - to, rect.Top, rect.Right - from, rect.Bottom}, color});
    }
    return bands;
}

std::vector<TGradientBand> GradientBands(const TCustomPlotGradient& gradient, TRect rect,
                                         const TColorResolver& resolve) {
    const TColor start = gradient.StartColor(), end = gradient.EndColor();
    const TGradientDirection direction = gradient.Direction();
    if (!gradient.HasMiddle)
        return RampBands(rect, start, end, direction, gradient.Balance(), resolve);
    if (!IsStraight(direction))
        return {};
    const TColor mid = gradient.MidColor();
    TRect first = rect, second = rect;
    if (IsVertical(direction)) {
        const int m = (rect.Top + rect.Bottom) / 2;
        first.Bottom = m;
        second.Top = m;
    } else {
        const int m = (rect.Left + rect.Right) / 2;
        first.Right = m;
        second.Left = m;
    }
    // The middle colour lies along the split; the outer edges keep the direction's colours.
    const bool startFirst = direction == gdBottomTop || direction == gdRightLeft;
    std::vector<TGradientBand> bands =
        RampBands(first, startFirst ? start : mid, startFirst ? mid : end, direction, 50, resolve);
    std::vector<TGradientBand> rest =
        RampBands(second, startFirst ? mid : start, startFirst ? end : mid, direction, 50, resolve);
    bands.insert(bands.end(), rest.begin(), rest.end());
    return bands;
}
