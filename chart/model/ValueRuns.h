#pragma once
// Questions a block add asks of a whole block of values, answered a few values at a time.

#include <cstdint>

// Whether x[0] <= x[1] <= ... <= x[count - 1] (false where a NaN is among them).
bool NonDecreasing(const double* x, int count);

// Whether values[k] is, bit for bit, first + (start + k) for every k in 0..count-1.
bool FollowsRule(const double* values, int count, double first, int start);
