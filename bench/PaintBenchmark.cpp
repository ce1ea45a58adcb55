// One paint of a 1137 x 296 chart holding 1,000,000, 10,000,000 or 100,000,000 points, for
// each series kind: as the window paints it (a dense path drawn column by column from the
// value lists' summaries), and in the same run the same paint drawing every point, and a
// baseline that only maps every point to its pixel with both axes' PixelOfValue. Also a paint
// zoomed so that 1% of the points is visible, and the full view of a series whose values view
// 32-bit samples held elsewhere, as the default view shows a load.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "Chart.h"
#include "LineSeries.h"
#include "OutsideIntValues.h"

namespace {

template <class TSeries> struct TBenchChart {
    explicit TBenchChart(int points) : Points(points) {
        chart.resize(1137, 296);
        series = chart.AddSeries(std::make_unique<TSeries>());
        std::mt19937 random(1);
        std::uniform_int_distribution<int> sample(-32768, 32767);
        constexpr int block = 1 << 16;
        std::vector<double> xs(block), ys(block);
        series->ReservePoints(points);
        // Frames 1, 2, 3, ... as a load adds them, a block at a time.
        for (int first = 0; first < points; first += block) {
            const int count = std::min(block, points - first);
            for (int k = 0; k < count; ++k) {
                xs[std::size_t(k)] = first + k + 1;
                ys[std::size_t(k)] = sample(random);
            }
            series->AddPointsXY(xs.data(), ys.data(), count);
        }
        chart.Draw(); // lays the axes out once
    }
    int Points;
    TChart chart;
    TSeries* series;
};

template <class TSeries> TBenchChart<TSeries>& Shared(int points) {
    static std::map<int, std::unique_ptr<TBenchChart<TSeries>>> charts;
    auto& bench = charts[points];
    if (!bench) {
        charts.clear(); // one size at a time: 100,000,000 points take 800 MB
        charts[points] = std::make_unique<TBenchChart<TSeries>>(points);
    }
    return *charts[points];
}

void BM_Baseline_MapEveryPoint(benchmark::State& state) {
    const int points = int(state.range(0));
    auto& bench = Shared<TFastLineSeries>(points);
    const TChartAxis& bottom = bench.chart.BottomAxis();
    const TChartAxis& left = bench.chart.LeftAxis();
    const auto xs = bench.series->XValues.View();
    const auto ys = bench.series->YValues.View();
    for (auto _ : state) {
        long long sum = 0;
        for (int i = 0; i < points; ++i)
            sum += bottom.PixelOfValue(xs[i]) + left.PixelOfValue(ys[i]);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * points);
}

// The full view; `byColumns` off draws every point (the path before summaries).
template <class TSeries> void Paint(benchmark::State& state, bool byColumns) {
    const int points = int(state.range(0));
    auto& bench = Shared<TSeries>(points);
    bench.series->SetDrawByColumns(byColumns);
    bench.chart.BottomAxis().SetAutomatic(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.chart.Draw().constBits());
    bench.series->SetDrawByColumns(true);
    state.SetItemsProcessed(state.iterations() * points);
}

template <class TSeries> void BM_Paint(benchmark::State& state) {
    Paint<TSeries>(state, true);
}
template <class TSeries> void BM_PaintEveryPoint(benchmark::State& state) {
    Paint<TSeries>(state, false);
}

// Zoomed to the last 1% of the points: the points before the view cost nothing.
template <class TSeries> void BM_PaintZoomed(benchmark::State& state) {
    const int points = int(state.range(0));
    auto& bench = Shared<TSeries>(points);
    bench.chart.BottomAxis().SetRangeManual(points * 0.99, points);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.chart.Draw().constBits());
    bench.chart.BottomAxis().SetAutomatic(true);
    state.SetItemsProcessed(state.iterations() * points / 100);
}

// The full view of a series that views 32-bit samples held elsewhere (the sample store's
// channels): X the rule 1, 2, 3, ..., Y read through the outside values and their summary.
template <class TSeries> struct TViewingChart {
    explicit TViewingChart(int points) : Samples(std::size_t(points)) {
        std::mt19937 random(1);
        std::uniform_int_distribution<int> sample(-32768, 32767);
        for (std::int32_t& v : Samples)
            v = sample(random);
        chart.resize(1137, 296);
        chart.AddSeries(std::make_unique<TSeries>())
            ->ViewValues(std::make_shared<TOutsideIntValues>(Samples.data(), points));
        chart.Draw(); // lays the axes out and builds the summary, as the load's first paint
    }
    std::vector<std::int32_t> Samples;
    TChart chart;
};

template <class TSeries> void BM_PaintViewing(benchmark::State& state) {
    const int points = int(state.range(0));
    static std::unique_ptr<TViewingChart<TSeries>> bench;
    if (!bench || int(bench->Samples.size()) != points) {
        bench.reset(); // one size at a time
        bench = std::make_unique<TViewingChart<TSeries>>(points);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(bench->chart.Draw().constBits());
    state.SetItemsProcessed(state.iterations() * points);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int points : {1'000'000, 10'000'000, 100'000'000})
        b->Arg(points);
}

BENCHMARK_TEMPLATE(BM_Paint, TFastLineSeries)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PaintEveryPoint, TFastLineSeries)
    ->Apply(Sizes)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PaintZoomed, TFastLineSeries)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_MapEveryPoint)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Paint, TLineSeries)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PaintEveryPoint, TLineSeries)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PaintZoomed, TLineSeries)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PaintViewing, TFastLineSeries)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PaintViewing, TLineSeries)->Apply(Sizes)->Unit(benchmark::kMillisecond);

} // namespace
