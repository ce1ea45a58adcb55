#include "report/LoudnessMeter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "report/KWeighting.h"
#include "report/TruePeak.h"
#include "wave/SpeakerPositions.h"

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

// Channels take their positions from the channel mask. LFE weighs 0; back and side left/right
// are the surrounds (1.41); back centre lies behind the listener rather than beside and weighs
// 1.0, as do the fronts, the tops and channels beyond the mask's bits. Without a mask, one to
// five channels are L, R, C, Ls, Rs in that order; from six on they take the mask's positions
// in order (L R C LFE Ls Rs and on), as a WAVE file without a mask is laid out.
std::vector<double> LoudnessWeights(int channels, std::uint32_t channelMask) {
    const double surround = 1.41;
    auto weightOf = [&](int position) {
        switch (position) {
        case spLowFrequency:
            return 0.0;
        case spBackLeft:
        case spBackRight:
        case spSideLeft:
        case spSideRight:
            return surround;
        default:
            return 1.0;
        }
    };
    std::vector<double> weights;
    if (channels <= 0)
        return weights;
    if (channelMask == 0 && channels <= 5) {
        const double byPosition[5] = {1.0, 1.0, 1.0, surround, surround};
        return std::vector<double>(byPosition, byPosition + channels);
    }
    for (int position : SpeakerPositions(channels, channelMask != 0 ? channelMask : 0xFFFFFFFFu))
        weights.push_back(weightOf(position));
    return weights;
}

struct TLoudnessSetup {
    int Channels = 0;
    std::uint64_t SubBlock = 1; // frames of 100 ms
    std::uint64_t WarmUp = 0;
    TKWeighting Filters;
    TTruePeakFilter Peak;
};

namespace {

constexpr double Silence = -std::numeric_limits<double>::infinity();
// Frames weighted and interpolated at a time: the channels' copies stay in the first cache.
constexpr std::size_t Chunk = 2048;

double LoudnessOf(double power) {
    return -0.691 + 10.0 * std::log10(power);
}

// Non-finite samples count as silence: a NaN or an infinity would otherwise stay in the
// filters' memory and make every later block and the whole file's loudness NaN. The report
// counts such samples on its own.
void CopyFinite(const float* in, std::size_t count, float* out) {
    std::size_t i = 0;
#if defined(__x86_64__)
    const __m128i exponent = _mm_set1_epi32(0x7F800000);
    for (; i + 4 <= count; i += 4) {
        const __m128 x = _mm_loadu_ps(in + i);
        const __m128i bits = _mm_and_si128(_mm_castps_si128(x), exponent);
        const __m128 nonFinite = _mm_castsi128_ps(_mm_cmpeq_epi32(bits, exponent));
        _mm_storeu_ps(out + i, _mm_andnot_ps(nonFinite, x));
    }
#endif
    for (; i < count; ++i)
        out[i] = std::isfinite(in[i]) ? in[i] : 0.0f;
}

// Denormal numbers in the filters' memory (a decaying tail after sound stops) cost a hundred
// times a normal operation; flushed to zero they change nothing measurable.
class TFlushDenormals {
  public:
#if defined(__x86_64__)
    TFlushDenormals() : Saved(_mm_getcsr()) {
        _mm_setcsr(Saved | 0x8040);
    } // FTZ and DAZ
    ~TFlushDenormals() {
        _mm_setcsr(Saved);
    }

  private:
    unsigned Saved;
#endif
};

// The measured frames of [First, First + Frames): per channel the sum of squares of the weighted
// samples in each 100 ms sub-block the part touches (a sub-block cut by the part's edge holds
// the part's share), and the true peak. Warm-up frames only settle the filters' memory.
class TLoudnessPart final : public TListenerPart {
  public:
    TLoudnessPart(std::shared_ptr<const TLoudnessSetup> setup, std::uint64_t first,
                  std::uint64_t frames)
        : Setup(std::move(setup)), First(first), Count(frames),
          FirstSubBlock(first / Setup->SubBlock), States(std::size_t(Setup->Channels)),
          Peaks(std::size_t(Setup->Channels), 0.0f),
          Copies(std::size_t(Setup->Channels),
                 std::vector<float>(TTruePeakFilter::History + Chunk, 0.0f)),
          Pointers(std::size_t(Setup->Channels)), Shifted(std::size_t(Setup->Channels)),
          Sums(std::size_t(Setup->Channels)) {
        if (frames > 0) {
            const std::uint64_t last = (first + frames - 1) / Setup->SubBlock;
            Energy.assign(std::size_t(last - FirstSubBlock + 1) * std::size_t(Setup->Channels), 0);
        }
    }

    void WarmUp(const TAudioBlock& block) override { Feed(block, false); }
    void Frames(const TAudioBlock& block) override { Feed(block, true); }

