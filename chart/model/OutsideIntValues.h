#pragma once
// Outside values that are an array of 32-bit integers held by someone else (the sample
// store's channels), read as doubles. The owner keeps the array alive and unchanged while a
// list views it.

#include <algorithm>
#include <cstdint>

#include "chart/model/OutsideValues.h"

class TOutsideIntValues : public TOutsideValues {
  public:
    TOutsideIntValues(const std::int32_t* values, int count) : Values(values), ValueCount(count) {}

    int Count() const override { return ValueCount; }
    double At(int index) const override { return Values[index]; }
    void Read(int first, int count, double* out) const override {
        std::copy(Values + first, Values + first + count, out);
    }
    const std::int32_t* IntArray() const override { return Values; }
    bool BlockExtremes(int firstBlock, int blocks, int shift, double* mins,
                       double* maxs) const override {
        for (int b = 0; b < blocks; ++b) {
            const long long from = (long long)(firstBlock + b) << shift;
            const long long to = std::min<long long>(ValueCount, from + (1LL << shift));
            const auto [low, high] = std::minmax_element(Values + from, Values + to);
            mins[b] = *low;
            maxs[b] = *high;
        }
        return true;
    }

  private:
    const std::int32_t* Values;
    int ValueCount;
};
