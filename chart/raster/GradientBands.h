#pragma once
// A gradient as solid bands: the rectangles and colours that fill a rectangle with it, at most
// 256 bands along a ramp. A pure function of the settings; the canvas fills the bands.

#include <functional>
#include <vector>

#include "chart/raster/PlotGradient.h"
#include "chart/raster/PlotRect.h"

struct TGradientBand {
    TRect Rect;
    TColor Color;
    bool operator==(const TGradientBand&) const = default;
};

// Colours as drawn: system colours resolved. Plain colours keep their low 24 bits.
using TColorResolver = std::function<TColor(TColor)>;
TColor PlainColor(TColor color);

// The bands of the gradient over `rect`. Only the four straight directions paint; a middle
// colour splits a straight ramp in two at the middle of the rectangle.
std::vector<TGradientBand> GradientBands(const TCustomPlotGradient& gradient, TRect rect,
                                         const TColorResolver& resolve = PlainColor);

// One straight ramp from `startColor` to `endColor` in the given direction; `balance` other
// than 50 bends the ramp along a power curve.
std::vector<TGradientBand> RampBands(TRect rect, TColor startColor, TColor endColor,
                                     TGradientDirection direction, int balance = 50,
                                     const TColorResolver& resolve = PlainColor);
