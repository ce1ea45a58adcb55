// The quality report as a user runs it, `riffdump --report FILE` as a whole process, against
// `md5sum FILE` in the same run: the report digests the same bytes and measures every sample's
// levels, loudness and true peak besides. The files are in the page cache for both.
// - 100,000,000 frames of 24-bit stereo (600 MB of data).
// - A 5.2 GB RF64 file of 16-bit stereo (1.3 billion frames); its peak anonymous memory is
//   reported beside the file's size.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/BenchWaveFile.h"
#include "bench/WholeProcess.h"

namespace {

void Report(benchmark::State& state, const std::string& file) {
    WarmUp(file);
    std::uint64_t peak = 0;
    for (auto _ : state)
        peak = std::max(peak, RunToEnd({RIFFDUMP_PATH, "--report", file}, "/dev/null"));
    state.counters["peak_anon_MiB"] = double(peak) / 1024;
    state.counters["file_MiB"] = double(std::filesystem::file_size(file)) / (1 << 20);
}

void Md5sum(benchmark::State& state, const std::string& file) {
    WarmUp(file);
    for (auto _ : state)
        RunToEnd({"/usr/bin/md5sum", file}, "/dev/null");
}

void BM_Report24Bit(benchmark::State& state) {
    Report(state, BigFile(Frames24, 24, false));
}
void BM_Baseline_Md5sum24Bit(benchmark::State& state) {
    Md5sum(state, BigFile(Frames24, 24, false));
}
void BM_ReportRf64(benchmark::State& state) {
    Report(state, BigFile(FramesRf64, 16, true));
}
void BM_Baseline_Md5sumRf64(benchmark::State& state) {
    Md5sum(state, BigFile(FramesRf64, 16, true));
}

} // namespace

BENCHMARK(BM_Baseline_Md5sum24Bit)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_Report24Bit)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_Baseline_Md5sumRf64)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ReportRf64)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

BENCHMARK_MAIN();
