#include "app/SpectrogramChoice.h"

#include <algorithm>
#include <bit>
#include <cmath>

TSpectrogramChoice TSpectrogramChoice::Checked() const {
    TSpectrogramChoice c = *this;
    const int length = std::clamp(WindowLength, 256, 32768);
    c.WindowLength = int(std::bit_floor(unsigned(length)));
    if (c.HopDivisor != 1 && c.HopDivisor != 2 && c.HopDivisor != 4 && c.HopDivisor != 8)
        c.HopDivisor = 2;
    if (c.Window < wkHann || c.Window > wkRectangular)
        c.Window = wkHann;
    if (c.Scale < fsLinear || c.Scale > fsMel)
        c.Scale = fsLinear;
    if (c.Colours < cmViridis || c.Colours > cmGrey)
        c.Colours = cmViridis;
    for (double* db : {&c.TopDb, &c.BottomDb, &c.GainDb})
        if (!std::isfinite(*db))
            *db = 0;
    c.TopDb = std::clamp(c.TopDb, -200.0, 100.0);
    c.BottomDb = std::clamp(c.BottomDb, -300.0, c.TopDb - 1);
    c.GainDb = std::clamp(c.GainDb, -100.0, 100.0);
    return c;
}

const char* FrequencyScaleName(TFrequencyScaleKind kind) {
    switch (kind) {
    case fsLogarithmic:
        return "Logarithmic";
    case fsMel:
        return "Mel";
    default:
        return "Linear";
    }
}
