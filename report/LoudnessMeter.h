#pragma once
// Loudness after ITU-R BS.1770-4 and EBU R128: K-weighting, gated integrated loudness,
// loudness range (EBU Tech 3342), the highest momentary and short-term loudness, and the true
// peak of each channel (4x oversampled below 96 kHz). A listener of the audio pass: parts of
// the file are measured on their own and joined in order.
//
// (Interface agreed with the pass; the implementation is in LoudnessMeter.cpp.)

#include <cstdint>
#include <memory>
#include <vector>

#include "report/AudioListener.h"

// Channel weights: 1.0 for left, right and centre, 1.41 (+1.5 dB) for the surrounds, 0 for
// LFE. From the channel mask where the file gives one; otherwise by position as the standard
// lists them for 1 to 5 channels, and beyond five by the WAVE speaker order.
std::vector<double> LoudnessWeights(int channels, std::uint32_t channelMask);

struct TLoudness {
    // LUFS / LU; -infinity where nothing passes the gates (silence) or the file is too short
    // for a block (400 ms for momentary and integrated, 3 s for short-term and the range: the
    // range is then 0).
    double Integrated = 0, Range = 0, MomentaryMax = 0, ShortTermMax = 0;
    std::vector<double> TruePeak;     // per channel, linear (1.0 = full scale)
    std::vector<double> TruePeakDbtp; // per channel, 20 log10 of it (-infinity for silence)
};

struct TLoudnessSetup; // the rate's filters and block lengths

class TLoudnessMeter : public TAudioListener {
  public:
    // `weights`: one per channel (LoudnessWeights).
    explicit TLoudnessMeter(std::vector<double> weights);
    void Begin(const TPassFormat& format) override;
    std::uint64_t WarmUpFrames() const override;
    std::uint64_t PartAlignment() const override; // the frames of 100 ms
    std::unique_ptr<TListenerPart> Part(std::uint64_t first, std::uint64_t frames) override;
    void End(std::vector<std::unique_ptr<TListenerPart>> parts) override;
    const TLoudness& Result() const;

  private:
    std::vector<double> Weights;
    std::shared_ptr<const TLoudnessSetup> Setup; // shared with the parts
    TLoudness Measured;
};
