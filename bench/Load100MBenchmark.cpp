// Loads a 100,000,000-frame file (400 MB of data) into the store and both series once, and
// reports the time and the peak memory of the process. Run on its own: it needs about 5 GB.
#include <chrono>
#include <cstdio>

#include <sys/resource.h>

#include "app/SeriesPlots.h"
#include "bench/BenchWaveFile.h"
#include "chart/panel/LineSeries.h"
#include "samples/LoadCommand.h"

int main() {
    const std::string file = BenchWaveFile(100'000'000);
    if (file.empty()) {
        std::fprintf(stderr, "cannot write the benchmark file\n");
        return 1;
    }
    TFastLineSeries series1;
    TLineSeries series2;
    TSeriesPlots plots(series1, series2);
    const auto start = std::chrono::steady_clock::now();
    TLoadResult result = RunLoadCommand(
        true, file, [](const std::string&) {}, &plots);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("frames loaded: %d (left out %llu)\nload time: %.2f s\npeak memory: %.2f GiB\n",
                result.FramesLoaded, static_cast<unsigned long long>(result.FramesLeftOut), seconds,
                double(usage.ru_maxrss) / (1024.0 * 1024.0));
    return result.FramesLoaded == 100'000'000 ? 0 : 1;
}
