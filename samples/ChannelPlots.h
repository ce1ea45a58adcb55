#pragma once
// The two plots as the Load command sees them: a place to hand each channel's points to,
// a block at a time, or the store's own arrays to read where they are. The command knows
// nothing of how they are drawn.

#include <cstdint>

class TChannelPlots {
  public:
    virtual ~TChannelPlots() = default;

    // Empties both plots. Must not fail: it is also how a failed load ends.
    virtual void Clear() noexcept = 0;
    // Makes room for `frames` more frames in each plot, when their number is known in advance.
    virtual void Reserve(int frames) = 0;
    // Appends `count` frames: (xs[k], lefts[k]) to the upper plot, (xs[k], rights[k]) to the
    // lower one, as that many single adds would.
    virtual void AddFrames(const double* xs, const double* lefts, const double* rights,
                           int count) = 0;
    // Shows frames 1..count of the store (lefts[k] and rights[k] for frame k + 1) without a
    // copy, reading the store where it is until the next Clear; the same to an observer as
    // adding them. False where the plots cannot: the frames are then added a block at a time.
    virtual bool ViewStore(const std::int32_t* lefts, const std::int32_t* rights, int count) {
        (void)lefts, (void)rights, (void)count;
        return false;
    }
};
