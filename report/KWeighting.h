#pragma once
// The loudness weighting of one channel: a high-frequency shelf (the head's effect) followed by
// a high-pass that leaves out what the ear barely hears, both second order, computed in double
// precision so that 100 ms of squares summed stay exact to far below the reported decimals.

#include <cstddef>

struct TBiquad {
    double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0; // a0 = 1
};

struct TKWeighting {
    TBiquad Shelf, HighPass;
};

// The two stages for a sample rate, by the bilinear transform of their analog prototypes (at
// 48 kHz they are the coefficients the loudness standard publishes).
TKWeighting KWeightingFilters(double sampleRate);

// One channel's filter memory: the last two inputs, shelf outputs and high-pass outputs.
struct TKWeightState {
    double X1 = 0, X2 = 0, Y1 = 0, Y2 = 0, Z1 = 0, Z2 = 0;
};

// Weights `count` samples of each of `channels` channels (samples must be finite) and adds the
// sum of the squares of each channel's output to sums[c]. Uses AVX2 and FMA where the CPU has
// them, plain code otherwise (equal within the rounding of a fused multiply-add).
void KWeightSquares(const TKWeighting& filters, TKWeightState* states, const float* const* samples,
                    int channels, std::size_t count, double* sums);
