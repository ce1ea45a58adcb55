// The export of 10,000,000 frames, against a baseline that formats the same lines with
// std::to_chars into one large buffer and writes it.
#include <benchmark/benchmark.h>

#include <charconv>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "samples/SampleStore.h"
#include "samples/SaveAsciiFile.h"

namespace {

constexpr int Frames = 10'000'000;

void FillStore() {
    std::uint32_t seed = 777;
    for (int i = 1; i <= Frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        LeftSamples[i] = std::int16_t(seed >> 16);
        RightSamples[i] = std::int16_t(seed);
    }
    SampleCount = Frames;
}

std::string OutputFile(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// Formats every line into one buffer and writes it; with `sync`, flushes the file to the disk
// before closing it, as the export does before it renames its file over the target.
void ToCharsOneBuffer(benchmark::State& state, bool sync) {
    FillStore();
    const std::string file = OutputFile("riffscope-bench-baseline_out.dat");
    std::vector<char> buffer(std::size_t(Frames) * 26);
    for (auto _ : state) {
        char* out = buffer.data();
        for (int i = 1; i <= Frames; ++i) {
            *out++ = ' ';
            out = std::to_chars(out, out + 11, LeftSamples[i]).ptr;
            *out++ = ' ';
            out = std::to_chars(out, out + 11, RightSamples[i]).ptr;
            *out++ = '\r';
            *out++ = '\n';
        }
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        bool written = fd >= 0;
        for (const char* p = buffer.data(); written && p < out;) {
            const ssize_t n = write(fd, p, std::size_t(out - p));
            written = n > 0;
            p += written ? n : 0;
        }
        if (written && sync)
            written = fdatasync(fd) == 0;
        if (fd >= 0)
            written = close(fd) == 0 && written;
        if (!written) {
            state.SkipWithError("cannot write the baseline file");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * Frames);
}

void BM_Baseline_ToCharsOneBuffer(benchmark::State& state) {
    ToCharsOneBuffer(state, false);
}
void BM_Baseline_ToCharsOneBufferSynced(benchmark::State& state) {
    ToCharsOneBuffer(state, true);
}

void BM_SaveAsciiFile(benchmark::State& state) {
    FillStore();
    WaveFileName = OutputFile("riffscope-bench-export.wav");
    for (auto _ : state) {
        try {
            SaveAsciiFile();
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * Frames);
}

BENCHMARK(BM_Baseline_ToCharsOneBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Baseline_ToCharsOneBufferSynced)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveAsciiFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
