#pragma once
// What part of a spectrogram to draw and at what size: hops firstHop..lastHop across
// `Width` pixel columns, the part of `Scale` from position `Bottom` to `Top` (0 Hz to half the
// sample rate by default) up `Height` pixel rows.

#include <cstdint>

#include "spectrum/FrequencyScale.h"

struct TSpectrogramView {
    std::uint64_t FirstHop = 0;
    std::uint64_t LastHop = 0; // included
    int Width = 0;
    int Height = 0;
    TFrequencyScale Scale;
    double Bottom = 0, Top = 1; // positions on Scale, 0 to 1, at the bottom and top edges
    // Exact: each column the maximum over every hop in it. The others are quick previews
    // while the exact picture is made: the whole blocks of hops each column reaches into
    // (hops of the neighbouring columns may brighten it), or the one hop at the column's
    // middle (a pyramid not built yet can give that).
    enum TDetail { dtExact, dtBlocks, dtMiddleHop } Detail = dtExact;
};

// The hops pixel column `column` covers: the view's hops split as evenly as whole hops allow,
// each hop in exactly one column; where there are fewer hops than columns, a column shows
// the hop under it.
struct THopRange {
    std::uint64_t First = 0, Last = 0;
};
THopRange HopsOfColumn(const TSpectrogramView& view, int column);
