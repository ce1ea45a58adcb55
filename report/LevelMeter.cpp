#include "report/LevelMeter.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "wave/SpeakerPositions.h"

namespace {

constexpr double MinusInfinity = -std::numeric_limits<double>::infinity();

// A run at a limit as one part saw it.
struct TRun {
    std::uint64_t First = 0, Length = 0;
    bool High = true;
};

// What one part saw of one channel.
struct TChannelPart {
    double Min = std::numeric_limits<double>::infinity();
    double Max = -std::numeric_limits<double>::infinity();
    double Sum = 0, SumOfSquares = 0; // floats, and integers wider than 24 bits
    std::int64_t IntSum = 0;
    unsigned __int128 IntSquares = 0;                   // integers of up to 24 bits: exact
    std::uint64_t Counted = 0;                          // finite values summed
    std::uint32_t Bits = 0;                             // every integer value ORed
    std::optional<std::uint64_t> FirstSound, LastSound; // frames of the first and last non-zero
    std::uint64_t NaN = 0, Inf = 0, Overs = 0;
    // Runs: the one that started at the part's first frame and ended inside it, the one still
    // going at its end, and those in between (counted; the first ones kept as places).
    std::optional<TRun> Lead, Open;
    std::uint64_t InnerRuns = 0, InnerSamples = 0;
    std::vector<TRun> InnerKept;
};

class TLevelPart : public TListenerPart {
  public:
    TLevelPart(const TPassFormat& format, std::uint64_t first, std::uint64_t clipRunLength)
        : Channels(std::size_t(format.Format.Channels)), PartFirst(first), Format(format),
          RunLength(clipRunLength) {}

    void Frames(const TAudioBlock& block) override {
        for (int c = 0; c < block.Channels; ++c) {
            TChannelPart& part = Channels[std::size_t(c)];
            if (block.Ints)
                Integers(part, block.Ints[c], block.FirstFrame, block.Frames);
            else
                Doubles(part, block.Doubles[c], block.FirstFrame, block.Frames);
        }
    }

    std::vector<TChannelPart> Channels;
    std::uint64_t PartFirst;

  private:
    void AtLimit(TChannelPart& part, std::uint64_t frame, bool high) {
        if (part.Open && part.Open->High == high && part.Open->First + part.Open->Length == frame) {
            ++part.Open->Length;
            return;
        }
        CloseRun(part);
        part.Open = TRun{frame, 1, high};
    }
    void CloseRun(TChannelPart& part) {
        if (!part.Open)
            return;
        const TRun run = *part.Open;
        part.Open.reset();
        if (run.First == PartFirst) {
            part.Lead = run;
        } else if (run.Length >= RunLength) {
            ++part.InnerRuns;
            part.InnerSamples += run.Length;
            if (part.InnerKept.size() < TLevels::MaxRunsKept)
                part.InnerKept.push_back(run);
        }
    }
    // A run is broken by the first sample after it that is not at its limit.
    void Broken(TChannelPart& part, std::uint64_t frame) {
        if (part.Open && part.Open->First + part.Open->Length == frame)
            CloseRun(part);
    }

