#include "app/SpectrogramPlot.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>

#include <QImage>

#include "app/FrequencyLabelRule.h"
#include "app/SpectrogramSeries.h"
#include "chart/interaction/Chart.h"
#include "spectrum/ShortTimeSpectrum.h"
#include "spectrum/SpectralPyramid.h"
#include "wave/AudioSamples.h"

namespace {

// A view whose hops times the window's length stay below this is transformed from the
// samples in the paint itself: ten seconds at 48 kHz with the default window are 0.96 million.
constexpr std::uint64_t NarrowFrames = std::uint64_t(1) << 22;
// Exact pictures kept for views seen before (undo, going back): a few screens of levels.
constexpr std::size_t ExactKept = 8;
// The spectra of one plot take at most this share of the file's samples, or this many bytes
// where that is more (short files keep the finest blocks).
constexpr double MemoryShare = 0.035;
constexpr double MemoryFloor = 96.0 * 1024 * 1024;

int Cores() {
    return std::max(1, int(std::thread::hardware_concurrency()));
}

TChannelReader ReaderOf(std::shared_ptr<const TAudioSamples> samples, int channel) {
    return [samples = std::move(samples), channel](std::uint64_t first, std::size_t count,
                                                   double* out) {
        samples->Read(channel, first, count, out);
    };
}

} // namespace

bool TSpectrogramPlot::TPlan::operator==(const TPlan& o) const {
    const TSpectrogramView &a = View, &b = o.View;
    return a.FirstHop == b.FirstHop && a.LastHop == b.LastHop && a.Width == b.Width &&
           a.Height == b.Height && a.Bottom == b.Bottom && a.Top == b.Top &&
           a.Scale.Kind() == b.Scale.Kind() && a.Scale.Nyquist() == b.Scale.Nyquist() &&
           Left == o.Left && Right == o.Right && TopRow == o.TopRow && BottomRow == o.BottomRow &&
           HopPerColumn == o.HopPerColumn && FirstPixel == o.FirstPixel &&
           UnitsPerPixel == o.UnitsPerPixel && ScaleMin == o.ScaleMin;
}

int TSpectrogramPlot::TPlan::ColumnAt(int x, int hopFrames) const {
    if (x < Left || x > Right)
        return -1;
    if (!HopPerColumn)
        return x - Left;
    const double hop = (ScaleMin + (x - FirstPixel) * UnitsPerPixel - 1) / hopFrames;
    const double nearest = std::round(hop);
    if (!(nearest >= double(View.FirstHop) && nearest <= double(View.LastHop)))
        return -1;
    return int(std::uint64_t(nearest) - View.FirstHop);
}

TSpectrogramPlot::TSpectrogramPlot(TChart& chart)
    : QObject(&chart), Chart(chart), Waveform(chart.Series(0)) {
    RenderThread = std::thread([this] { RenderLoop(); });
}

TSpectrogramPlot::~TSpectrogramPlot() {
    StopBuilding();
    {
        const std::lock_guard lock(RenderMutex);
        QuitRender = true;
    }
    RenderWake.notify_all();
    RenderThread.join();
    // The series went with the chart's series before this, a child of the chart, goes.
}

TSpectrumSettings TSpectrogramPlot::Settings() const {
    TSpectrumSettings s = Chosen.Spectrum(Samples ? Samples->FullScale() : 1.0);
    if (!Samples)
        return s;
    // Blocks of as many hops as keep the spectra within their share of memory.
    const std::uint64_t hops = Hops();
    const int bins = s.WindowFrames() / 2 + 1;
    const int rowWidth = (bins + s.RowLimit() - 1) / s.RowLimit();
    const double rows = double((bins + rowWidth - 1) / rowWidth);
    const double bytesPerBlock = rows * sizeof(float) * 16 / 15; // the levels above add 1/15
    const double sampleBytes = double(Samples->Frames()) * Samples->Channels() *
                               std::max(1, (Samples->BitsOfValues() + 7) / 8);
    const double budget = std::max(MemoryFloor, MemoryShare * sampleBytes);
    const double blockHops = std::ceil(double(hops) * bytesPerBlock / budget);
    s.BlockHops = int(std::clamp(blockHops, double(s.BlockHops), 4096.0));
    return s;
}

