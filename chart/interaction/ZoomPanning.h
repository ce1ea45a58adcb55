#pragma once
// The state and settings of the two mouse drags of a chart: the left-button rubber band that
// zooms (or undoes the zoom) and the right-button drag that pans.

#include <optional>

#include "PlotPen.h"

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TPlotZoomDirection { tzdHorizontal, tzdVertical, tzdBoth };
enum TPanningMode { pnNone, pnHorizontal, pnVertical, pnBoth };

// One drag in progress: where it was pressed and where it is now, in client pixels.
struct TZoomPanning {
    bool Dragging = false;
    int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;

    void Activate(int x, int y) {
        X0 = X1 = x;
        Y0 = Y1 = y;
        Dragging = true;
    }
};

struct TPlotZoom : TZoomPanning {
    bool Allow = true;
    bool Animated = false;
    int AnimatedSteps = 8;
    TPlotZoomDirection Direction = tzdBoth;
    int KeyShift = 0; // modifier keys that must be held, as Qt::KeyboardModifiers bits
    int MinimumPixels = 16;
    TMouseButton MouseButton = mbLeft;
    bool UpLeftZooms = false;
    bool History = false;
    // Absent until set: a white outline; no fill.
    std::optional<TPlotPen> Pen;
    std::optional<TPlotBrush> Brush;

    TPlotPen PenOrDefault() const {
        return Pen.value_or(TPlotPen{clWhite, 1, psSolid, pmCopy, true});
    }
};

// The scale of one axis before the first zoom or pan, to return to on undo.
struct TAxisSavedScale {
    bool Automatic = true, AutomaticMinimum = true, AutomaticMaximum = true;
    double Minimum = 0, Maximum = 0;
};
