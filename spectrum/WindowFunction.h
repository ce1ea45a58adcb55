#pragma once
// The taper applied to a frame before its transform. The windows are periodic (the DFT-even
// form: length N, period N), so a tone that completes whole cycles in the frame lands in one
// bin and each window's coherent gain is exactly its constant term.

#include <vector>

enum TWindowKind { wkHann, wkHamming, wkBlackmanHarris, wkRectangular };

// The window's values w[0..length-1].
std::vector<double> WindowValues(TWindowKind kind, int length);

// The mean of the window's values: what a full-scale tone's amplitude is multiplied by, so
// dividing it out makes that tone read 0 dBFS whichever window is chosen.
double CoherentGain(const std::vector<double>& window);

// The name shown and stored for a window ("Hann", ...), and back (false when unknown).
const char* WindowName(TWindowKind kind);
bool WindowFromName(const char* name, TWindowKind& kind);
