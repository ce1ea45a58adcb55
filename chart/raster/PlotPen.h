#pragma once
// Pens, brushes and fonts as the canvas takes them.

#include <string>

#include "chart/raster/Colors.h"

enum TPenStyle { psSolid, psDot, psClear };
enum TPenMode { pmCopy, pmNotXor };
enum TBrushStyle { bsSolid, bsClear };
// Horizontal placement of text and of title blocks.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TPlotPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    bool Visible = true;

    bool Draws() const { return Visible && Style != psClear && Width > 0; }
    bool operator==(const TPlotPen&) const = default;
};

struct TPlotBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    bool operator==(const TPlotBrush&) const = default;
};

struct TPlotFont {
    std::string Name = "Arial";
    int Size = 8;  // points; 8 points are 11 pixels at 96 pixels per inch
    int Style = 0; // TFontStyle flags
    TColor Color = clBlack;
    bool operator==(const TPlotFont&) const = default;

    // Font sizes are fixed in pixels so that layout does not depend on the screen.
    int PixelSize() const { return (Size * 96 + 36) / 72; }
};
