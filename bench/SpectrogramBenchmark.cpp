// The spectrogram in the file's format view, each against a baseline in the same run:
// - `riffscope --as-format --spectrogram --render` of an hour of 48 kHz 16-bit stereo (691 MB),
//   as a whole process, against `sox FILE -n spectrogram -o OUT.png` on the same file (skipped
//   with a message where sox is not installed). The picture covers every hop of both channels.
// - The same render of the 5.2 GB RF64 file (1.3 billion frames): its peak anonymous memory as
//   a share of the file, and its time per frame beside the hour's.
// - Zoom, pan and undo repaints of a plot showing the hour's spectrogram once its pyramid is
//   built, against the same repaints of its waveform: the paint's own picture, and the time
//   until the exact one is drawn.
// - A view of 10 seconds transformed from the samples in the paint, against the waveform's
//   repaint of the same view.
// The files are written once into the temporary folder and kept for later runs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include <QApplication>

#include "app/ChannelValues.h"
#include "app/SpectrogramPlot.h"
#include "bench/BenchWaveFile.h"
#include "bench/WholeProcess.h"
#include "chart/interaction/Chart.h"
#include "chart/panel/LineSeries.h"
#include "wave/AudioFile.h"

namespace {

constexpr std::uint32_t HourFrames = 48000u * 3600u;
const char* const Picture = "/tmp/riffscope-bench-spectrogram.png";

std::string SoxPath() {
    for (const char* path : {"/usr/bin/sox", "/usr/local/bin/sox", "/bin/sox"})
        if (std::filesystem::exists(path))
            return path;
    return {};
}

// Renders both plots of `file` as spectrograms as a whole process each iteration; reports
// the peak RssAnon and the time per frame.
void RenderSpectrograms(benchmark::State& state, const std::string& file, std::uint64_t frames) {
    WarmUp(file);
    std::uint64_t peak = 0;
    for (auto _ : state)
        peak = std::max(peak, RunToEnd({RIFFSCOPE_PATH, "--as-format", "--spectrogram", "--render",
                                        Picture, file}));
    state.counters["peak_anon_MiB"] = double(peak) / 1024;
    state.counters["anon_share_of_file"] =
        double(peak) * 1024 / double(std::filesystem::file_size(file));
    state.counters["ns_per_frame"] =
        benchmark::Counter(double(frames) * double(state.iterations()) / 1e9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Baseline_SoxSpectrogramHour(benchmark::State& state) {
    const std::string sox = SoxPath();
    if (sox.empty()) {
        state.SkipWithError("sox is not installed (scripts/setup installs it): no baseline");
        return;
    }
    const std::string file = BigFile(HourFrames, 16, false);
    WarmUp(file);
    for (auto _ : state)
        RunToEnd({sox, file, "-n", "spectrogram", "-o", "/tmp/riffscope-bench-sox.png"});
}

void BM_RenderSpectrogramsHour(benchmark::State& state) {
    RenderSpectrograms(state, BigFile(HourFrames, 16, false), HourFrames);
}

void BM_RenderSpectrogramsRf64(benchmark::State& state) {
    RenderSpectrograms(state, BigFile(FramesRf64, 16, true), FramesRf64);
}

// A plot of the hour's left channel as the window shows it: the waveform, and the
// spectrogram over it when asked.
struct THourPlot {
    THourPlot() : Audio(OpenAudioFile(BigFile(HourFrames, 16, false), false)) {
        Samples = std::make_shared<const TAudioSamples>(Audio.Bytes, Audio.Facts);
        chart.resize(1137, 296);
        series = chart.AddSeries(std::make_unique<TLineSeries>());
        series->ViewValues(std::make_shared<TChannelValues>(Samples, 0, int(Samples->Frames())));
        spectrogram = new TSpectrogramPlot(chart);
        chart.Draw();
    }
    void ShowSpectrogram(bool shown) {
        if (shown)
            spectrogram->Show(Samples, 0, 48000);
        else
            spectrogram->Hide();
        chart.Draw();
    }
    // Paints until the exact picture is drawn (the pyramid built, the worker done).
    void DrawExact() {
        chart.Draw();
        while (!spectrogram->PictureFinished()) {
            QApplication::processEvents();
            if (chart.BufferDirty())
                chart.Draw();
            else
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    TAudioFile Audio;
    std::shared_ptr<const TAudioSamples> Samples;
    TChart chart;
    TLineSeries* series;
    TSpectrogramPlot* spectrogram;
};

THourPlot& HourPlot() {
    static THourPlot plot;
    return plot;
}

// Zoom into a tenth somewhere new each time (so no picture is kept from before), pan by a
// tenth, undo: three repaints. The spectrogram's figure is the paint itself; `exact_ms` is the
// mean time until each view's exact picture is drawn.
void ZoomPanUndo(benchmark::State& state, bool spectrogram) {
    THourPlot& plot = HourPlot();
    plot.ShowSpectrogram(spectrogram);
    if (spectrogram)
        plot.DrawExact(); // the pyramid is built before the clock starts
    TChartAxis& bottom = plot.chart.BottomAxis();
    const double frames = HourFrames;
    std::mt19937 random(7);
    double exactMs = 0;
    for (auto _ : state) {
        const double at = std::uniform_real_distribution<double>(0.05, 0.8)(random);
        for (auto [low, high] : {std::pair{at, at + 0.1}, std::pair{at + 0.1, at + 0.2}}) {
            bottom.SetRangeManual(frames * low, frames * high);
            benchmark::DoNotOptimize(plot.chart.Draw().constBits());
            if (spectrogram) {
                state.PauseTiming();
                const auto start = std::chrono::steady_clock::now();
                plot.DrawExact();
                exactMs += std::chrono::duration<double, std::milli>(
                               std::chrono::steady_clock::now() - start)
                               .count();
                state.ResumeTiming();
            }
        }
        bottom.SetAutomatic(true);
        benchmark::DoNotOptimize(plot.chart.Draw().constBits());
    }
    state.counters["repaints"] = benchmark::Counter(
        3 * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    if (spectrogram)
        state.counters["exact_ms_after_paint"] = exactMs / (2 * double(state.iterations()));
    plot.ShowSpectrogram(false);
}

void BM_Baseline_WaveformZoomPanUndoHour(benchmark::State& state) {
    ZoomPanUndo(state, false);
}

void BM_SpectrogramZoomPanUndoHour(benchmark::State& state) {
    ZoomPanUndo(state, true);
}

// A view of 10 seconds somewhere new each time, drawn in one paint.
void TenSeconds(benchmark::State& state, bool spectrogram) {
    THourPlot& plot = HourPlot();
    plot.ShowSpectrogram(spectrogram);
    TChartAxis& bottom = plot.chart.BottomAxis();
    std::mt19937 random(11);
    for (auto _ : state) {
        const double at = std::uniform_real_distribution<double>(0, HourFrames - 480000.0)(random);
        bottom.SetRangeManual(at, at + 480000);
        benchmark::DoNotOptimize(plot.chart.Draw().constBits());
        if (spectrogram && !plot.spectrogram->PictureFinished())
            state.SkipWithError("the 10 s view was not drawn exactly in its paint");
    }
    bottom.SetAutomatic(true);
    plot.ShowSpectrogram(false);
}

void BM_Baseline_WaveformTenSeconds(benchmark::State& state) {
    TenSeconds(state, false);
}

void BM_SpectrogramTenSecondsFromSamples(benchmark::State& state) {
    TenSeconds(state, true);
}

// The first picture of a plot showing the RF64 file's left channel whole, in a fresh plot:
// the waveform's (its min/max summary made in that paint), or the spectrogram's (a hop per
// column while its pyramid is built in the background, stopped when the plot goes).
void FirstPictureRf64(benchmark::State& state, bool spectrogram) {
    static const TAudioFile audio = OpenAudioFile(BigFile(FramesRf64, 16, true), false);
    static const auto samples = std::make_shared<const TAudioSamples>(audio.Bytes, audio.Facts);
    for (auto _ : state) {
        auto chart = std::make_unique<TChart>();
        chart->resize(1137, 296);
        auto* series = chart->AddSeries(std::make_unique<TLineSeries>());
        series->ViewValues(std::make_shared<TChannelValues>(samples, 0, int(samples->Frames())));
        auto* plot = new TSpectrogramPlot(*chart);
        if (spectrogram)
            plot->Show(samples, 0, 48000);
        benchmark::DoNotOptimize(chart->Draw().constBits());
        state.PauseTiming(); // the plot goes, its build stopped, off the clock
        chart.reset();
        state.ResumeTiming();
    }
}

void BM_Baseline_WaveformFirstPictureRf64(benchmark::State& state) {
    FirstPictureRf64(state, false);
}

void BM_SpectrogramFirstPictureRf64(benchmark::State& state) {
    FirstPictureRf64(state, true);
}

} // namespace

BENCHMARK(BM_Baseline_SoxSpectrogramHour)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_RenderSpectrogramsHour)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RenderSpectrogramsRf64)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Baseline_WaveformFirstPictureRf64)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_SpectrogramFirstPictureRf64)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_Baseline_WaveformZoomPanUndoHour)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpectrogramZoomPanUndoHour)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Baseline_WaveformTenSeconds)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpectrogramTenSecondsFromSamples)->Unit(benchmark::kMillisecond)->UseRealTime();
