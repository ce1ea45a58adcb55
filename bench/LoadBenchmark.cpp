// The Load command on a 10,000,000-frame 16-bit stereo file (reader, decode, store, both
// series of two real charts), against a baseline that only reads the file and converts it
// into the same arrays: two int32 arrays and four double arrays.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "app/SeriesPlots.h"
#include "bench/BenchWaveFile.h"
#include "chart/interaction/Chart.h"
#include "chart/panel/LineSeries.h"
#include "memory/LargeBuffer.h"
#include "samples/LoadCommand.h"
#include "samples/SampleStore.h"

namespace {

constexpr std::uint32_t Frames = 10'000'000;

void BM_Baseline_ReadAndConvert(benchmark::State& state) {
    const std::string file = BenchWaveFile(Frames);
    static std::vector<std::int32_t> left(Frames + 1), right(Frames + 1);
    for (auto _ : state) {
        std::FILE* in = file.empty() ? nullptr : std::fopen(file.c_str(), "rb");
        if (in == nullptr) {
            state.SkipWithError("no benchmark file");
            break;
        }
        std::fseek(in, 44, SEEK_SET);
        TLargeBuffer data;
        data.Resize(std::size_t(Frames) * 4);
        const std::size_t got = std::fread(data.Data(), 4, Frames, in);
        std::fclose(in);
        if (got != Frames) {
            state.SkipWithError("short benchmark file");
            break;
        }
        TLargeBuffer x1, y1, x2, y2;
        for (TLargeBuffer* list : {&x1, &y1, &x2, &y2})
            list->Resize(std::size_t(Frames) * sizeof(double));
        auto* bytes = reinterpret_cast<const std::uint8_t*>(data.Data());
        auto* px1 = reinterpret_cast<double*>(x1.Data());
        auto* py1 = reinterpret_cast<double*>(y1.Data());
        auto* px2 = reinterpret_cast<double*>(x2.Data());
        auto* py2 = reinterpret_cast<double*>(y2.Data());
        for (std::uint32_t i = 0; i < Frames; ++i, bytes += 4) {
            const std::int16_t l = std::int16_t(bytes[0] | bytes[1] << 8);
            const std::int16_t r = std::int16_t(bytes[2] | bytes[3] << 8);
            left[i + 1] = l;
            right[i + 1] = r;
            px1[i] = px2[i] = double(i + 1);
            py1[i] = l;
            py2[i] = r;
        }
        benchmark::DoNotOptimize(px1);
        benchmark::DoNotOptimize(py2);
    }
    state.SetItemsProcessed(state.iterations() * Frames);
}

void BM_LoadCommand(benchmark::State& state) {
    const std::string file = BenchWaveFile(Frames);
    TChart chart1, chart2;
    auto* series1 = chart1.AddSeries(std::make_unique<TFastLineSeries>());
    auto* series2 = chart2.AddSeries(std::make_unique<TLineSeries>());
    TSeriesPlots plots(*series1, *series2);
    const TWaveLog log = [](const std::string&) {};
    for (auto _ : state) {
        TLoadResult result = RunLoadCommand(true, file, log, &plots);
        if (result.Status != wsOk || result.FramesLoaded != int(Frames)) {
            state.SkipWithError("load failed");
            break;
        }
        state.PauseTiming(); // the next load starts from empty series, as after a clear
        series1->ClearPoints();
        series2->ClearPoints();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Frames);
}

BENCHMARK(BM_Baseline_ReadAndConvert)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
