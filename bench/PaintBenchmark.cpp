// One paint of a 1137 x 296 chart holding 10,000,000 points, for each series kind, against a
// baseline in the same run that only maps every point to its pixel with both axes'
// PixelOfValue. Also a paint zoomed so that 1% of the points is visible.
#include <benchmark/benchmark.h>

#include <random>

#include "Chart.h"
#include "LineSeries.h"

namespace {

constexpr int Points = 10'000'000;

template <class TSeries> struct TBenchChart {
    TBenchChart() {
        chart.resize(1137, 296);
        series = chart.AddSeries(std::make_unique<TSeries>());
        std::mt19937 random(1);
        std::uniform_int_distribution<int> sample(-32768, 32767);
        std::vector<double> xs(Points), ys(Points);
        for (int i = 0; i < Points; ++i) {
            xs[i] = i + 1;
            ys[i] = sample(random);
        }
        series->ReservePoints(Points);
        series->AddPointsXY(xs.data(), ys.data(), Points);
        chart.Draw(); // lays the axes out once
    }
    TChart chart;
    TSeries* series;
};

template <class TSeries> TBenchChart<TSeries>& Shared() {
    static TBenchChart<TSeries> bench;
    return bench;
}

void BM_Baseline_MapEveryPoint(benchmark::State& state) {
    auto& bench = Shared<TFastLineSeries>();
    const TChartAxis& bottom = bench.chart.BottomAxis();
    const TChartAxis& left = bench.chart.LeftAxis();
    const double* xs = bench.series->XValues.Values();
    const double* ys = bench.series->YValues.Values();
    for (auto _ : state) {
        long long sum = 0;
        for (int i = 0; i < Points; ++i)
            sum += bottom.PixelOfValue(xs[i]) + left.PixelOfValue(ys[i]);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * Points);
}

template <class TSeries> void BM_Paint(benchmark::State& state) {
    auto& bench = Shared<TSeries>();
    bench.chart.BottomAxis().SetAutomatic(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.chart.Draw().constBits());
    state.SetItemsProcessed(state.iterations() * Points);
}

// Zoomed to the last 1% of the points: the points before the view cost nothing.
template <class TSeries> void BM_PaintZoomed(benchmark::State& state) {
    auto& bench = Shared<TSeries>();
    bench.chart.BottomAxis().SetRangeManual(Points * 0.99, Points);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.chart.Draw().constBits());
    bench.chart.BottomAxis().SetAutomatic(true);
    state.SetItemsProcessed(state.iterations() * Points / 100);
}

BENCHMARK(BM_Baseline_MapEveryPoint)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Paint, TFastLineSeries)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Paint, TLineSeries)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PaintZoomed, TFastLineSeries)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PaintZoomed, TLineSeries)->Unit(benchmark::kMillisecond);

} // namespace