std::uint64_t TSpectrogramPlot::Hops() const {
    if (!Samples)
        return 0;
    const auto hop = std::uint64_t(Chosen.Spectrum(1).HopFrames());
    return (Samples->Frames() + hop - 1) / hop;
}

void TSpectrogramPlot::Show(std::shared_ptr<const TAudioSamples> samples, int channel,
                            std::uint32_t sampleRate) {
    if (Series == nullptr) {
        auto series = std::make_unique<TSpectrogramSeries>();
        series->OwnColor = clNone; // takes no colour of the palette from the waveform
        series->SetActive(false);
        series->OnDraw = [this](const TSeriesDrawContext& context) { Draw(context); };
        Series = Chart.AddSeries(std::move(series));
    }
    const bool sameSpectra = IsShown && samples == Samples && channel == Channel;
    Samples = std::move(samples);
    Channel = channel;
    SampleRate = sampleRate;
    if (!IsShown) {
        IsShown = true;
        UseAxes(true);
    }
    const std::uint64_t frames = Samples ? Samples->Frames() : 0;
    Series->SetFrames(int(std::min<std::uint64_t>(frames, INT_MAX - 1)));
    Chart.LeftAxis().SetLabelRule(std::make_shared<TFrequencyLabelRule>(
        TFrequencyScale(Chosen.Scale, std::max(1u, SampleRate) / 2.0, 20)));
    if (!sameSpectra)
        SpectraChanged();
    Chart.Invalidate();
}

void TSpectrogramPlot::Hide() {
    if (!IsShown)
        return;
    IsShown = false;
    Samples.reset();
    SpectraChanged();
    UseAxes(false);
    Chart.Invalidate();
}

void TSpectrogramPlot::UseAxes(bool spectrogram) {
    TChartAxis& left = Chart.LeftAxis();
    // The waveform's vertical zoom means nothing to frequencies, and back; the time the plot
    // shows stays.
    Chart.UnzoomVertical();
    left.SetAutomatic(true);
    if (spectrogram) {
        SavedMinimumOffset = left.MinimumOffset();
        SavedMaximumOffset = left.MaximumOffset();
        // The picture fills the plot's area from 0 Hz to half the rate.
        left.SetMinimumOffset(0);
        left.SetMaximumOffset(0);
    } else {
        left.SetMinimumOffset(SavedMinimumOffset);
        left.SetMaximumOffset(SavedMaximumOffset);
        left.SetLabelRule(nullptr); // the waveform's values as numbers, as ever
    }
    Series->SetActive(spectrogram);
    Waveform->SetActive(!spectrogram);
}

void TSpectrogramPlot::SetChoice(const TSpectrogramChoice& choice) {
    const TSpectrogramChoice checked = choice.Checked();
    if (checked == Chosen)
        return;
    const bool sameSpectra = checked.SameSpectra(Chosen);
    Chosen = checked;
    if (!IsShown)
        return;
    Chart.LeftAxis().SetLabelRule(std::make_shared<TFrequencyLabelRule>(
        TFrequencyScale(Chosen.Scale, std::max(1u, SampleRate) / 2.0, 20)));
    if (!sameSpectra)
        SpectraChanged();
    Chart.Invalidate();
}

void TSpectrogramPlot::SpectraChanged() {
    StopBuilding();
    ++Generation;
    Pyramid.reset();
    OnTheFly.reset();
    Exact.clear();
    Rendering.reset();
    Last = {};
    LastExact = false;
    SetProblem({});
    if (Samples && Samples->Frames() > 0)
        OnTheFly =
            TSpectralPyramid::OnTheFly(ReaderOf(Samples, Channel), Samples->Frames(), Settings());
}

