#include "spectrum/SpectralPyramid.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

#include "spectrum/ShortTimeSpectrum.h"

namespace {

constexpr std::uint64_t LevelFanOut = 16;
constexpr std::uint64_t NoHop = std::numeric_limits<std::uint64_t>::max();

// Frames read at once while building: many hops share one read of the samples.
constexpr std::uint64_t BuildChunkFrames = 1 << 16;

void MaxInto(float* into, const float* from, int count) {
    for (int i = 0; i < count; ++i)
        into[i] = std::max(into[i], from[i]);
}

} // namespace

// What transforming a hop needs, one per thread; the last hop done is kept because a zoomed-in
// view shows one hop in several neighbouring columns.
struct TSpectralPyramid::TScratch {
    TShortTimeSpectrum Spectrum;
    std::vector<double> Frame;
    std::vector<float> Bins, Rows;
    std::uint64_t RowsHop = NoHop;
    explicit TScratch(const TSpectrumSettings& s, int rows)
        : Spectrum(s.WindowFrames(), s.Window, s.FullScale), Frame(std::size_t(s.WindowFrames())),
          Bins(std::size_t(Spectrum.Bins())), Rows(std::size_t(rows)) {}
};

TSpectralPyramid::TSpectralPyramid(TChannelReader reader, std::uint64_t frames,
                                   const TSpectrumSettings& settings, int threads,
                                   const TSpectrumProgress& progress)
    : Reader(std::move(reader)), FrameCount(frames), Used(settings) {
    Measure();
    BlockCount = (HopCount + std::uint64_t(BlockHops) - 1) / std::uint64_t(BlockHops);
    Build(threads, progress);
}

void TSpectralPyramid::Measure() {
    WindowFrames = Used.WindowFrames();
    HopFrames = Used.HopFrames();
    BlockHops = Used.Blocks();
    BinCount = WindowFrames / 2 + 1;
    RowWidth = (BinCount + Used.RowLimit() - 1) / Used.RowLimit();
    RowCount = (BinCount + RowWidth - 1) / RowWidth;
    HopCount = (FrameCount + std::uint64_t(HopFrames) - 1) / std::uint64_t(HopFrames);
}

TSpectralPyramid::TSpectralPyramid(TChannelReader reader, std::uint64_t frames,
                                   const TSpectrumSettings& settings, TOnTheFly)
    : Reader(std::move(reader)), FrameCount(frames), Used(settings) {
    Measure();
    Built = false;
}

std::unique_ptr<TSpectralPyramid> TSpectralPyramid::OnTheFly(TChannelReader reader,
                                                             std::uint64_t frames,
                                                             const TSpectrumSettings& settings) {
    return std::unique_ptr<TSpectralPyramid>(
        new TSpectralPyramid(std::move(reader), frames, settings, TOnTheFly{}));
}

TSpectralPyramid::~TSpectralPyramid() = default;

std::size_t TSpectralPyramid::MemoryBytes() const {
    std::size_t bytes = 0;
    for (const auto& level : Levels)
        bytes += level.capacity() * sizeof(float);
    return bytes;
}