    // The file's end: the values between the last samples and the silence after them.
    void Flush() {
        for (std::size_t c = 0; c < Copies.size(); ++c) {
            float* x = Copies[c].data() + TTruePeakFilter::History;
            std::fill(x, x + TTruePeakFilter::History, 0.0f);
            Peaks[c] = std::max(Peaks[c], Setup->Peak.Peak(x, TTruePeakFilter::History));
        }
    }

    std::shared_ptr<const TLoudnessSetup> Setup;
    std::uint64_t First, Count;
    std::uint64_t FirstSubBlock;
    std::vector<double> Energy; // [sub-block - FirstSubBlock][channel]
    std::vector<TKWeightState> States;
    std::vector<float> Peaks;

  private:
    void Feed(const TAudioBlock& block, bool measure) {
        const TFlushDenormals flush;
        const int channels = std::min(block.Channels, Setup->Channels);
        const std::size_t history = TTruePeakFilter::History;
        std::vector<const float*>& chunk = Pointers;
        std::vector<const float*>& at = Shifted;
        std::vector<double>& sums = Sums;
        for (std::size_t start = 0; start < block.Frames; start += Chunk) {
            const std::size_t count = std::min(Chunk, block.Frames - start);
            for (int c = 0; c < channels; ++c) {
                CopyFinite(block.Scaled[c] + start, count, Copies[std::size_t(c)].data() + history);
                chunk[std::size_t(c)] = Copies[std::size_t(c)].data() + history;
            }
            if (!measure) {
                KWeightSquares(Setup->Filters, States.data(), chunk.data(), channels, count,
                               sums.data());
            } else {
                // Cut at the sub-blocks' edges, counted from the file's first frame.
                std::size_t done = 0;
                while (done < count) {
                    const std::uint64_t frame = block.FirstFrame + start + done;
                    const std::uint64_t subBlock = frame / Setup->SubBlock;
                    const std::size_t length = std::size_t(std::min<std::uint64_t>(
                        count - done, (subBlock + 1) * Setup->SubBlock - frame));
                    std::fill(sums.begin(), sums.end(), 0.0);
                    for (int c = 0; c < channels; ++c)
                        at[std::size_t(c)] = chunk[std::size_t(c)] + done;
                    KWeightSquares(Setup->Filters, States.data(), at.data(), channels, length,
                                   sums.data());
                    AddEnergy(subBlock, sums);
                    done += length;
                }
                for (int c = 0; c < channels; ++c)
                    Peaks[std::size_t(c)] = std::max(
                        Peaks[std::size_t(c)], Setup->Peak.Peak(chunk[std::size_t(c)], count));
            }
            for (int c = 0; c < channels; ++c) {
                float* copy = Copies[std::size_t(c)].data();
                std::memmove(copy, copy + count, history * sizeof(float));
            }
        }
    }

    void AddEnergy(std::uint64_t subBlock, const std::vector<double>& sums) {
        if (subBlock < FirstSubBlock)
            return; // frames before the part's own: not its to measure
        const std::size_t channels = std::size_t(Setup->Channels);
        const std::size_t at = std::size_t(subBlock - FirstSubBlock) * channels;
        if (at + channels > Energy.size())
            Energy.resize(at + channels, 0.0); // frames beyond the part's announced end
        for (std::size_t c = 0; c < sums.size(); ++c)
            Energy[at + c] += sums[c];
    }

    std::vector<std::vector<float>> Copies; // per channel: History samples before, then a chunk
    std::vector<const float*> Pointers, Shifted; // per channel, reused from block to block
    std::vector<double> Sums;
};

// The loudness of each window of `length` sub-blocks, every sub-block: power from the weighted
// sums of squares.
std::vector<double> WindowLoudness(const std::vector<double>& weighted, std::size_t length,
                                   double frames) {
    std::vector<double> loudness;
    for (std::size_t end = length; end <= weighted.size(); ++end) {
        double sum = 0;
        for (std::size_t j = end - length; j < end; ++j)
            sum += weighted[j];
        loudness.push_back(LoudnessOf(sum / (double(length) * frames)));
    }
    return loudness;
}

double MaxOf(const std::vector<double>& values) {
    return values.empty() ? Silence : *std::max_element(values.begin(), values.end());
}

// The loudness of the mean power of the blocks above `gate`.
double GatedMean(const std::vector<double>& loudness, double gate, std::size_t* count = nullptr) {
    double sum = 0;
    std::size_t n = 0;
    for (double l : loudness)
        if (l > gate) {
            sum += std::pow(10.0, (l + 0.691) / 10.0);
            ++n;
        }
    if (count)
        *count = n;
    return n == 0 ? Silence : LoudnessOf(sum / double(n));
}

// Integrated loudness: the 400 ms blocks above -70 LUFS, then those above 10 LU under their
// mean.
double Integrated(const std::vector<double>& momentary) {
    const double absolute = -70.0;
    const double relative = GatedMean(momentary, absolute) - 10.0;
    return GatedMean(momentary, std::max(absolute, relative));
}

// Loudness range: the 3 s blocks above -70 LUFS and above 20 LU under their mean, from their
// 10th to their 95th percentile (linear between ranks).
double Range(const std::vector<double>& shortTerm) {
    const double absolute = -70.0;
    const double relative = GatedMean(shortTerm, absolute) - 20.0;
    const double gate = std::max(absolute, relative);
    std::vector<double> kept;
    for (double l : shortTerm)
        if (l > gate)
            kept.push_back(l);
    if (kept.size() < 2)
        return 0;
    std::sort(kept.begin(), kept.end());
    auto percentile = [&](double p) {
        const double at = p * double(kept.size() - 1);
        const std::size_t below = std::size_t(at);
        const std::size_t above = std::min(below + 1, kept.size() - 1);
        return kept[below] + (kept[above] - kept[below]) * (at - double(below));
    };
    return percentile(0.95) - percentile(0.10);
}

} // namespace

