#pragma once
// The lowest and highest value of any index range of a list, in O(log n): the minimum and
// maximum of each block of 128 values, of each 16 such blocks, of each 16 of those, and so on.
// It costs about 1.7 % of the memory of the values it summarises.

#include <cstdint>
#include <utility>
#include <vector>

#include "memory/LargeArray.h"

class TOutsideValues;

class TMinMaxSummary {
  public:
    static constexpr int BaseShift = 7;  // 128 values in a block of the first level
    static constexpr int LevelShift = 4; // 16 blocks of a level in a block of the next

    // Forgets everything: no value is summarised.
    void Clear();
    // The values from index `from` on have changed (inserted, removed, rewritten): their
    // blocks are summarised again by the next Update.
    void Forget(int from);
    // Summarises values[0..count-1], reading only what is not summarised yet: after appends
    // this costs the new values, not the list.
    void Update(const double* values, int count);
    // The same for values read from outside: a block at a time through Read, or straight as
    // block extremes where the source gives them; big counts on two threads.
    void UpdateFrom(const TOutsideValues& values, int count);
    // Lowest and highest of values[first..last] (first <= last < the count last updated to).
    // `values` is an array or anything indexed like one.
    template <typename TValues>
    std::pair<double, double> Range(const TValues& values, int first, int last) const;

    // Values summarised so far.
    int Count() const { return Covered; }
    // Whether a summarised value is NaN: then lowest and highest mean nothing.
    bool HasNaN() const { return NaNCount > 0; }
    // Makes room for the blocks of `entries` values, so that growing to them moves nothing.
    void Reserve(long long entries);

  private:
    // Each level's extremes; a big list's first level is hundreds of megabytes of fresh
    // memory, which huge pages fill far faster.
    struct TLevel {
        TLargeArray<double> Min, Max;
    };
    // The levels above the first, again from the block of the first level that holds value
    // `firstNew` on.
    void UpdateHigherLevels(int firstNew);
    int Shift(std::size_t level) const { return BaseShift + int(level) * LevelShift; }
    std::pair<double, double> BlockExtremes(const double* values, int count);
    void Truncate(int covered);

    std::vector<TLevel> Levels;
    int Covered = 0;
    // NaN values per first-level block would be exact; a count over the covered values is
    // enough: removal goes through Forget, which recounts.
    int NaNCount = 0;
};

// The range is cut into whole blocks, as high as they line up, and loose values at its ends.
// The pieces are folded in the order of their indexes, so that of equal extremes the first
// wins (+0 and -0 are equal), as a pass from the first value to the last would choose.
template <typename TValues>
std::pair<double, double> TMinMaxSummary::Range(const TValues& values, int first, int last) const {
    double low = values[first], high = values[first];
    const auto fold = [&](double lowPart, double highPart) {
        if (lowPart < low)
            low = lowPart;
        if (highPart > high)
            high = highPart;
    };
    // The pieces at the right end come in from the end: kept, then folded in reverse.
    struct TPiece {
        double Low, High;
    };
    TPiece right[(1 << BaseShift) + (1 << LevelShift) * 8];
    int rightCount = 0;

    const int span = 1 << BaseShift;
    long long a = first, b = last; // the inclusive range still to cover
    while (a <= b && (a & (span - 1)) != 0) {
        const double v = values[int(a)];
        fold(v, v);
        ++a;
    }
    while (a <= b && ((b + 1) & (span - 1)) != 0) {
        const double v = values[int(b)];
        right[rightCount++] = {v, v};
        --b;
    }
    // Whole blocks from here: [a, b] in blocks of this level, climbing while they line up.
    if (a <= b) {
        a >>= BaseShift;
        b = ((b + 1) >> BaseShift) - 1;
    }
    for (std::size_t level = 0; a <= b; ++level) {
        const TLevel& here = Levels[level];
        const long long group = 1LL << LevelShift;
        const bool top = level + 1 >= Levels.size();
        while (a <= b && (top || (a & (group - 1)) != 0)) {
            fold(here.Min[std::size_t(a)], here.Max[std::size_t(a)]);
            ++a;
        }
        while (a <= b && ((b + 1) & (group - 1)) != 0) {
            right[rightCount++] = {here.Min[std::size_t(b)], here.Max[std::size_t(b)]};
            --b;
        }
        a >>= LevelShift;
        b = ((b + 1) >> LevelShift) - 1;
    }
    while (rightCount > 0) {
        --rightCount;
        fold(right[rightCount].Low, right[rightCount].High);
    }
    return {low, high};
}