void TSpectralPyramid::Build(int threads, const TSpectrumProgress& progress) {
    Levels.emplace_back(BlockCount * std::uint64_t(RowCount), 0.0f);
    if (HopCount == 0)
        return;
    // Each thread takes a run of whole blocks, so no two write the same block.
    const std::uint64_t parts =
        std::clamp<std::uint64_t>(std::uint64_t(std::max(threads, 1)), 1, BlockCount);
    std::vector<std::uint64_t> nonFinite(parts, 0);
    std::vector<std::thread> helpers;
    std::atomic<bool> stop = false;
    auto runPart = [&](std::uint64_t part, const TSpectrumProgress& told) {
        const std::uint64_t firstBlock = BlockCount * part / parts;
        const std::uint64_t endBlock = BlockCount * (part + 1) / parts;
        const std::uint64_t first = firstBlock * std::uint64_t(BlockHops);
        const std::uint64_t end = std::min(HopCount, endBlock * std::uint64_t(BlockHops));
        if (first < end)
            BuildHops(first, end - 1, told, nonFinite[part]);
    };
    for (std::uint64_t part = 1; part < parts; ++part) {
        helpers.emplace_back([&, part] {
            runPart(part, [&](std::uint64_t, std::uint64_t) { return !stop.load(); });
        });
    }
    // The calling thread reports progress for its own share, scaled to the whole.
    runPart(0, [&](std::uint64_t done, std::uint64_t total) {
        if (!progress)
            return true;
        if (!progress(done * parts, total * parts))
            stop = true;
        return !stop.load();
    });
    for (auto& t : helpers)
        t.join();
    Stopped = stop;
    for (std::uint64_t n : nonFinite)
        NonFinite += n;
    if (Stopped) {
        std::fill(Levels[0].begin(), Levels[0].end(), 0.0f);
        return;
    }
    BuildUpperLevels();
}

void TSpectralPyramid::BuildHops(std::uint64_t first, std::uint64_t last,
                                 const TSpectrumProgress& progress, std::uint64_t& nonFinite) {
    TScratch scratch(Used, RowCount);
    const auto hop = std::int64_t(HopFrames);
    const auto half = std::int64_t(WindowFrames / 2);
    const std::uint64_t chunkHops =
        std::max<std::uint64_t>(1, BuildChunkFrames / std::uint64_t(hop));
    std::vector<double> samples(std::size_t((chunkHops - 1) * std::uint64_t(hop)) +
                                std::size_t(WindowFrames));
    float* level0 = Levels[0].data();
    for (std::uint64_t h0 = first; h0 <= last; h0 += chunkHops) {
        const std::uint64_t h1 = std::min(last, h0 + chunkHops - 1);
        const std::int64_t from = std::int64_t(h0) * hop - half;
        const auto count = std::size_t(std::int64_t(h1 - h0) * hop + std::int64_t(WindowFrames));
        // Neighbouring chunks read the frames between them twice: each chunk counts the
        // frames from its first hop's centre less half a window up to the next chunk's.
        const std::int64_t ownFrom = h0 == 0 ? 0 : from;
        const std::int64_t ownTo =
            h1 + 1 == HopCount ? std::int64_t(FrameCount) : std::int64_t(h1 + 1) * hop - half;
        nonFinite += ReadFrames(from, count, samples.data(), ownFrom, ownTo);
        for (std::uint64_t h = h0; h <= h1; ++h) {
            scratch.Spectrum.Power(samples.data() + (h - h0) * std::uint64_t(hop),
                                   scratch.Bins.data());
            ReduceToRows(scratch.Bins.data(), scratch.Rows.data());
            MaxInto(level0 + (h / std::uint64_t(BlockHops)) * std::uint64_t(RowCount),
                    scratch.Rows.data(), RowCount);
        }
        if (progress && !progress(h1 + 1 - first, last + 1 - first))
            return;
    }
}

std::uint64_t TSpectralPyramid::ReadFrames(std::int64_t from, std::size_t count, double* out,
                                           std::int64_t countFrom, std::int64_t countTo) const {
    const std::int64_t inFrom = std::max<std::int64_t>(from, 0);
    const std::int64_t inTo = std::min(from + std::int64_t(count), std::int64_t(FrameCount));
    std::fill(out, out + count, 0.0);
    if (inFrom >= inTo)
        return 0;
    double* in = out + (inFrom - from);
    Reader(std::uint64_t(inFrom), std::size_t(inTo - inFrom), in);
    std::uint64_t bad = 0;
    for (std::int64_t f = inFrom; f < inTo; ++f, ++in) {
        if (!std::isfinite(*in)) {
            *in = 0;
            bad += (f >= countFrom && f < countTo) ? 1 : 0;
        }
    }
    return bad;
}

