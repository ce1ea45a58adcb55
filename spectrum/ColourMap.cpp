#include "spectrum/ColourMap.h"

#include <cmath>
#include <vector>

namespace {

// Each map is a few colours at equal steps from quietest to loudest; the 256 entries are
// blended between them.
const std::vector<std::uint32_t> ViridisStops = {0x440154, 0x472D7B, 0x3B528B, 0x2C728E, 0x21918C,
                                                 0x28AE80, 0x5EC962, 0xADDC30, 0xFDE725};
const std::vector<std::uint32_t> MagmaStops = {0x000004, 0x1C1044, 0x4F127B, 0x812581, 0xB5367A,
                                               0xE55064, 0xFB8761, 0xFEC287, 0xFCFDBF};
const std::vector<std::uint32_t> CividisStops = {0x00224E, 0x123570, 0x3B496C, 0x575D6D, 0x707173,
                                                 0x8A8779, 0xA69D75, 0xC4B56C, 0xE4CF5B, 0xFEE838};
const std::vector<std::uint32_t> GreyStops = {0x000000, 0xFFFFFF};

double Channel(std::uint32_t rgb, int shift) {
    return double((rgb >> shift) & 0xFF);
}

TColourTable Interpolate(const std::vector<std::uint32_t>& stops) {
    TColourTable table;
    const double spans = double(stops.size() - 1);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const double at = double(i) / 255.0 * spans;
        const std::size_t lo = std::min(std::size_t(at), stops.size() - 2);
        const double t = at - double(lo);
        auto mix = [&](int shift) {
            const double v =
                Channel(stops[lo], shift) * (1 - t) + Channel(stops[lo + 1], shift) * t;
            return std::uint8_t(std::lround(v));
        };
        table[i] = {mix(16), mix(8), mix(0)};
    }
    return table;
}

} // namespace

const TColourTable& ColourTable(TColourMapKind kind) {
    static const TColourTable viridis = Interpolate(ViridisStops);
    static const TColourTable magma = Interpolate(MagmaStops);
    static const TColourTable cividis = Interpolate(CividisStops);
    static const TColourTable grey = Interpolate(GreyStops);
    switch (kind) {
    case cmViridis:
        break;
    case cmMagma:
        return magma;
    case cmCividis:
        return cividis;
    case cmGrey:
        return grey;
    }
    return viridis;
}

const char* ColourMapName(TColourMapKind kind) {
    switch (kind) {
    case cmViridis:
        break;
    case cmMagma:
        return "Magma";
    case cmCividis:
        return "Cividis";
    case cmGrey:
        return "Grey";
    }
    return "Viridis";
}
