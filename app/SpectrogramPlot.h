#pragma once
// One plot's spectrogram: the channel's short-time spectra drawn into the plot's area for
// whatever its axes show, the waveform's series stepping aside meanwhile.
//
// A paint never waits long. A view few enough hops wide is transformed from the samples at
// once, exactly. A wider one reads the spectral pyramid, built once per file and settings on
// worker threads: until it is there the paint shows the one hop at each column's middle; once
// it is, the whole blocks each column reaches into, while the exact picture (every hop of every
// column) is made on a worker thread and shown when done. Exact pictures are kept for the
// views last seen, so undo and going back are a copy.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <QObject>
#include <QPoint>
#include <QString>

#include "app/SpectrogramChoice.h"
#include "chart/model/SeriesDrawContext.h"
#include "spectrum/SpectrogramView.h"

class TAudioSamples;
class TChart;
class TChartSeries;
class TSpectralPyramid;
class TSpectrogramSeries;

class TSpectrogramPlot : public QObject {
    Q_OBJECT
  public:
    explicit TSpectrogramPlot(TChart& chart);
    ~TSpectrogramPlot() override;

    // Shows `channel` of `samples` (read at `sampleRate`) in the plot; the spectra are
    // computed again only where the samples or the channel differ from those shown.
    void Show(std::shared_ptr<const TAudioSamples> samples, int channel, std::uint32_t sampleRate);
    // Gives the plot back to its waveform and drops the spectra.
    void Hide();
    bool Shown() const { return IsShown; }

    const TSpectrogramChoice& Choice() const { return Chosen; }
    // A change of the window, its length or the hop computes the spectra again; any other
    // only draws them again.
    void SetChoice(const TSpectrogramChoice& choice);

    // Whether the last paint drew the exact picture of the plot's view, with no paint asked
    // for since.
    bool PictureFinished() const;
    // Whether the spectra of the whole channel are there (or are being built).
    bool SpectraBuilt() const { return Pyramid != nullptr; }
    bool SpectraBuilding() const { return Building; }
    // Bytes the spectra take.
    std::size_t MemoryBytes() const;
    // Milliseconds the last paint took to make its picture.
    double LastPictureMs() const { return PictureMs; }
    // Why nothing can be drawn (memory ran out), empty otherwise.
    const QString& Problem() const { return ProblemText; }
    // Told when that changes, to say it over the plot.
    std::function<void(const QString& problem)> OnProblemChanged;

    // The frequency and level under the pointer at `at` (the plot's pixels) in the last
    // picture drawn, as the readout writes them; empty outside the picture.
    QString PointText(QPoint at) const;
    // The level in dBFS under `at` in the last picture, when there is one there.
    std::optional<double> LevelAt(QPoint at) const;
    std::optional<double> FrequencyAt(QPoint at) const;

  private:
    // Where a view's picture lies in the plot and which hops each pixel column shows.
    struct TPlan {
        TSpectrogramView View;
        int Left = 0, Right = 0;       // pixel columns drawn, included
        int TopRow = 0, BottomRow = 0; // pixel rows drawn, included
        bool HopPerColumn = false;     // fewer hops than columns: each column the hop under it
        double FirstPixel = 0, UnitsPerPixel = 1, ScaleMin = 0;   // the X mapping
        double YLastPixel = 0, YUnitsPerPixel = 1, YScaleMin = 0; // the Y mapping
        bool operator==(const TPlan& other) const;
        // The picture's column of pixel column `x`, or -1.
        int ColumnAt(int x, int hopFrames) const;
        double PositionAt(double y) const { return YScaleMin + (YLastPixel - y) * YUnitsPerPixel; }
    };
    struct TPicture {
        TPlan Plan;
        std::vector<float> Levels;
        std::uint64_t Generation = 0;
    };
    struct TRenderJob {
        TPlan Plan;
        std::shared_ptr<const TSpectralPyramid> Pyramid;
        std::uint64_t Generation = 0;
    };

    void Draw(const TSeriesDrawContext& context);
    std::optional<TPlan> PlanFor(const TSeriesDrawContext& context) const;
    void Paint(const TSeriesDrawContext& context, const TPicture& picture);
    const TPicture* Cached(const TPlan& plan) const;
    void Keep(TPicture picture);
    bool Narrow(const TPlan& plan) const;
    void StartBuilding();
    void StopBuilding();
    void SetProblem(const QString& problem);
    void BuildDone(std::uint64_t generation, std::shared_ptr<const TSpectralPyramid> pyramid,
                   const QString& problem);
    void AskExact(const TPlan& plan);
    void RenderLoop();
    void ExactDone(TPicture picture);
    void SpectraChanged();
    void UseAxes(bool spectrogram);
    TSpectrumSettings Settings() const;
    std::uint64_t Hops() const;

    TChart& Chart;
    TChartSeries* Waveform;
    TSpectrogramSeries* Series = nullptr;
    bool IsShown = false;
    TSpectrogramChoice Chosen;
    std::shared_ptr<const TAudioSamples> Samples;
    int Channel = 0;
    std::uint32_t SampleRate = 0;
    // The waveform's vertical axis as it was, given back by Hide.
    int SavedMinimumOffset = 0, SavedMaximumOffset = 0;

    std::uint64_t Generation = 0;                     // counts changes of the spectra
    std::shared_ptr<const TSpectralPyramid> Pyramid;  // the whole channel's, once built
    std::shared_ptr<const TSpectralPyramid> OnTheFly; // straight from the samples
    std::thread BuildThread;
    std::atomic<bool> StopBuild = false;
    bool Building = false;
    QString ProblemText;

    std::deque<TPicture> Exact; // the exact pictures last made, newest first
    TPicture Last;              // the picture last drawn
    bool LastExact = false;
    double PictureMs = 0;

    std::thread RenderThread;
    std::mutex RenderMutex;
    std::condition_variable RenderWake;
    std::optional<TRenderJob> PendingJob;
    bool QuitRender = false;
    std::optional<TPlan> Rendering; // the exact picture being made, asked for by the GUI
};
