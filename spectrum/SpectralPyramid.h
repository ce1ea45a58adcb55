#pragma once
// The spectrogram's twin of the waveform's min/max summary: the power of each frequency row
// kept as its maximum per block of hops, and the maximum per 16 blocks above that, level on
// level. A pixel column reads the whole blocks it covers from the levels and transforms the
// few hops at its ends from the samples, so each pixel is the exact maximum over every hop
// in its column whatever the zoom, and a burst too short for one column is never lost.
//
// Hop h's window is centred on frame h * hop, so hop h shows the time of that frame and the
// first frames are not lost to the taper; frames before the start and past the end read as 0.
// A channel of F frames has ceil(F / hop) hops, so a file shorter than the window still has
// one (padded) and an empty one has none. Samples that are not finite numbers read as 0 and
// are counted.

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "spectrum/SpectrogramView.h"
#include "spectrum/SpectrumSettings.h"

// Reads `count` values of the channel from frame `first` into `out` (all inside the file).
// Called from the pyramid's threads at once while it is built.
using TChannelReader = std::function<void(std::uint64_t first, std::size_t count, double* out)>;

// Told how many hops are done out of how many; returning false stops the build.
using TSpectrumProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

class TSpectralPyramid {
  public:
    TSpectralPyramid(TChannelReader reader, std::uint64_t frames, const TSpectrumSettings& settings,
                     int threads = 1, const TSpectrumProgress& progress = {});
    // A pyramid without levels: every column is transformed from the samples when drawn.
    // Nothing is computed in advance, so it is ready at once; meant for views few enough
    // hops wide that this is quick.
    static std::unique_ptr<TSpectralPyramid> OnTheFly(TChannelReader reader, std::uint64_t frames,
                                                      const TSpectrumSettings& settings);
    ~TSpectralPyramid();

    const TSpectrumSettings& Settings() const { return Used; }
    std::uint64_t Frames() const { return FrameCount; }
    std::uint64_t Hops() const { return HopCount; }
    int Bins() const { return BinCount; }
    int Rows() const { return RowCount; }
    int BinsPerRow() const { return RowWidth; }
    int HopFramesUsed() const { return HopFrames; }
    // Whether the levels are there (false for OnTheFly).
    bool HasLevels() const { return Built; }
    // Samples that were NaN or infinite, read as 0.
    std::uint64_t NonFiniteSamples() const { return NonFinite; }
    // Whether the progress callback stopped the build (the pyramid then shows silence).
    bool Cancelled() const { return Stopped; }
    std::size_t MemoryBytes() const;

    // The maximum power of each row over hops firstHop..lastHop into `rows[0..Rows-1]`
    // (0 where the range holds no hop).
    void Column(std::uint64_t firstHop, std::uint64_t lastHop, float* rows) const;

    // The rows of the pyramid each pixel row of a view takes its maximum over, bottom pixel
    // row first: every row whose bins reach into the pixel row's band of frequencies, and at
    // least one, so a tone between two pixel rows still shows.
    std::vector<std::pair<int, int>> RowBands(const TSpectrogramView& view) const;

    // The view's pixels as levels in dBFS, Width x Height, top row (highest frequency) first.
    // Safe to call from several threads at once; with `threads` > 1 it splits the columns
    // itself (the reader is then called from those threads).
    std::vector<float> Render(const TSpectrogramView& view, int threads = 1) const;

  private:
    struct TOnTheFly {};
    TSpectralPyramid(TChannelReader reader, std::uint64_t frames, const TSpectrumSettings& settings,
                     TOnTheFly);
    struct TScratch;
    // The window, hop, bin, row and hop counts the settings and the length give.
    void Measure();
    void Build(int threads, const TSpectrumProgress& progress);
    void BuildHops(std::uint64_t first, std::uint64_t last, const TSpectrumProgress& progress,
                   std::uint64_t& nonFinite);
    void BuildUpperLevels();
    // Frames from..from+count-1 into `out`, 0 outside the file and for values that are not
    // finite numbers; returns how many of those lie in countFrom..countTo-1.
    std::uint64_t ReadFrames(std::int64_t from, std::size_t count, double* out,
                             std::int64_t countFrom, std::int64_t countTo) const;
    // One hop's rows, transformed from the samples.
    void HopRows(TScratch& scratch, std::uint64_t hop) const;
    void ReduceToRows(const float* bins, float* rows) const;
    void ColumnInto(TScratch& scratch, std::uint64_t firstHop, std::uint64_t lastHop,
                    float* rows) const;
    void PreviewOrColumnInto(TScratch& scratch, TSpectrogramView::TDetail detail, THopRange hops,
                             float* rows) const;
    void BlocksInto(std::uint64_t firstBlock, std::uint64_t endBlock, float* rows) const;

    TChannelReader Reader;
    std::uint64_t FrameCount = 0;
    TSpectrumSettings Used;
    int WindowFrames = 0, HopFrames = 0, BlockHops = 0;
    int BinCount = 0, RowCount = 0, RowWidth = 1;
    std::uint64_t HopCount = 0, BlockCount = 0;
    std::vector<std::vector<float>> Levels; // [level][node * Rows + row]
    std::uint64_t NonFinite = 0;
    bool Stopped = false;
    bool Built = true;
};
