// The loudness meter (with true peak) on stereo 48 kHz float frames fed as the pass feeds it:
// parts of 175 s, each after its warm-up, in blocks of 65536 frames, on one thread. Against
// the reference library measuring integrated loudness, range and true peak of the same
// samples in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include <ebur128.h>

#include "report/LoudnessMeter.h"

namespace {

constexpr unsigned Rate = 48000;
constexpr std::size_t BufferFrames = 1 << 20; // the frames repeat after about 22 s
constexpr std::size_t BlockFrames = 65536;

// Programme-like content: a tone over noise, the level changing every half second.
struct TSource {
    std::vector<float> Left, Right, Interleaved;
    TSource() : Left(BufferFrames), Right(BufferFrames), Interleaved(2 * BufferFrames) {
        std::uint32_t seed = 99;
        for (std::size_t i = 0; i < BufferFrames; ++i) {
            const double level = 0.1 + 0.3 * double((i / (Rate / 2)) % 3);
            const double tone = std::sin(2 * std::numbers::pi * 440.0 * double(i) / Rate);
            seed = seed * 1664525u + 1013904223u;
            const double noise = double(seed >> 8) / 8388608.0 - 1.0;
            Left[i] = float(level * (0.6 * tone + 0.3 * noise));
            Right[i] = float(level * (0.5 * tone - 0.3 * noise));
            Interleaved[2 * i] = Left[i];
            Interleaved[2 * i + 1] = Right[i];
        }
    }
};

const TSource& Source() {
    static const TSource source;
    return source;
}

void Feed(TListenerPart& part, std::uint64_t from, std::uint64_t to, bool warmUp) {
    for (std::uint64_t at = from; at < to;) {
        const std::size_t offset = std::size_t(at % BufferFrames);
        const std::size_t frames =
            std::min({BlockFrames, std::size_t(to - at), BufferFrames - offset});
        const float* scaled[2] = {Source().Left.data() + offset, Source().Right.data() + offset};
        TAudioBlock block;
        block.FirstFrame = at;
        block.Frames = frames;
        block.Channels = 2;
        block.Scaled = scaled;
        warmUp ? part.WarmUp(block) : part.Frames(block);
        at += frames;
    }
}

void LoudnessMeter(benchmark::State& state) {
    const auto frames = std::uint64_t(state.range(0));
    TPassFormat format;
    format.Format.SampleRate = Rate;
    format.Format.Channels = 2;
    format.Frames = frames;
    double integrated = 0;
    for (auto _ : state) {
        TLoudnessMeter meter(LoudnessWeights(2, 0));
        meter.Begin(format);
        const std::uint64_t partFrames = meter.PartAlignment() * 1750;
        std::vector<std::unique_ptr<TListenerPart>> parts;
        for (std::uint64_t first = 0; first < frames; first += partFrames) {
            const std::uint64_t end = std::min(frames, first + partFrames);
            parts.push_back(meter.Part(first, end - first));
            Feed(*parts.back(), first - std::min(first, meter.WarmUpFrames()), first, true);
            Feed(*parts.back(), first, end, false);
        }
        meter.End(std::move(parts));
        integrated = meter.Result().Integrated;
    }
    state.counters["LUFS"] = integrated;
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(frames));
}

void ReferenceLibrary(benchmark::State& state) {
    const auto frames = std::uint64_t(state.range(0));
    double integrated = 0;
    for (auto _ : state) {
        ebur128_state* st =
            ebur128_init(2, Rate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
        for (std::uint64_t at = 0; at < frames;) {
            const std::size_t offset = std::size_t(at % BufferFrames);
            const std::size_t n =
                std::min({BlockFrames, std::size_t(frames - at), BufferFrames - offset});
            ebur128_add_frames_float(st, Source().Interleaved.data() + 2 * offset, n);
            at += n;
        }
        double range = 0, peak = 0;
        ebur128_loudness_global(st, &integrated);
        ebur128_loudness_range(st, &range);
        ebur128_true_peak(st, 0, &peak);
        benchmark::DoNotOptimize(range);
        benchmark::DoNotOptimize(peak);
        ebur128_destroy(&st);
    }
    state.counters["LUFS"] = integrated;
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(frames));
}

} // namespace

// 10 million frames for both (the reference takes about a second for them); the meter also on
// the whole 100 million frames of the 600 MB file the report must keep pace with.
BENCHMARK(ReferenceLibrary)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(LoudnessMeter)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(LoudnessMeter)->Arg(100'000'000)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
