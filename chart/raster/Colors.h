#pragma once
// Colours as the chart engine stores them: 0x00BBGGRR, red in the low byte. A value with the
// top bit set names a system colour, resolved from the platform's palette only when drawn.

#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor clDefault = 0x20000000; // no colour of its own: take the series colour
constexpr TColor clNone = 0x1FFFFFFF;    // no colour at all; as a point colour, a null point

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clGray = 0x808080;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;

constexpr TColor SystemColorFlag = 0x80000000;
constexpr TColor clWindowText = SystemColorFlag | 8;
constexpr TColor clBtnFace = SystemColorFlag | 15;
constexpr TColor clBtnShadow = SystemColorFlag | 16;
constexpr TColor clBtnHighlight = SystemColorFlag | 20;

constexpr bool IsSystemColor(TColor color) {
    return (color & SystemColorFlag) != 0;
}

// From red, green and blue components.
constexpr TColor RGBColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return TColor(red) | TColor(green) << 8 | TColor(blue) << 16;
}
