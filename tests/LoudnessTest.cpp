// The loudness meter on generated tones and noise: the reference meter library run on the same
// samples (the same channel map, its maxima read every 100 ms), the published test signals'
// expected values, and a file measured whole and in parts giving the same figures.
#include "report/LoudnessMeter.h"
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include <ebur128.h>

#include "report/CpuFeatures.h"
#include "report/KWeighting.h"

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

struct TSignal {
    unsigned Rate = 48000;
    std::uint32_t Mask = 0;
    std::vector<std::vector<float>> Channels;
    std::size_t Frames() const { return Channels.empty() ? 0 : Channels[0].size(); }
};

// A stretch of one channel: a sine of `frequency` whose crest is at `dbfs` (or silence for
// -infinity), for `seconds`.
struct TTone {
    double Seconds, Dbfs, Frequency = 1000;
};

// Tones one after another, the phase running on; `offset` shifts the crests (in samples). The
// first and last 5 ms fade, as a step from silence to a crest would overshoot between samples.
std::vector<float> Tones(unsigned rate, const std::vector<TTone>& tones, double offset = 0) {
    std::vector<float> out;
    for (const TTone& t : tones) {
        const auto frames = std::size_t(std::llround(t.Seconds * rate));
        const double amplitude = std::pow(10.0, t.Dbfs / 20.0);
        for (std::size_t i = 0; i < frames; ++i) {
            const double n = double(out.size()) - offset;
            out.push_back(
                float(amplitude * std::cos(2 * std::numbers::pi * t.Frequency * n / rate)));
        }
    }
    const std::size_t fade = std::min<std::size_t>(rate / 200, out.size() / 2);
    for (std::size_t i = 0; i < fade; ++i) {
        const double gain = 0.5 - 0.5 * std::cos(std::numbers::pi * double(i) / double(fade));
        out[i] = float(out[i] * gain);
        out[out.size() - 1 - i] = float(out[out.size() - 1 - i] * gain);
    }
    return out;
}

TSignal Stereo(unsigned rate, const std::vector<TTone>& tones, double offset = 0) {
    const std::vector<float> channel = Tones(rate, tones, offset);
    return {rate, 0, {channel, channel}};
}

// Noise below about 4 kHz (two one-pole low-passes) whose level steps every 5 s between `low`
// and `high` dBFS, a different sequence per channel. Steps of 5 s leave whole 3 s windows at
// either level, so the range does not depend on how often the short-term loudness is taken.
TSignal Noise(unsigned rate, int channels, double seconds, double low, double high) {
    TSignal s{rate, 0, {}};
    std::uint32_t seed = 12345;
    const auto frames = std::size_t(seconds * rate);
    const double smoothing = 1 - std::exp(-2 * std::numbers::pi * 4000.0 / rate);
    for (int c = 0; c < channels; ++c) {
        std::vector<float> channel(frames);
        double first = 0, second = 0;
        for (std::size_t i = 0; i < frames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            first += smoothing * (double(seed >> 8) / 8388608.0 - 1.0 - first);
            second += smoothing * (first - second);
            const double level = (i / rate / 5) % 2 ? high : low;
            channel[i] = float(std::pow(10.0, level / 20.0) * 2 * second);
        }
        s.Channels.push_back(std::move(channel));
    }
    return s;
}