void TSpectrogramPlot::StartBuilding() {
    if (Building || Pyramid || !Samples || Samples->Frames() == 0 || !ProblemText.isEmpty())
        return;
    if (BuildThread.joinable())
        BuildThread.join();
    Building = true;
    StopBuild = false;
    BuildThread = std::thread([this, generation = Generation, reader = ReaderOf(Samples, Channel),
                               frames = Samples->Frames(), settings = Settings()] {
        std::shared_ptr<const TSpectralPyramid> pyramid;
        QString problem;
        try {
            pyramid = std::make_shared<const TSpectralPyramid>(
                reader, frames, settings, Cores(),
                [this](std::uint64_t, std::uint64_t) { return !StopBuild.load(); });
        } catch (const std::bad_alloc&) {
            problem = QStringLiteral("There is not the memory for this spectrogram.");
        }
        if (StopBuild)
            return;
        QMetaObject::invokeMethod(
            this, [this, generation, pyramid, problem] { BuildDone(generation, pyramid, problem); },
            Qt::QueuedConnection);
    });
}

void TSpectrogramPlot::StopBuilding() {
    StopBuild = true;
    if (BuildThread.joinable())
        BuildThread.join();
    StopBuild = false;
    Building = false;
}

void TSpectrogramPlot::BuildDone(std::uint64_t generation,
                                 std::shared_ptr<const TSpectralPyramid> pyramid,
                                 const QString& problem) {
    if (generation != Generation)
        return;
    if (BuildThread.joinable())
        BuildThread.join();
    Building = false;
    if (pyramid && !pyramid->Cancelled())
        Pyramid = std::move(pyramid);
    SetProblem(problem);
    Chart.Invalidate();
}

void TSpectrogramPlot::SetProblem(const QString& problem) {
    if (problem == ProblemText)
        return;
    ProblemText = problem;
    if (OnProblemChanged)
        OnProblemChanged(ProblemText);
}

std::size_t TSpectrogramPlot::MemoryBytes() const {
    std::size_t bytes = Pyramid ? Pyramid->MemoryBytes() : 0;
    for (const TPicture& p : Exact)
        bytes += p.Levels.capacity() * sizeof(float);
    return bytes + Last.Levels.capacity() * sizeof(float);
}

bool TSpectrogramPlot::PictureFinished() const {
    return !IsShown || !Samples || Samples->Frames() == 0 || !ProblemText.isEmpty() ||
           (LastExact && !Chart.BufferDirty());
}

std::optional<TSpectrogramPlot::TPlan>
TSpectrogramPlot::PlanFor(const TSeriesDrawContext& context) const {
    const std::uint64_t hops = Hops();
    const TAxisMapping &x = context.X, &y = context.Y;
    if (hops == 0 || x.RangeIsZero || y.RangeIsZero || !(x.PixelsPerUnit > 0) ||
        !(y.PixelsPerUnit > 0) || x.Inverted || y.Inverted)
        return std::nullopt;
    const TRect clip = {context.ChartRect.Left + 1, context.ChartRect.Top, context.ChartRect.Right,
                        context.ChartRect.Bottom};
    if (clip.Right <= clip.Left || clip.Bottom <= clip.Top)
        return std::nullopt;
    TPlan plan;
    plan.FirstPixel = x.FirstPixel;
    plan.UnitsPerPixel = 1 / x.PixelsPerUnit;
    plan.ScaleMin = x.ScaleMin;
    plan.YLastPixel = y.LastPixel;
    plan.YUnitsPerPixel = 1 / y.PixelsPerUnit;
    plan.YScaleMin = y.ScaleMin;
    const double hopFrames = Chosen.Spectrum(1).HopFrames();
    // Hop h is centred on frame h * hop, at X h * hop + 1.
    const auto hopAt = [&](double pixel) {
        return (plan.ScaleMin + (pixel - plan.FirstPixel) * plan.UnitsPerPixel - 1) / hopFrames;
    };
    const auto pixelOf = [&](std::uint64_t hop) {
        return plan.FirstPixel + (double(hop) * hopFrames + 1 - plan.ScaleMin) / plan.UnitsPerPixel;
    };
    const double lastHop = double(hops - 1);
    // The hops whose centres lie in the columns from the first to the last.
    const double from = std::max(0.0, std::ceil(hopAt(clip.Left - 0.5)));
    const double to = std::min(lastHop, std::ceil(hopAt(clip.Right - 0.5)) - 1);
    if (!(from <= to))
        return std::nullopt;
    plan.View.FirstHop = std::uint64_t(from);
    plan.View.LastHop = std::uint64_t(to);
    plan.Left = std::max(clip.Left, int(std::lround(pixelOf(plan.View.FirstHop))));
    plan.Right = std::min(clip.Right - 1, int(std::lround(pixelOf(plan.View.LastHop))));
    if (plan.Right < plan.Left)
        return std::nullopt;
    const std::uint64_t viewHops = plan.View.LastHop - plan.View.FirstHop + 1;
    if (viewHops >= std::uint64_t(plan.Right - plan.Left + 1)) {
        plan.View.Width = plan.Right - plan.Left + 1;
    } else {
        // Each column shows the hop nearest it: the picture has a column per hop.
        plan.HopPerColumn = true;
        plan.Left = clip.Left;
        plan.Right = clip.Right - 1;
        plan.View.FirstHop = std::uint64_t(std::clamp(std::round(hopAt(plan.Left)), 0.0, lastHop));
        plan.View.LastHop = std::uint64_t(std::clamp(std::round(hopAt(plan.Right)), 0.0, lastHop));
        plan.View.Width = int(plan.View.LastHop - plan.View.FirstHop + 1);
    }
    // The rows whose centres lie between 0 Hz and half the rate.
    plan.TopRow = std::max(
        clip.Top, int(std::ceil(plan.YLastPixel - (1 - plan.YScaleMin) / plan.YUnitsPerPixel)));
    plan.BottomRow = std::min(
        clip.Bottom - 1, int(std::floor(plan.YLastPixel + plan.YScaleMin / plan.YUnitsPerPixel)));
    if (plan.BottomRow < plan.TopRow)
        return std::nullopt;
    plan.View.Height = plan.BottomRow - plan.TopRow + 1;
    plan.View.Top = std::min(1.0, plan.PositionAt(plan.TopRow - 0.5));
    plan.View.Bottom = std::max(0.0, plan.PositionAt(plan.BottomRow + 0.5));
    plan.View.Scale = TFrequencyScale(Chosen.Scale, std::max(1u, SampleRate) / 2.0, 20);
    return plan;
}

