#pragma once
// One channel of a file's samples as a plot's values: read where they lie (the file's
// mapping, or a compressed file's decoded values), never copied into a value list. Value i is
// frame i + 1 of the plot.

#include <memory>

#include "chart/model/OutsideValues.h"
#include "wave/AudioSamples.h"

class TChannelValues : public TOutsideValues {
  public:
    TChannelValues(std::shared_ptr<const TAudioSamples> samples, int channel, int count)
        : Samples(std::move(samples)), Channel(channel), ValueCount(count) {}

    int Count() const override { return ValueCount; }
    double At(int index) const override { return Samples->At(Channel, std::uint64_t(index)); }
    void Read(int first, int count, double* out) const override {
        Samples->Read(Channel, std::uint64_t(first), std::size_t(count), out);
    }
    // Integers straight from the file, without touching its mapping: the first picture of a
    // big file costs one read of it.
    bool BlockExtremes(int firstBlock, int blocks, int shift, double* mins,
                       double* maxs) const override {
        if (std::uint64_t(ValueCount) != Samples->Frames())
            return false; // a plot that shows fewer frames than the file holds
        return Samples->BlockExtremes(Channel, std::uint64_t(firstBlock) << shift,
                                      std::uint64_t(1) << shift, std::uint64_t(blocks), mins, maxs);
    }

  private:
    std::shared_ptr<const TAudioSamples> Samples;
    int Channel;
    int ValueCount;
};
