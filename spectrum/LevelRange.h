#pragma once
// Which levels the colours span: `TopDb` (brightest) down to `BottomDb` (darkest), after a
// gain is added to every level. Levels outside the range take the end colours.

#include <cstdint>
#include <vector>

struct TLevelRange {
    double TopDb = 0;
    double BottomDb = -120;
    double GainDb = 0;

    // The colour index 0..255 of a level in dBFS.
    std::uint8_t IndexOf(double db) const;
};

// Every level of a rendered image as its colour index, in the same order.
std::vector<std::uint8_t> ColourIndexes(const std::vector<float>& levels, const TLevelRange& range);