// The meter fed as the pass feeds it: parts starting at `partStarts` (multiples of the
// alignment) each after its warm-up frames, in blocks of `blockFrames`.
TLoudness Measure(const TSignal& s, std::vector<std::uint64_t> partStarts = {0},
                  std::size_t blockFrames = 65536) {
    TPassFormat format;
    format.Format.SampleRate = s.Rate;
    format.Format.Channels = std::uint16_t(s.Channels.size());
    format.Format.ChannelMask = s.Mask;
    format.Frames = s.Frames();
    TLoudnessMeter meter(LoudnessWeights(int(s.Channels.size()), s.Mask));
    meter.Begin(format);
    std::vector<std::unique_ptr<TListenerPart>> parts;
    auto feed = [&](TListenerPart& part, std::uint64_t from, std::uint64_t to, bool warmUp) {
        for (std::uint64_t at = from; at < to; at += blockFrames) {
            std::vector<const float*> scaled;
            for (const auto& channel : s.Channels)
                scaled.push_back(channel.data() + at);
            TAudioBlock block;
            block.FirstFrame = at;
            block.Frames = std::size_t(std::min<std::uint64_t>(blockFrames, to - at));
            block.Channels = int(s.Channels.size());
            block.Scaled = scaled.data();
            warmUp ? part.WarmUp(block) : part.Frames(block);
        }
    };
    for (std::size_t p = 0; p < partStarts.size(); ++p) {
        const std::uint64_t first = partStarts[p];
        const std::uint64_t end = p + 1 < partStarts.size() ? partStarts[p + 1] : s.Frames();
        EXPECT_EQ(first % meter.PartAlignment(), 0u);
        parts.push_back(meter.Part(first, end - first));
        feed(*parts.back(), first - std::min(first, meter.WarmUpFrames()), first, true);
        feed(*parts.back(), first, end, false);
    }
    meter.End(std::move(parts));
    return meter.Result();
}