void TSpectralPyramid::BuildUpperLevels() {
    const auto rows = std::uint64_t(RowCount);
    while (Levels.back().size() / rows > 1) {
        const std::vector<float>& below = Levels.back();
        const std::uint64_t belowNodes = below.size() / rows;
        std::vector<float> above((belowNodes + LevelFanOut - 1) / LevelFanOut * rows, 0.0f);
        for (std::uint64_t node = 0; node < belowNodes; ++node)
            MaxInto(above.data() + node / LevelFanOut * rows, below.data() + node * rows, RowCount);
        Levels.push_back(std::move(above));
    }
}

void TSpectralPyramid::ReduceToRows(const float* bins, float* rows) const {
    if (RowWidth == 1) {
        std::copy(bins, bins + BinCount, rows);
        return;
    }
    for (int r = 0; r < RowCount; ++r) {
        const int from = r * RowWidth;
        const int to = std::min(from + RowWidth, BinCount);
        rows[r] = *std::max_element(bins + from, bins + to);
    }
}

void TSpectralPyramid::HopRows(TScratch& scratch, std::uint64_t hop) const {
    if (scratch.RowsHop == hop)
        return;
    const std::int64_t from = std::int64_t(hop) * HopFrames - WindowFrames / 2;
    ReadFrames(from, scratch.Frame.size(), scratch.Frame.data(), 0, 0);
    scratch.Spectrum.Power(scratch.Frame.data(), scratch.Bins.data());
    ReduceToRows(scratch.Bins.data(), scratch.Rows.data());
    scratch.RowsHop = hop;
}

void TSpectralPyramid::Column(std::uint64_t firstHop, std::uint64_t lastHop, float* rows) const {
    TScratch scratch(Used, RowCount);
    ColumnInto(scratch, firstHop, lastHop, rows);
}

void TSpectralPyramid::ColumnInto(TScratch& scratch, std::uint64_t firstHop, std::uint64_t lastHop,
                                  float* rows) const {
    std::fill(rows, rows + RowCount, 0.0f);
    if (HopCount == 0 || Stopped || firstHop >= HopCount)
        return;
    lastHop = std::min(lastHop, HopCount - 1);
    if (lastHop < firstHop)
        return;
    if (!Built) {
        for (std::uint64_t h = firstHop; h <= lastHop; ++h) {
            HopRows(scratch, h);
            MaxInto(rows, scratch.Rows.data(), RowCount);
        }
        return;
    }
    const auto block = std::uint64_t(BlockHops);
    // Whole blocks inside the range come from the levels; the hops before the first and
    // after the last whole block are transformed here.
    std::uint64_t firstBlock = (firstHop + block - 1) / block;
    std::uint64_t endBlock = (lastHop + 1) / block;
    if (lastHop == HopCount - 1)
        endBlock = BlockCount; // the last block may be short, and is whole when reached
    if (firstBlock >= endBlock) {
        firstBlock = endBlock = 0;
    }
    const std::uint64_t headEnd = firstBlock < endBlock ? firstBlock * block : lastHop + 1;
    for (std::uint64_t h = firstHop; h < headEnd; ++h) {
        HopRows(scratch, h);
        MaxInto(rows, scratch.Rows.data(), RowCount);
    }
    if (firstBlock < endBlock) {
        BlocksInto(firstBlock, endBlock, rows);
        for (std::uint64_t h = endBlock * block; h <= lastHop; ++h) {
            HopRows(scratch, h);
            MaxInto(rows, scratch.Rows.data(), RowCount);
        }
    }
}

void TSpectralPyramid::PreviewOrColumnInto(TScratch& scratch, TSpectrogramView::TDetail detail,
                                           THopRange hops, float* rows) const {
    const bool levels = Built && !Stopped && HopCount > 0;
    if (detail == TSpectrogramView::dtBlocks && levels) {
        std::fill(rows, rows + RowCount, 0.0f);
        const std::uint64_t last = std::min(hops.Last, HopCount - 1);
        if (hops.First <= last)
            BlocksInto(hops.First / std::uint64_t(BlockHops), last / std::uint64_t(BlockHops) + 1,
                       rows);
        return;
    }
    if (detail != TSpectrogramView::dtExact) {
        const std::uint64_t middle = hops.First + (hops.Last - hops.First) / 2;
        ColumnInto(scratch, middle, middle, rows);
        return;
    }
    ColumnInto(scratch, hops.First, hops.Last, rows);
}

