#include "spectrum/LevelRange.h"

#include <algorithm>
#include <cmath>

std::uint8_t TLevelRange::IndexOf(double db) const {
    const double span = TopDb - BottomDb;
    if (!(span > 0))
        return db + GainDb >= TopDb ? 255 : 0;
    const double t = (db + GainDb - BottomDb) / span;
    if (!(t > 0)) // also a level that is not a number: shown as the quietest
        return 0;
    if (t >= 1)
        return 255;
    return std::uint8_t(std::lround(t * 255));
}

std::vector<std::uint8_t> ColourIndexes(const std::vector<float>& levels,
                                        const TLevelRange& range) {
    std::vector<std::uint8_t> out(levels.size());
    std::transform(levels.begin(), levels.end(), out.begin(),
                   [&](float db) { return range.IndexOf(db); });
    return out;
}
