#include "GradientFill.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "PlotCanvas.h"

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

void DrawGradient(TPlotCanvas3D& canvas, const TCustomPlotGradient& gradient, TRect rect) {
    const TColor start = gradient.StartColor(), end = gradient.EndColor();
    const TGradientDirection direction = gradient.Direction();
    if (direction == gdRadial) {
        GradientFill(canvas, rect, start, end, direction, gradient.Balance(), gradient.RadialX(),
                     gradient.RadialY());
        return;
    }
    if (gradient.HasMiddle && IsStraight(direction)) {
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
        if (startFirst) {
            GradientFill(canvas, first, start, mid, direction);
            GradientFill(canvas, second, mid, end, direction);
        } else {
            GradientFill(canvas, first, mid, end, direction);
            GradientFill(canvas, second, start, mid, direction);
        }
        return;
    }
    if (gradient.HasMiddle && direction != gdDiagonalUp && direction != gdDiagonalDown) {
        GradientFill(canvas, rect, start, end, direction);
        return;
    }
    GradientFill(canvas, rect, start, end, direction, gradient.Balance());
}

void GradientFill(TPlotCanvas3D& canvas, TRect rect, TColor startColor, TColor endColor,
                  TGradientDirection direction, int balance, int, int) {
    if (!IsStraight(direction))
        return; // the other fills are not part of this engine
    if (rect.Left > rect.Right)
        std::swap(rect.Left, rect.Right);
    if (rect.Top > rect.Bottom)
        std::swap(rect.Top, rect.Bottom);
    if (direction != gdTopBottom && direction != gdLeftRight)
        std::swap(startColor, endColor);
    const TColor start = canvas.Resolve(startColor), end = canvas.Resolve(endColor);
    const bool vertical = IsVertical(direction);
    const int a = vertical ? rect.Height() : rect.Width();
    const int n = std::min(a, 256);
    if (n - 1 <= 0)
        return;
    // Band 0 lies at the bottom (or right) edge, band n - 1 at the top (or left).
    for (int k = 0; k < n; ++k) {
        const int from = int(static_cast<long long>(a) * k / n);
        const int to = int(static_cast<long long>(a) * (k + 1) / n);
        const TColor color = BandColor(start, end, k, n, balance);
        if (vertical)
            canvas.FillSolid({rect.Left, rect.Bottom - to, rect.Right, rect.Bottom - from}, color);
        else
            canvas.FillSolid({rect.Right - to, rect.Top, rect.Right - from, rect.Bottom}, color);
    }
}