    void Integers(TChannelPart& part, const std::int32_t* values, std::uint64_t first,
                  std::size_t count) {
        const std::int32_t high = std::int32_t(Format.MaxValue),
                           low = std::int32_t(Format.MinValue);
        std::int32_t lo = std::numeric_limits<std::int32_t>::max();
        std::int32_t hi = std::numeric_limits<std::int32_t>::min();
        std::int64_t sum = 0;
        std::uint32_t bits = 0;
        const bool exactSquares = Format.ValueBits <= 24;
        std::int64_t squares = 0;
        double wideSquares = 0;
        std::size_t limits = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t v = values[i];
            lo = std::min(lo, v);
            hi = std::max(hi, v);
            sum += v;
            bits |= std::uint32_t(v);
            limits += (v == high) | (v == low);
            if (exactSquares)
                squares += std::int64_t(v) * v;
            else
                wideSquares += double(v) * double(v);
        }
        if (count == 0)
            return;
        part.Min = std::min(part.Min, double(lo));
        part.Max = std::max(part.Max, double(hi));
        part.IntSum += sum;
        part.IntSquares += static_cast<unsigned __int128>(squares);
        part.SumOfSquares += wideSquares;
        part.Counted += count;
        part.Bits |= bits;
        if (bits != 0) {
            std::size_t a = 0;
            while (values[a] == 0)
                ++a;
            std::size_t b = count - 1;
            while (values[b] == 0)
                --b;
            if (!part.FirstSound)
                part.FirstSound = first + a;
            part.LastSound = first + b;
        }
        // Runs only where a limit was met, and where a run may go on from the block before.
        if (limits == 0 && !part.Open)
            return;
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t v = values[i];
            if (v == high || v == low)
                AtLimit(part, first + i, v == high);
            else if (part.Open)
                Broken(part, first + i);
            if (limits == 0 && !part.Open)
                break;
        }
    }

    void Doubles(TChannelPart& part, const double* values, std::uint64_t first, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const double v = values[i];
            if (std::isnan(v)) {
                ++part.NaN;
                Broken(part, first + i);
                continue;
            }
            if (std::isinf(v))
                ++part.Inf;
            part.Min = std::min(part.Min, v);
            part.Max = std::max(part.Max, v);
            if (v != 0) {
                if (!part.FirstSound)
                    part.FirstSound = first + i;
                part.LastSound = first + i;
            }
            if (Format.Float) {
                if (std::fabs(v) > 1.0)
                    ++part.Overs;
                if (std::fabs(v) >= 1.0)
                    AtLimit(part, first + i, v > 0);
                else
                    Broken(part, first + i);
            } else if (v >= Format.MaxValue || v <= Format.MinValue) {
                AtLimit(part, first + i, v >= Format.MaxValue);
            } else {
                Broken(part, first + i);
            }
            if (std::isfinite(v)) {
                part.Sum += v;
                part.SumOfSquares += v * v;
                ++part.Counted;
            }
        }
    }

    const TPassFormat& Format;
    std::uint64_t RunLength;
};

double Decibels(double ratio) {
    return ratio > 0 ? 20 * std::log10(ratio) : MinusInfinity;
}

} // namespace

TLevelMeter::TLevelMeter(std::uint64_t clipRunLength)
    : ClipRunLength(std::max<std::uint64_t>(1, clipRunLength)) {}

void TLevelMeter::Begin(const TPassFormat& format) {
    Format = format;
    Levels = {};
}

std::unique_ptr<TListenerPart> TLevelMeter::Part(std::uint64_t first, std::uint64_t) {
    return std::make_unique<TLevelPart>(Format, first, ClipRunLength);
}

