#pragma once
// The levels of each channel, in one pass: extremes, peak and RMS in dBFS, DC offset, crest
// factor, clipping, digital silence at the head and tail, the bits actually in use, and for
// float data the values that are not numbers, infinite or beyond full scale.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "report/AudioListener.h"

// A run of consecutive samples of one channel at the format's own maximum or minimum (for
// float data: at or beyond full scale).
struct TClipRun {
    int Channel = 0;
    std::uint64_t First = 0; // frame
    std::uint64_t Length = 0;
    bool High = true; // at the maximum (else the minimum)
};

struct TChannelLevels {
    std::string Name;        // its position as the channel mask names it ("Front Left"), or empty
    double Min = 0, Max = 0; // in the format's own units; 0 for a channel of no frames
    double PeakDbfs = 0;     // -infinity for silence
    double RmsDbfs = 0;      // 20 log10(rms / full scale), -infinity for silence
    double DcOffset = 0;     // the mean, as a fraction of full scale
    double Crest = 0;        // peak / rms; 0 for silence
    std::uint64_t ClippedSamples = 0, ClippedRuns = 0;
    std::uint64_t SilenceHeadFrames = 0, SilenceTailFrames = 0;
    std::optional<int> BitsInUse;              // integers only
    std::uint64_t NaN = 0, Inf = 0, Overs = 0; // float data only
};

struct TLevels {
    std::vector<TChannelLevels> Channels;
    // The clipped runs in the order of their frames, channel by channel within a frame; the
    // first MaxRunsKept of them.
    std::vector<TClipRun> Runs;
    static constexpr std::size_t MaxRunsKept = 10000;
};

class TLevelMeter : public TAudioListener {
  public:
    // `clipRunLength`: how many consecutive samples at a limit make a clipped run.
    explicit TLevelMeter(std::uint64_t clipRunLength = 3);
    void Begin(const TPassFormat& format) override;
    std::unique_ptr<TListenerPart> Part(std::uint64_t first, std::uint64_t frames) override;
    void End(std::vector<std::unique_ptr<TListenerPart>> parts) override;
    const TLevels& Result() const { return Levels; }

  private:
    std::uint64_t ClipRunLength;
    TPassFormat Format;
    TLevels Levels;
};
