#pragma once
// The lowest and highest value of any index range of a list, in O(log n): the minimum and
// maximum of each block of 128 values, of each 16 such blocks, of each 16 of those, and so on.
// It costs about 1.7 % of the memory of the values it summarises.

#include <cstdint>
#include <utility>
#include <vector>

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
    // Lowest and highest of values[first..last] (first <= last < the count last updated to).
    std::pair<double, double> Range(const double* values, int first, int last) const;

    // Values summarised so far.
    int Count() const { return Covered; }
    // Whether a summarised value is NaN: then lowest and highest mean nothing.
    bool HasNaN() const { return NaNCount > 0; }
    // Makes room for the blocks of `entries` values, so that growing to them moves nothing.
    void Reserve(long long entries);

  private:
    struct TLevel {
        std::vector<double> Min, Max;
    };
    int Shift(std::size_t level) const { return BaseShift + int(level) * LevelShift; }
    std::pair<double, double> BlockExtremes(const double* values, int count);
    void Truncate(int covered);

    std::vector<TLevel> Levels;
    int Covered = 0;
    // NaN values per first-level block would be exact; a count over the covered values is
    // enough: removal goes through Forget, which recounts.
    int NaNCount = 0;
};
