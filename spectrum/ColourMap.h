#pragma once
// Colours for the spectrogram's levels: index 0 is the quietest level drawn, 255 the loudest.
// Every map gets lighter from one end to the other, so a louder pixel is always brighter.

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
