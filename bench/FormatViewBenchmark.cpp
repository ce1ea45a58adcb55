// The file's format view on big files, each against a baseline in the same run:
// - `riffscope --as-format --render` of a 100,000,000-frame 24-bit stereo file (600 MB of
//   data), as a whole process, against the huge-page load limit: reading the 100,000,000-frame
//   16-bit file into huge-page memory and splitting it into two channels of 32-bit integers,
//   the floor of the default view's load. Its peak anonymous memory (RssAnon: the file's
//   mapped pages are not counted) is reported beside the data size.
// - `riffscope --as-format --render` of a 5 GB RF64 file of 16-bit stereo (1.3 billion frames)
//   against `cat FILE > /dev/null`, both with the file in the page cache.
// - Zoom, pan and undo repaints of a plot that views 1.3 billion frames of that file.
// The files are written once into the temporary folder and kept for later runs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/ChannelValues.h"
#include "bench/BenchWaveFile.h"
#include "bench/WholeProcess.h"
#include "chart/interaction/Chart.h"
#include "chart/panel/LineSeries.h"
#include "memory/LargeBuffer.h"
#include "wave/AudioFile.h"

namespace {

// Renders `file` in its format as a whole process each iteration; reports the peak RssAnon.
void RenderAsFormat(benchmark::State& state, const std::string& file) {
    WarmUp(file);
    std::uint64_t peak = 0;
    for (auto _ : state)
        peak = std::max(peak, RunToEnd({RIFFSCOPE_PATH, "--as-format", "--render",
                                        "/tmp/riffscope-bench-render.png", file}));
    state.counters["peak_anon_MiB"] = double(peak) / 1024;
}

void BM_Render24BitAsFormat(benchmark::State& state) {
    RenderAsFormat(state, BigFile(Frames24, 24, false));
    state.counters["data_MiB"] = double(Frames24 * 6) / (1 << 20);
}

// The floor of the default view's load: the 16-bit file read into huge-page memory and split
// into its two channels of 32-bit integers.
void BM_Baseline_HugePageLoadLimit(benchmark::State& state) {
    const std::string file = BenchWaveFile(std::uint32_t(Frames24));
    WarmUp(file);
    for (auto _ : state) {
        TLargeBuffer bytes, left, right;
        const std::size_t size = std::size_t(Frames24 * 4);
        bytes.Resize(size);
        left.Resize(size);
        right.Resize(size);
        const int fd = open(file.c_str(), O_RDONLY);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = pread(fd, bytes.Data() + done, size - done, off_t(44 + done));
            if (got <= 0)
                break;
            done += std::size_t(got);
        }
        close(fd);
        const auto* in = reinterpret_cast<const std::int16_t*>(bytes.Data());
        auto* l = reinterpret_cast<std::int32_t*>(left.Data());
        auto* r = reinterpret_cast<std::int32_t*>(right.Data());
        for (std::size_t i = 0; i < Frames24; ++i) {
            l[i] = in[2 * i];
            r[i] = in[2 * i + 1];
        }
        benchmark::DoNotOptimize(l[Frames24 - 1] + r[Frames24 - 1]);
    }
}

void BM_RenderRf64AsFormat(benchmark::State& state) {
    const std::string file = BigFile(FramesRf64, 16, true);
    RenderAsFormat(state, file);
    state.counters["file_MiB"] = double(std::filesystem::file_size(file)) / (1 << 20);
}

void BM_Baseline_CatRf64(benchmark::State& state) {
    const std::string file = BigFile(FramesRf64, 16, true);
    WarmUp(file);
    for (auto _ : state)
        RunToEnd({"/bin/cat", file}, "/dev/null");
}

// A plot viewing 1.3 billion frames of the RF64 file, as the window shows it.
struct TBigPlot {
    TBigPlot() : Audio(OpenAudioFile(BigFile(FramesRf64, 16, true), false)) {
        Samples = std::make_shared<const TAudioSamples>(Audio.Bytes, Audio.Facts);
        chart.resize(1137, 296);
        series = chart.AddSeries(std::make_unique<TLineSeries>());
        series->ViewValues(std::make_shared<TChannelValues>(Samples, 0, int(Samples->Frames())));
        chart.Draw();
    }
    TAudioFile Audio;
    std::shared_ptr<const TAudioSamples> Samples;
    TChart chart;
    TLineSeries* series;
};

TBigPlot& BigPlot() {
    static TBigPlot plot;
    return plot;
}

// One zoom into the middle tenth, one pan by a tenth and one undo, each a repaint.
void BM_ZoomPanUndoRf64(benchmark::State& state) {
    TBigPlot& plot = BigPlot();
    TChartAxis& bottom = plot.chart.BottomAxis();
    const double frames = double(plot.Samples->Frames());
    for (auto _ : state) {
        bottom.SetRangeManual(frames * 0.45, frames * 0.55);
        benchmark::DoNotOptimize(plot.chart.Draw().constBits());
        bottom.SetRangeManual(frames * 0.55, frames * 0.65);
        benchmark::DoNotOptimize(plot.chart.Draw().constBits());
        bottom.SetAutomatic(true);
        benchmark::DoNotOptimize(plot.chart.Draw().constBits());
    }
    state.counters["repaints"] = benchmark::Counter(
        3 * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_Baseline_HugePageLoadLimit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_Render24BitAsFormat)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Baseline_CatRf64)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RenderRf64AsFormat)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ZoomPanUndoRf64)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