void TLevelMeter::End(std::vector<std::unique_ptr<TListenerPart>> parts) {
    const std::size_t channels = Format.Format.Channels;
    Levels.Channels.assign(channels, {});
    std::vector<std::vector<TClipRun>> runs(channels);
    for (std::size_t c = 0; c < channels; ++c) {
        TChannelLevels& out = Levels.Channels[c];
        out.Name = MaskedChannelName(int(c), Format.Format.ChannelMask);
        TChannelPart all;
        std::optional<TRun> carried; // a run going on across the parts' edges
        const auto emit = [&](const TRun& run) {
            if (run.Length < ClipRunLength)
                return;
            ++out.ClippedRuns;
            out.ClippedSamples += run.Length;
            if (runs[c].size() < TLevels::MaxRunsKept)
                runs[c].push_back({int(c), run.First, run.Length, run.High});
        };
        for (const auto& base : parts) {
            const auto& part = static_cast<const TLevelPart&>(*base);
            const TChannelPart& p = part.Channels[c];
            all.Min = std::min(all.Min, p.Min);
            all.Max = std::max(all.Max, p.Max);
            all.Sum += p.Sum;
            all.SumOfSquares += p.SumOfSquares;
            all.IntSum += p.IntSum;
            all.IntSquares += p.IntSquares;
            all.Counted += p.Counted;
            all.Bits |= p.Bits;
            all.NaN += p.NaN;
            all.Inf += p.Inf;
            all.Overs += p.Overs;
            if (!all.FirstSound)
                all.FirstSound = p.FirstSound;
            if (p.LastSound)
                all.LastSound = p.LastSound;
            // The run at the part's start continues the carried one when it is at the same
            // limit; a run open from the part's first frame to its last covers the part.
            std::optional<TRun> lead = p.Lead;
            std::optional<TRun> open = p.Open;
            if (open && open->First == part.PartFirst) {
                lead = open;
                open.reset();
            }
            if (carried && lead && lead->High == carried->High) {
                carried->Length += lead->Length;
                lead.reset();
                if (!p.Open || p.Open->First != part.PartFirst) {
                    emit(*carried);
                    carried.reset();
                }
            } else {
                if (carried)
                    emit(*carried);
                carried.reset();
                if (lead) {
                    if (p.Open && p.Open->First == part.PartFirst)
                        carried = lead;
                    else
                        emit(*lead);
                }
            }
            out.ClippedRuns += p.InnerRuns;
            out.ClippedSamples += p.InnerSamples;
            for (const TRun& run : p.InnerKept)
                if (runs[c].size() < TLevels::MaxRunsKept)
                    runs[c].push_back({int(c), run.First, run.Length, run.High});
            if (open) {
                if (carried)
                    emit(*carried);
                carried = open;
            }
        }
        if (carried)
            emit(*carried);
        std::sort(runs[c].begin(), runs[c].end(),
                  [](const TClipRun& a, const TClipRun& b) { return a.First < b.First; });

        const double full = Format.FullScale;
        const bool ints = !Format.Float && Format.ValueBits <= 32;
        double mean = 0, meanSquare = 0;
        if (all.Counted) {
            const double n = double(all.Counted);
            if (ints) {
                mean = double(all.IntSum) / n;
                meanSquare = (double(all.IntSquares) + all.SumOfSquares) / n;
            } else {
                mean = all.Sum / n;
                meanSquare = all.SumOfSquares / n;
            }
        }
        const bool any = all.Min <= all.Max;
        out.Min = any ? all.Min : 0;
        out.Max = any ? all.Max : 0;
        const double peak = std::max(std::fabs(out.Min), std::fabs(out.Max)) / full;
        const double rms = std::sqrt(meanSquare) / full;
        out.PeakDbfs = Decibels(peak);
        out.RmsDbfs = Decibels(rms);
        out.DcOffset = mean / full;
        out.Crest = rms > 0 ? peak / rms : 0;
        const std::uint64_t frames = Format.Frames;
        out.SilenceHeadFrames = all.FirstSound ? *all.FirstSound : frames;
        out.SilenceTailFrames = all.LastSound ? frames - 1 - *all.LastSound : frames;
        if (ints)
            out.BitsInUse = all.Bits == 0 ? 0 : Format.ValueBits - std::countr_zero(all.Bits);
        out.NaN = all.NaN;
        out.Inf = all.Inf;
        out.Overs = all.Overs;
    }
    // Every channel's runs in the order of their frames.
    Levels.Runs.clear();
    for (const auto& list : runs)
        Levels.Runs.insert(Levels.Runs.end(), list.begin(), list.end());
    std::stable_sort(Levels.Runs.begin(), Levels.Runs.end(),
                     [](const TClipRun& a, const TClipRun& b) { return a.First < b.First; });
    if (Levels.Runs.size() > TLevels::MaxRunsKept)
        Levels.Runs.resize(TLevels::MaxRunsKept);
}