void TSpectralPyramid::BlocksInto(std::uint64_t firstBlock, std::uint64_t endBlock,
                                  float* rows) const {
    // As in a segment tree: take the nodes at the ends that their parent would overreach,
    // then go up a level with what is left.
    const auto rowCount = std::uint64_t(RowCount);
    std::uint64_t lo = firstBlock, hi = endBlock;
    for (std::size_t level = 0; lo < hi; ++level) {
        const float* nodes = Levels[level].data();
        if (level + 1 == Levels.size()) {
            for (std::uint64_t n = lo; n < hi; ++n)
                MaxInto(rows, nodes + n * rowCount, RowCount);
            break;
        }
        while (lo < hi && lo % LevelFanOut != 0)
            MaxInto(rows, nodes + lo++ * rowCount, RowCount);
        while (hi > lo && hi % LevelFanOut != 0)
            MaxInto(rows, nodes + --hi * rowCount, RowCount);
        lo /= LevelFanOut;
        hi /= LevelFanOut;
    }
}

std::vector<std::pair<int, int>> TSpectralPyramid::RowBands(const TSpectrogramView& view) const {
    std::vector<std::pair<int, int>> bands(std::size_t(std::max(view.Height, 0)));
    // Bin k spans (k - 1/2) to (k + 1/2) bin widths; row r holds bins r * RowWidth onwards.
    const double binWidth = view.Scale.Nyquist() / double(BinCount - 1);
    const double rowBins = double(RowWidth);
    for (int y = 0; y < view.Height; ++y) {
        const double span = view.Top - view.Bottom;
        const double low =
            y == 0 && view.Bottom <= 0
                ? 0
                : view.Scale.FrequencyAt(view.Bottom + span * double(y) / view.Height);
        const double high =
            view.Scale.FrequencyAt(view.Bottom + span * double(y + 1) / view.Height);
        int first = int(std::floor((low / binWidth + 0.5) / rowBins));
        int last = int(std::ceil((high / binWidth + 0.5) / rowBins)) - 1;
        first = std::clamp(first, 0, RowCount - 1);
        last = std::clamp(last, first, RowCount - 1);
        bands[std::size_t(y)] = {first, last};
    }
    return bands;
}

std::vector<float> TSpectralPyramid::Render(const TSpectrogramView& view, int threads) const {
    const int width = std::max(view.Width, 0), height = std::max(view.Height, 0);
    std::vector<float> image(std::size_t(width) * std::size_t(height), float(FloorDb));
    const auto bands = RowBands(view);
    // Columns that cut through blocks transform hops: split the columns between threads,
    // each writing its own pixels.
    auto renderColumns = [&](int fromX, int toX) {
        TScratch scratch(Used, RowCount);
        std::vector<float> rows(static_cast<std::size_t>(RowCount));
        for (int x = fromX; x < toX; ++x) {
            const THopRange hops = HopsOfColumn(view, x);
            PreviewOrColumnInto(scratch, view.Detail, hops, rows.data());
            for (int y = 0; y < height; ++y) {
                const auto [first, last] = bands[std::size_t(y)];
                const float power =
                    *std::max_element(rows.begin() + first, rows.begin() + last + 1);
                const std::size_t pixel = std::size_t(height - 1 - y) * std::size_t(width);
                image[pixel + std::size_t(x)] = float(PowerToDb(power));
            }
        }
    };
    const int parts = std::clamp(threads, 1, std::max(width, 1));
    std::vector<std::thread> helpers;
    for (int part = 1; part < parts; ++part)
        helpers.emplace_back(renderColumns, width * part / parts, width * (part + 1) / parts);
    renderColumns(0, width / parts);
    for (auto& t : helpers)
        t.join();
    return image;
}
