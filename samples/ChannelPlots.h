#pragma once
// The two plots as the Load command sees them: a place to hand each channel's points to,
// a block at a time. The command knows nothing of how they are drawn.

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
};