bool TSpectrogramPlot::Narrow(const TPlan& plan) const {
    const std::uint64_t hops = plan.View.LastHop - plan.View.FirstHop + 1;
    return hops * std::uint64_t(Chosen.Spectrum(1).WindowFrames()) <= NarrowFrames;
}

const TSpectrogramPlot::TPicture* TSpectrogramPlot::Cached(const TPlan& plan) const {
    for (const TPicture& picture : Exact)
        if (picture.Generation == Generation && picture.Plan == plan)
            return &picture;
    return nullptr;
}

void TSpectrogramPlot::Keep(TPicture picture) {
    Exact.push_front(std::move(picture));
    if (Exact.size() > ExactKept)
        Exact.pop_back();
}

void TSpectrogramPlot::Draw(const TSeriesDrawContext& context) {
    const auto start = std::chrono::steady_clock::now();
    const std::optional<TPlan> plan = PlanFor(context);
    LastExact = false;
    if (!plan || !OnTheFly) {
        Last = {};
        LastExact = true; // nothing to draw is finished too
        return;
    }
    TPicture picture;
    picture.Plan = *plan;
    picture.Generation = Generation;
    if (const TPicture* cached = Cached(*plan)) {
        picture.Levels = cached->Levels;
        LastExact = true;
    } else if (Narrow(*plan)) {
        picture.Levels = OnTheFly->Render(plan->View, Cores());
        Keep(picture);
        LastExact = true;
    } else if (Pyramid) {
        TSpectrogramView quick = plan->View;
        quick.Detail = TSpectrogramView::dtBlocks;
        picture.Levels = Pyramid->Render(quick, 1);
        AskExact(*plan);
    } else {
        TSpectrogramView quick = plan->View;
        quick.Detail = TSpectrogramView::dtMiddleHop;
        picture.Levels = OnTheFly->Render(quick, Cores());
        StartBuilding();
    }
    Paint(context, picture);
    Last = std::move(picture);
    PictureMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void TSpectrogramPlot::Paint(const TSeriesDrawContext& context, const TPicture& picture) {
    QImage& image = context.Canvas.Bitmap();
    const TPlan& plan = picture.Plan;
    const TColourTable& table = ColourTable(Chosen.Colours);
    const TLevelRange levels = Chosen.Levels();
    const int hopFrames = Chosen.Spectrum(1).HopFrames();
    std::vector<int> columns;
    for (int x = plan.Left; x <= plan.Right; ++x)
        columns.push_back(plan.ColumnAt(x, hopFrames));
    const int width = plan.View.Width;
    for (int y = plan.TopRow; y <= plan.BottomRow; ++y) {
        if (y < 0 || y >= image.height())
            continue;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const float* from = picture.Levels.data() + std::size_t(y - plan.TopRow) * width;
        for (int x = plan.Left; x <= plan.Right; ++x) {
            const int column = columns[std::size_t(x - plan.Left)];
            if (column < 0 || x < 0 || x >= image.width())
                continue;
            row[x] = ToArgb(table[levels.IndexOf(from[column])]);
        }
    }
}

void TSpectrogramPlot::AskExact(const TPlan& plan) {
    if (Rendering && *Rendering == plan)
        return;
    Rendering = plan;
    {
        const std::lock_guard lock(RenderMutex);
        PendingJob = TRenderJob{plan, Pyramid, Generation};
    }
    RenderWake.notify_one();
}

void TSpectrogramPlot::RenderLoop() {
    for (;;) {
        TRenderJob job;
        {
            std::unique_lock lock(RenderMutex);
            RenderWake.wait(lock, [this] { return QuitRender || PendingJob.has_value(); });
            if (QuitRender)
                return;
            job = std::move(*PendingJob);
            PendingJob.reset();
        }
        TPicture picture;
        picture.Plan = job.Plan;
        picture.Generation = job.Generation;
        picture.Levels = job.Pyramid->Render(job.Plan.View, Cores());
        job.Pyramid.reset();
        QMetaObject::invokeMethod(
            this, [this, picture = std::move(picture)]() mutable { ExactDone(std::move(picture)); },
            Qt::QueuedConnection);
    }
}

void TSpectrogramPlot::ExactDone(TPicture picture) {
    if (Rendering && *Rendering == picture.Plan)
        Rendering.reset();
    if (picture.Generation != Generation)
        return;
    const bool shownNow = Last.Generation == Generation && Last.Plan == picture.Plan;
    Keep(std::move(picture));
    if (shownNow)
        Chart.Invalidate();
}

std::optional<double> TSpectrogramPlot::LevelAt(QPoint at) const {
    const TPlan& plan = Last.Plan;
    if (Last.Levels.empty() || at.y() < plan.TopRow || at.y() > plan.BottomRow)
        return std::nullopt;
    const int column = plan.ColumnAt(at.x(), Chosen.Spectrum(1).HopFrames());
    if (column < 0)
        return std::nullopt;
    return Last.Levels[std::size_t(at.y() - plan.TopRow) * plan.View.Width + column];
}

std::optional<double> TSpectrogramPlot::FrequencyAt(QPoint at) const {
    const TPlan& plan = Last.Plan;
    if (Last.Levels.empty() || at.y() < plan.TopRow || at.y() > plan.BottomRow)
        return std::nullopt;
    return plan.View.Scale.FrequencyAt(std::clamp(plan.PositionAt(at.y()), 0.0, 1.0));
}

QString TSpectrogramPlot::PointText(QPoint at) const {
    const std::optional<double> level = LevelAt(at), frequency = FrequencyAt(at);
    if (!level || !frequency)
        return {};
    const TPlan& plan = Last.Plan;
    // Enough digits to tell this pixel row from its neighbours.
    const double band =
        std::fabs(plan.View.Scale.FrequencyAt(std::clamp(plan.PositionAt(at.y() - 0.5), 0.0, 1.0)) -
                  plan.View.Scale.FrequencyAt(std::clamp(plan.PositionAt(at.y() + 0.5), 0.0, 1.0)));
    double step = 1;
    while (step > 0.001 && step > band)
        step /= 10;
    QString text =
        QStringLiteral("Frequency %1")
            .arg(QString::fromStdString(FrequencyText(std::round(*frequency / step) * step, step)));
    if (*level <= FloorDb)
        text += QStringLiteral("\nLevel: silence");
    else
        text += QStringLiteral("\nLevel %1 dBFS").arg(*level, 0, 'f', 1);
    return text;
}
