#pragma once
// Loads that grow the store (it then moves to a fresh block), shrink it, are cancelled or fail,
// one after another on the same plots: the steps the store tests take with any plots, and the
// files they load.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "samples/ChannelPlots.h"
#include "samples/LoadCommand.h"
#include "tests/support/TempDir.h"
#include "wave/Cancelled.h"
#include "wave/WaveBytes.h"

// Frame k's samples in a file of `frames` frames: different in every file and channel.
inline std::pair<std::int16_t, std::int16_t> FrameOf(int frames, int k) {
    return {std::int16_t(k * 7 + frames), std::int16_t(-k * 3 - frames)};
}

inline TBytes WaveOf(int frames) {
    std::vector<std::pair<std::int16_t, std::int16_t>> values;
    for (int k = 1; k <= frames; ++k)
        values.push_back(FrameOf(frames, k));
    return PlainWave(TWaveBytes::Frames(values));
}

struct TStoreStep {
    enum TEnd { enLoaded, enCancelled, enUnreadable };
    int Frames;
    TEnd End;
};

// Runs the steps on `plots`, then `check(step)` after each: 300,000 frames need more than the
// first block the store takes, 700,000 more again.
template <class TCheck> void RunStoreMovingLoads(TChannelPlots& plots, const TCheck& check) {
    const TStoreStep steps[] = {{3, TStoreStep::enLoaded},     {300'000, TStoreStep::enLoaded},
                                {5, TStoreStep::enLoaded},     {700'000, TStoreStep::enCancelled},
                                {2, TStoreStep::enLoaded},     {700'000, TStoreStep::enLoaded},
                                {0, TStoreStep::enUnreadable}, {4, TStoreStep::enLoaded}};
    TTempDir dir;
    const TWaveLog log = [](const std::string&) {};
    for (const TStoreStep& step : steps) {
        SCOPED_TRACE(std::to_string(step.Frames) + " frames, end " + std::to_string(step.End));
        const std::string name =
            dir.Write("f" + std::to_string(step.Frames) + ".wav",
                      step.End == TStoreStep::enUnreadable ? TBytes{'x'} : WaveOf(step.Frames));
        TLoadOptions options;
        if (step.End == TStoreStep::enCancelled)
            options.Progress = [](std::uint64_t, std::uint64_t) { return false; };
        bool cancelled = false;
        try {
            RunLoadCommand(true, name, log, &plots, options);
        } catch (const TCancelled&) {
            cancelled = true;
        }
        EXPECT_EQ(cancelled, step.End == TStoreStep::enCancelled);
        check(step);
    }
}
