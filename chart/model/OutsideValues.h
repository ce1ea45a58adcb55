#pragma once
// Values that a list reads from elsewhere rather than holding them: a file's samples where
// they lie, an array that belongs to someone else. The list never copies them unless it is
// changed through its own operations.

#include <cstdint>

class TOutsideValues {
  public:
    virtual ~TOutsideValues() = default;
    virtual int Count() const = 0;
    virtual double At(int index) const = 0;
    // Copies the values at first..first+count-1 into `out`: how summaries and bulk reads go.
    virtual void Read(int first, int count, double* out) const = 0;
    // The values as an array of 32-bit integers, where they are one that stays put while the
    // list views it: hot loops (a paint's columns, a summary's loose ends) then index it
    // instead of calling At for each value. Null where they are not.
    virtual const std::int32_t* IntArray() const { return nullptr; }
    // The lowest and highest value of each of `blocks` blocks of 2^shift values from block
    // `firstBlock` on (the last block ends at Count()), where the source has a faster way than
    // Read (integers straight from a file). False where it has none. Called from several
    // threads at once, on different blocks.
    virtual bool BlockExtremes(int firstBlock, int blocks, int shift, double* mins,
                               double* maxs) const {
        (void)firstBlock, (void)blocks, (void)shift, (void)mins, (void)maxs;
        return false;
    }
};