TLoudnessMeter::TLoudnessMeter(std::vector<double> weights) : Weights(std::move(weights)) {}

void TLoudnessMeter::Begin(const TPassFormat& format) {
    auto setup = std::make_shared<TLoudnessSetup>();
    const double rate = std::max(1.0, double(format.Format.SampleRate));
    setup->Channels = format.Format.Channels;
    setup->SubBlock = std::max<std::uint64_t>(1, std::uint64_t(std::llround(rate / 10.0)));
    // The high-pass's memory decays by e^-1 in about 4 ms: after 0.5 s what a part's zero start
    // leaves lies below double precision, so a split file measures as the whole one.
    setup->WarmUp =
        std::max<std::uint64_t>(TTruePeakFilter::History, std::uint64_t(std::ceil(rate / 2.0)));
    setup->Filters = KWeightingFilters(rate);
    setup->Peak = TTruePeakFilter(rate);
    Setup = std::move(setup);
    Measured = {};
}

std::uint64_t TLoudnessMeter::WarmUpFrames() const {
    return Setup ? Setup->WarmUp : 0;
}

std::uint64_t TLoudnessMeter::PartAlignment() const {
    return Setup ? Setup->SubBlock : 1;
}

std::unique_ptr<TListenerPart> TLoudnessMeter::Part(std::uint64_t first, std::uint64_t frames) {
    return std::make_unique<TLoudnessPart>(Setup, first, frames);
}

void TLoudnessMeter::End(std::vector<std::unique_ptr<TListenerPart>> parts) {
    const std::size_t channels = std::size_t(Setup ? Setup->Channels : 0);
    std::vector<double> weights(Weights);
    weights.resize(channels, 1.0);
    Measured = {};
    Measured.TruePeak.assign(channels, 0.0);

    std::uint64_t frames = 0;
    TLoudnessPart* last = nullptr;
    for (auto& p : parts) {
        auto* part = static_cast<TLoudnessPart*>(p.get());
        if (!last || part->First + part->Count >= last->First + last->Count)
            last = part;
        frames = std::max(frames, part->First + part->Count);
    }
    if (last)
        last->Flush();

    // Complete sub-blocks only: a block is measured once all its frames are there.
    const std::size_t subBlocks = std::size_t(Setup ? frames / Setup->SubBlock : 0);
    std::vector<double> weighted(subBlocks, 0.0);
    for (auto& p : parts) {
        auto* part = static_cast<const TLoudnessPart*>(p.get());
        for (std::size_t at = 0; at < part->Energy.size(); ++at) {
            const std::size_t subBlock = std::size_t(part->FirstSubBlock) + at / channels;
            if (subBlock < subBlocks)
                weighted[subBlock] += weights[at % channels] * part->Energy[at];
        }
        for (std::size_t c = 0; c < channels; ++c)
            Measured.TruePeak[c] = std::max(Measured.TruePeak[c], double(part->Peaks[c]));
    }

    const double subBlockFrames = double(Setup ? Setup->SubBlock : 1);
    const std::vector<double> momentary = WindowLoudness(weighted, 4, subBlockFrames);
    const std::vector<double> shortTerm = WindowLoudness(weighted, 30, subBlockFrames);
    Measured.Integrated = Integrated(momentary);
    Measured.Range = Range(shortTerm);
    Measured.MomentaryMax = MaxOf(momentary);
    Measured.ShortTermMax = MaxOf(shortTerm);
    for (double peak : Measured.TruePeak)
        Measured.TruePeakDbtp.push_back(peak > 0 ? 20.0 * std::log10(peak) : Silence);
}

const TLoudness& TLoudnessMeter::Result() const {
    return Measured;
}
