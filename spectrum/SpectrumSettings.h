#pragma once
// What a spectrogram is computed with. A pyramid holds one set of settings; changing any of
// them means building it again.

#include <algorithm>

#include "spectrum/WindowFunction.h"

struct TSpectrumSettings {
    int WindowLength = 2048; // frames per transform, 256 to 32768
    TWindowKind Window = wkHann;
    int Hop = 0;          // frames from one transform's start to the next; 0: half the window
    double FullScale = 1; // the sample value that is 0 dBFS
    // Hops per block of the pyramid's finest level: fewer costs more memory, more costs more
    // transforms at the ends of a column that cuts through a block.
    int BlockHops = 8;
    // The most frequency rows the pyramid keeps (the default keeps every bin of the default
    // window); longer windows keep the maximum of groups of neighbouring bins, so memory
    // does not grow with the window.
    int MaxRows = 1025;

    int WindowFrames() const { return std::clamp(WindowLength, 256, 32768) & ~1; }
    int HopFrames() const { return Hop > 0 ? std::min(Hop, WindowFrames()) : WindowFrames() / 2; }
    int Blocks() const { return std::clamp(BlockHops, 1, 4096); }
    int RowLimit() const { return std::max(MaxRows, 16); }
};
