#pragma once
// The colours a level index (0 = lowest shown level, 255 = highest) is drawn in. The
// perceptual maps rise in lightness from end to end, so a louder pixel always reads brighter.

#include <array>
#include <cstdint>

enum TColourMapKind { cmViridis, cmMagma, cmCividis, cmGrey };

struct TRgb {
    std::uint8_t R = 0, G = 0, B = 0;
    bool operator==(const TRgb&) const = default;
};

using TColourTable = std::array<TRgb, 256>;

// The map's 256 colours (built once, then shared).
const TColourTable& ColourTable(TColourMapKind kind);

// The colour as the screen image wants it: 0xAARRGGBB, opaque.
inline std::uint32_t ToArgb(TRgb c) {
    return 0xFF000000u | (std::uint32_t(c.R) << 16) | (std::uint32_t(c.G) << 8) | c.B;
}

const char* ColourMapName(TColourMapKind kind);
