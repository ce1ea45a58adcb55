// Ten minutes of 48 kHz audio, one channel: the pyramid of spectral maxima built, and plot-sized
// pictures drawn from it, each against the baseline of transforming every hop's frame with FFTW
// alone in the same run (no picture of every hop can cost less).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

#include <fftw3.h>

#include "spectrum/SpectralPyramid.h"

namespace {

constexpr std::uint64_t Rate = 48000;
constexpr std::uint64_t Frames = 600 * Rate;
constexpr std::size_t BufferFrames = 1 << 20; // the samples repeat after about 22 s
constexpr int Width = 1137, Height = 296;

// A tone sweeping over noise, as a channel's values read from a file would come.
const std::vector<double>& Buffer() {
    static const std::vector<double> buffer = [] {
        std::vector<double> b(BufferFrames);
        std::uint32_t seed = 7;
        for (std::size_t i = 0; i < BufferFrames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const double noise = double(seed >> 8) / 8388608.0 - 1.0;
            const double t = double(i) / double(Rate);
            b[i] = 0.5 * std::sin(2 * std::numbers::pi * (200 + 400 * t) * t) + 0.01 * noise;
        }
        return b;
    }();
    return buffer;
}

void ReadChannel(std::uint64_t first, std::size_t count, double* out) {
    const std::vector<double>& b = Buffer();
    while (count > 0) {
        const std::size_t at = std::size_t(first % BufferFrames);
        const std::size_t n = std::min(count, BufferFrames - at);
        std::memcpy(out, b.data() + at, n * sizeof(double));
        out += n;
        first += n;
        count -= n;
    }
}

TSpectrumSettings SettingsWithBlocks(int blockHops) {
    TSpectrumSettings s;
    s.BlockHops = blockHops;
    return s;
}

const TSpectralPyramid& Pyramid(int blockHops) {
    static std::unique_ptr<TSpectralPyramid> built[2];
    auto& p = built[blockHops == 8 ? 0 : 1];
    if (!p)
        p = std::make_unique<TSpectralPyramid>(ReadChannel, Frames, SettingsWithBlocks(blockHops),
                                               2);
    return *p;
}

// The baseline: each hop's 2048 frames read, windowed and transformed, nothing kept.
void BM_FftOfEveryHop(benchmark::State& state) {
    const int length = 2048, hop = 1024;
    double* in = fftw_alloc_real(length);
    fftw_complex* out = fftw_alloc_complex(length / 2 + 1);
    const fftw_plan plan = fftw_plan_dft_r2c_1d(length, in, out, FFTW_ESTIMATE);
    std::vector<double> window(length), frame(length);
    for (int n = 0; n < length; ++n)
        window[std::size_t(n)] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / length);
    const std::uint64_t hops = (Frames + hop - 1) / hop;
    for (auto _ : state) {
        for (std::uint64_t h = 0; h + 2 < hops; ++h) {
            ReadChannel(h * hop, length, frame.data());
            for (int n = 0; n < length; ++n)
                in[n] = frame[std::size_t(n)] * window[std::size_t(n)];
            fftw_execute(plan);
            benchmark::DoNotOptimize(out[h % 1025][0]);
        }
    }
    state.counters["hops"] = double(hops);
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

void BM_BuildPyramid(benchmark::State& state) {
    const int threads = int(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const TSpectralPyramid pyramid(ReadChannel, Frames, SettingsWithBlocks(8), threads);
        bytes = pyramid.MemoryBytes();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["MB"] = double(bytes) / 1e6;
}

// hops / 1000 of the file, from its middle on, across the view's width.
void BM_Render(benchmark::State& state) {
    const TSpectralPyramid& pyramid = Pyramid(int(state.range(0)));
    const std::uint64_t span =
        std::max<std::uint64_t>(1, pyramid.Hops() * std::uint64_t(state.range(1)) / 1000);
    const std::uint64_t first = span == pyramid.Hops() ? 0 : pyramid.Hops() / 2;
    const TSpectrogramView view{first, first + span - 1, Width, Height,
                                TFrequencyScale(fsLinear, Rate / 2.0)};
    for (auto _ : state)
        benchmark::DoNotOptimize(pyramid.Render(view, int(state.range(2))).data());
    state.counters["hops"] = double(span);
    state.counters["MB"] = double(pyramid.MemoryBytes()) / 1e6;
}

} // namespace

BENCHMARK(BM_FftOfEveryHop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPyramid)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
// Block sizes 8 and 16; the whole file, a tenth of it, and 281 hops (under one per column);
// one thread and two.
BENCHMARK(BM_Render)
    ->ArgsProduct({{8, 16}, {1000, 100, 10}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
