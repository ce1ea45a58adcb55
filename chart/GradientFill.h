#pragma once
// Filling a rectangle with a gradient: at most 256 solid bands along the ramp.

#include "PlotGradient.h"
#include "PlotRect.h"

class TPlotCanvas3D;

// Maps the gradient onto one or two ramps (two when a middle colour splits a straight one).
void DrawGradient(TPlotCanvas3D& canvas, const TCustomPlotGradient& gradient, TRect rect);

// One ramp. Only the four straight directions are painted; the others are stored settings.
void GradientFill(TPlotCanvas3D& canvas, TRect rect, TColor startColor, TColor endColor,
                  TGradientDirection direction, int balance = 50, int radialX = 0, int radialY = 0);