// The reference library on the same samples, fed 100 ms at a time for its maxima.
TLoudness Reference(const TSignal& s) {
    const auto channels = unsigned(s.Channels.size());
    ebur128_state* st =
        ebur128_init(channels, s.Rate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
    const std::vector<double> weights = LoudnessWeights(int(channels), s.Mask);
    for (unsigned c = 0; c < channels; ++c)
        ebur128_set_channel(st, c,
                            weights[c] == 0   ? EBUR128_UNUSED
                            : weights[c] == 1 ? EBUR128_LEFT
                                              : EBUR128_LEFT_SURROUND);
    TLoudness r;
    r.MomentaryMax = r.ShortTermMax = -Infinity;
    const std::size_t step = (s.Rate + 5) / 10;
    std::vector<float> interleaved(step * channels);
    for (std::size_t at = 0; at + step <= s.Frames(); at += step) {
        for (std::size_t i = 0; i < step; ++i)
            for (unsigned c = 0; c < channels; ++c)
                interleaved[i * channels + c] = s.Channels[c][at + i];
        ebur128_add_frames_float(st, interleaved.data(), step);
        double value;
        if (at + step >= 4 * step && ebur128_loudness_momentary(st, &value) == EBUR128_SUCCESS)
            r.MomentaryMax = std::max(r.MomentaryMax, value);
        if (at + step >= 30 * step && ebur128_loudness_shortterm(st, &value) == EBUR128_SUCCESS)
            r.ShortTermMax = std::max(r.ShortTermMax, value);
    }
    // The frames after the last whole 100 ms only reach the peaks.
    const std::size_t rest = s.Frames() % step;
    for (std::size_t i = 0; i < rest; ++i)
        for (unsigned c = 0; c < channels; ++c)
            interleaved[i * channels + c] = s.Channels[c][s.Frames() - rest + i];
    ebur128_add_frames_float(st, interleaved.data(), rest);
    ebur128_loudness_global(st, &r.Integrated);
    ebur128_loudness_range(st, &r.Range);
    for (unsigned c = 0; c < channels; ++c) {
        double peak = 0;
        ebur128_true_peak(st, c, &peak);
        r.TruePeak.push_back(peak);
        r.TruePeakDbtp.push_back(20 * std::log10(peak));
    }
    ebur128_destroy(&st);
    return r;
}

void ExpectNear(double actual, double expected, double tolerance, const std::string& what) {
    if (std::isinf(expected))
        EXPECT_EQ(actual, expected) << what;
    else
        EXPECT_NEAR(actual, expected, tolerance) << what;
}

void ExpectSame(const TLoudness& a, const TLoudness& b, double tolerance, const std::string& what) {
    ExpectNear(a.Integrated, b.Integrated, tolerance, what + " integrated");
    ExpectNear(a.Range, b.Range, tolerance, what + " range");
    ExpectNear(a.MomentaryMax, b.MomentaryMax, tolerance, what + " momentary max");
    ExpectNear(a.ShortTermMax, b.ShortTermMax, tolerance, what + " short-term max");
    ASSERT_EQ(a.TruePeakDbtp.size(), b.TruePeakDbtp.size()) << what;
    for (std::size_t c = 0; c < a.TruePeakDbtp.size(); ++c)
        ExpectNear(a.TruePeakDbtp[c], b.TruePeakDbtp[c], tolerance,
                   what + " true peak of channel " + std::to_string(c));
}

TEST(LoudnessWeights, FollowTheMaskOrThePosition) {
    struct TCase {
        int Channels;
        std::uint32_t Mask;
        std::vector<double> Weights;
    } cases[] = {
        {1, 0, {1.0}},
        {2, 0, {1.0, 1.0}},
        {5, 0, {1.0, 1.0, 1.0, 1.41, 1.41}},
        {6, 0, {1.0, 1.0, 1.0, 0.0, 1.41, 1.41}},           // L R C LFE Ls Rs
        {8, 0, {1.0, 1.0, 1.0, 0.0, 1.41, 1.41, 1.0, 1.0}}, // then front left/right of centre
        {6, 0x60F, {1.0, 1.0, 1.0, 0.0, 1.41, 1.41}},       // sides as surrounds
        {3, 0x108, {0.0, 1.0, 1.0}},                        // LFE, back centre, unmasked
        {2, 0x4, {1.0, 1.0}},                               // a centre and an unmasked one
    };
    for (const TCase& c : cases)
        EXPECT_EQ(LoudnessWeights(c.Channels, c.Mask), c.Weights)
            << c.Channels << " channels, mask " << c.Mask;
}

TEST(KWeighting, MatchesThePublishedCoefficientsAt48kHz) {
    const TKWeighting f = KWeightingFilters(48000);
    const double expected[] = {1.53512485958697,
                               -2.69169618940638,
                               1.19839281085285,
                               -1.69065929318241,
                               0.73248077421585,
                               1.0,
                               -2.0,
                               1.0,
                               -1.99004745483398,
                               0.99007225036621};
    const double actual[] = {f.Shelf.B0,    f.Shelf.B1,    f.Shelf.B2,    f.Shelf.A1,
                             f.Shelf.A2,    f.HighPass.B0, f.HighPass.B1, f.HighPass.B2,
                             f.HighPass.A1, f.HighPass.A2};
    for (int i = 0; i < 10; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-8) << "coefficient " << i;
}

// The published test signals (1 kHz unless said), each with its expected values and
// tolerances; every one is also held to the reference library within 0.1 LU / dB.
struct TEbuCase {
    std::string Name;
    TSignal Signal;
    double Integrated = NAN, IntegratedTolerance = 0.1;
    double Range = NAN, RangeTolerance = 1.0;
    double MomentaryMax = NAN, ShortTermMax = NAN; // within 0.1 LU
    double TruePeak = NAN;                         // dBTP, within +0.2 / -0.4 dB
};

std::vector<TEbuCase> EbuCases() {
    std::vector<TEbuCase> cases;
    auto add = [&](std::string name, TSignal s) {
        cases.push_back({std::move(name), std::move(s)});
        return &cases.back();
    };
    add("-23 dBFS", Stereo(48000, {{20, -23}}))->Integrated = -23;
    cases.back().MomentaryMax = cases.back().ShortTermMax = -23;
    add("-33 dBFS", Stereo(48000, {{20, -33}}))->Integrated = -33;
    add("-36/-23/-36", Stereo(48000, {{10, -36}, {60, -23}, {10, -36}}))->Integrated = -23;
    add("-72/-36/-23/-36/-72",
        Stereo(48000, {{10, -72}, {10, -36}, {60, -23}, {10, -36}, {10, -72}}))
        ->Integrated = -23;
    add("-26/-20/-26", Stereo(48000, {{20, -26}, {20.1, -20}, {20, -26}}))->Integrated = -23;
    {
        TSignal s{48000, 0, {}};
        for (double dbfs : {-28.0, -28.0, -24.0, -30.0, -30.0})
            s.Channels.push_back(Tones(48000, {{20, dbfs}}));
        add("5 channels", std::move(s))->Integrated = -23;
    }
    add("range -20/-30", Stereo(48000, {{20, -20}, {20, -30}}))->Range = 10;
    add("range -20/-15", Stereo(48000, {{20, -20}, {20, -15}}))->Range = 5;
    add("range -40/-20", Stereo(48000, {{20, -40}, {20, -20}}))->Range = 20;
    add("range -50/-35/-20/-35/-50",
        Stereo(48000, {{20, -50}, {20, -35}, {20, -20}, {20, -35}, {20, -50}}))
        ->Range = 15;
    {
        std::vector<TTone> alternating;
        for (int i = 0; i < 60; ++i)
            alternating.push_back({0.5, i % 2 ? -30.0 : -20.0});
        add("0.5 s alternating -20/-30", Stereo(48000, alternating));
    }
    add("true peak 1 kHz at -6 dBFS", Stereo(48000, {{5, -6}}))->TruePeak = -6;
    // A crest a quarter sample off: the samples read 1.8 dB (19.2 kHz) and 3 dB (12 kHz) low.
    add("true peak 19.2 kHz", Stereo(48000, {{5, -6, 19200}}, 0.25))->TruePeak = -6;
    add("true peak 12 kHz", Stereo(48000, {{5, 0, 12000}}, 0.5))->TruePeak = 0;
    // Other rates and layouts: the filters' coefficients and the oversampling follow the rate.
    add("44.1 kHz noise", Noise(44100, 2, 20, -30, -18));
    add("96 kHz noise", Noise(96000, 2, 20, -24, -12));
    add("192 kHz noise", Noise(192000, 1, 20, -24, -12));
    {
        TSignal s{48000, 0, {}};
        s.Channels.push_back(Tones(48000, {{4, -20}, {4, -30, 500}}));
        s.Channels.push_back(Tones(48000, {{8, -26, 2000}}));
        s.Channels.push_back(Tones(48000, {{8, -23, 100}}));
        add("3 channels", std::move(s));
    }
    {
        TSignal s = Noise(48000, 5, 20, -36, -20);
        s.Mask = 0x607; // front left/right/centre, side left/right
        s.Channels[2] = Tones(48000, {{20, -18, 3000}});
        add("5 channels with sides", std::move(s));
    }
    {
        TSignal s = Noise(48000, 6, 20, -30, -24);
        s.Mask = 0x3F; // 5.1: a loud LFE that must not count
        s.Channels[3] = Tones(48000, {{20, -3, 60}});
        s.Channels[4] = Tones(48000, {{20, -20, 700}});
        add("6 channels with LFE", std::move(s));
    }
    return cases;
}

TEST(LoudnessMeter, MeetsTheTestSignalsAndTheReference) {
    for (const TEbuCase& c : EbuCases()) {
        const TLoudness measured = Measure(c.Signal);
        ExpectSame(measured, Reference(c.Signal), 0.1, c.Name + " against the reference:");
        if (!std::isnan(c.Integrated)) {
            EXPECT_NEAR(measured.Integrated, c.Integrated, c.IntegratedTolerance) << c.Name;
        }
        if (!std::isnan(c.Range)) {
            EXPECT_NEAR(measured.Range, c.Range, c.RangeTolerance) << c.Name;
        }
        if (!std::isnan(c.MomentaryMax)) {
            EXPECT_NEAR(measured.MomentaryMax, c.MomentaryMax, 0.1) << c.Name;
        }
        if (!std::isnan(c.ShortTermMax)) {
            EXPECT_NEAR(measured.ShortTermMax, c.ShortTermMax, 0.1) << c.Name;
        }
        for (double dbtp : measured.TruePeakDbtp) {
            if (!std::isnan(c.TruePeak)) {
                EXPECT_LE(dbtp, c.TruePeak + 0.2) << c.Name;
                EXPECT_GE(dbtp, c.TruePeak - 0.4) << c.Name;
            }
        }
    }
}

// The pass may cut the file anywhere on the alignment and hand out blocks of any size; the
// vector code and the plain code agree within float rounding.
TEST(LoudnessMeter, GivesTheSameFiguresWholeAndInParts) {
    for (unsigned rate : {44100u, 96000u}) {
        const TSignal s = Noise(rate, 3, 9, -40, -15);
        const TLoudness whole = Measure(s);
        const std::uint64_t step = (rate + 5) / 10;
        const std::string name = std::to_string(rate) + " Hz";
        ExpectSame(Measure(s, {0, step, 7 * step, 31 * step, 80 * step}, 10007), whole, 1e-6,
                   name + " in five parts:");
        ExpectSame(Measure(s, {0, 45 * step}, 4096), whole, 1e-6, name + " in two parts:");
#if defined(__x86_64__)
        PlainCodeOnly() = true;
        ExpectSame(Measure(s, {0, 12 * step}), whole, 1e-5, name + " by the plain code:");
        PlainCodeOnly() = false;
#endif
    }
}

TEST(LoudnessMeter, SilenceAndShortFilesAreMinusInfinity) {
    struct TCase {
        std::string Name;
        TSignal Signal;
        double Integrated, MomentaryMax, ShortTermMax, TruePeakDbtp;
    } cases[] = {
        {"silence", Stereo(48000, {{5, -Infinity}}), -Infinity, -Infinity, -Infinity, -Infinity},
        {"0.3 s", Stereo(48000, {{0.3, -20}}), -Infinity, -Infinity, -Infinity, -20},
        {"2 s", Stereo(48000, {{2, -20}}), -20, -20, -Infinity, -20},
        {"no frames", Stereo(48000, {}), -Infinity, -Infinity, -Infinity, -Infinity},
    };
    for (const TCase& c : cases) {
        const TLoudness r = Measure(c.Signal);
        ExpectNear(r.Integrated, c.Integrated, 0.05, c.Name);
        ExpectNear(r.MomentaryMax, c.MomentaryMax, 0.05, c.Name);
        ExpectNear(r.ShortTermMax, c.ShortTermMax, 0.05, c.Name);
        EXPECT_EQ(r.Range, 0.0) << c.Name;
        for (double dbtp : r.TruePeakDbtp)
            ExpectNear(dbtp, c.TruePeakDbtp, 0.05, c.Name);
    }
}

// NaN and infinite samples count as silence: the figures stay those of the file with zeros in
// their place.
TEST(LoudnessMeter, SkipsNonFiniteSamples) {
    TSignal clean = Stereo(48000, {{6, -23}});
    TSignal broken = clean;
    const std::size_t at[] = {100, 48000, 48001, 200000};
    for (std::size_t i : at) {
        clean.Channels[0][i] = clean.Channels[1][i] = 0;
        broken.Channels[0][i] = std::numeric_limits<float>::quiet_NaN();
        broken.Channels[1][i] = i % 2 ? -std::numeric_limits<float>::infinity()
                                      : std::numeric_limits<float>::infinity();
    }
    const TLoudness r = Measure(broken);
    ExpectSame(r, Measure(clean), 1e-9, "with NaN and infinities:");
    EXPECT_NEAR(r.Integrated, -23, 0.1);
}

} // namespace
