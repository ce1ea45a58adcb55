// Appending to a value list must stay amortised O(1) while its reported capacity steps by
// 1000: the time per append may not grow with the list. Baseline: std::vector::push_back.
#include <benchmark/benchmark.h>

#include <vector>

#include "chart/model/ChartValueList.h"

namespace {

// Values the list stores (halves: no rule of 1, 2, 3, ... holds them).
void BM_ValueListAppend(benchmark::State& state) {
    const int n = int(state.range(0));
    for (auto _ : state) {
        TChartValueList list("X");
        list.SetOrder(loAscending);
        for (int i = 0; i < n; ++i)
            list.AddValue(i * 0.5);
        benchmark::DoNotOptimize(list.Values());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// Frame numbers: the list holds them as a rule, with no memory behind them.
void BM_ValueListAppendFrames(benchmark::State& state) {
    const int n = int(state.range(0));
    for (auto _ : state) {
        TChartValueList list("X");
        list.SetOrder(loAscending);
        for (int i = 0; i < n; ++i)
            list.AddValue(i + 1);
        benchmark::DoNotOptimize(list.LastEntry());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_Baseline_VectorPushBack(benchmark::State& state) {
    const int n = int(state.range(0));
    for (auto _ : state) {
        std::vector<double> values;
        for (int i = 0; i < n; ++i)
            values.push_back(i);
        benchmark::DoNotOptimize(values.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(BM_Baseline_VectorPushBack)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Arg(100'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValueListAppend)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Arg(100'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValueListAppendFrames)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Arg(100'000'000)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
