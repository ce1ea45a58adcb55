#pragma once
// What part of a spectrogram to draw and at what size: hops firstHop..lastHop across
// `Width` pixel columns, 0 Hz to half the sample rate up `Height` pixel rows on `Scale`.

#include <cstdint>

#include "spectrum/FrequencyScale.h"

struct TSpectrogramView {
    std::uint64_t FirstHop = 0;
    std::uint64_t LastHop = 0; // included
    int Width = 0;
    int Height = 0;
    TFrequencyScale Scale;
};

// The hops pixel column `column` covers: the view's hops split as evenly as whole hops allow,
// each hop in exactly one column; where there are fewer hops than columns, a column shows
// the hop under it.
struct THopRange {
    std::uint64_t First = 0, Last = 0;
};
THopRange HopsOfColumn(const TSpectrogramView& view, int column);
