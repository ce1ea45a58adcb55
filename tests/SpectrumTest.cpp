// The spectrogram's core: windows, levels of tones, the pyramid's columns against every hop
// transformed one by one, a short burst in a long quiet file, bad input, the colours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "spectrum/ColourMap.h"
#include "spectrum/FrequencyScale.h"
#include "spectrum/LevelRange.h"
#include "spectrum/ShortTimeSpectrum.h"
#include "spectrum/SpectralPyramid.h"
#include "spectrum/WindowFunction.h"

namespace {

constexpr double Pi = std::numbers::pi;

TChannelReader ReaderOf(const std::vector<double>& samples) {
    return [&samples](std::uint64_t first, std::size_t count, double* out) {
        ASSERT_LE(first + count, samples.size());
        std::copy_n(samples.begin() + std::ptrdiff_t(first), count, out);
    };
}

std::vector<double> Sine(std::size_t frames, double cyclesPerFrame, double amplitude) {
    std::vector<double> s(frames);
    for (std::size_t n = 0; n < frames; ++n)
        s[n] = amplitude * std::sin(2 * Pi * cyclesPerFrame * double(n) + 0.3);
    return s;
}

// Every hop transformed on its own (its window centred on frame hop * h, zeros outside the
// file and for values that are not numbers), then each pixel the maximum over the hops of
// its column and the rows of its band: what the pyramid must give without its levels.
std::vector<float> BruteForce(const std::vector<double>& samples, const TSpectrumSettings& s,
                              const TSpectralPyramid& pyramid, const TSpectrogramView& view) {
    const int length = s.WindowFrames();
    const auto hop = std::int64_t(s.HopFrames());
    TShortTimeSpectrum spectrum(length, s.Window, s.FullScale);
    const auto rows = std::size_t(pyramid.Rows());
    const auto bins = std::size_t(spectrum.Bins());
    const auto group = std::size_t(pyramid.BinsPerRow());
    std::vector<std::vector<float>> hopRows(pyramid.Hops(), std::vector<float>(rows, 0.0f));
    std::vector<double> frame(static_cast<std::size_t>(length));
    std::vector<float> power(bins);
    for (std::uint64_t h = 0; h < pyramid.Hops(); ++h) {
        for (int n = 0; n < length; ++n) {
            const std::int64_t f = std::int64_t(h) * hop - length / 2 + n;
            const bool inside = f >= 0 && f < std::int64_t(samples.size());
            const double v = inside ? samples[std::size_t(f)] : 0.0;
            frame[std::size_t(n)] = std::isfinite(v) ? v : 0.0;
        }
        spectrum.Power(frame.data(), power.data());
        for (std::size_t k = 0; k < bins; ++k)
            hopRows[h][k / group] = std::max(hopRows[h][k / group], power[k]);
    }
    const auto bands = pyramid.RowBands(view);
    std::vector<float> image(std::size_t(view.Width * view.Height));
    for (int x = 0; x < view.Width; ++x) {
        const THopRange hops = HopsOfColumn(view, x);
        for (int y = 0; y < view.Height; ++y) {
            float most = 0;
            for (std::uint64_t h = hops.First; h <= hops.Last && h < pyramid.Hops(); ++h)
                for (int r = bands[std::size_t(y)].first; r <= bands[std::size_t(y)].second; ++r)
                    most = std::max(most, hopRows[h][std::size_t(r)]);
            image[std::size_t((view.Height - 1 - y) * view.Width + x)] = float(PowerToDb(most));
        }
    }
    return image;
}

// Noise whose level changes every few hundred frames, with short tones here and there: the
// maxima differ from hop to hop and from row to row.
std::vector<double> RandomFile(std::size_t frames, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-1, 1);
    std::vector<double> s(frames);
    double level = 0.1, cycles = 0;
    for (std::size_t n = 0; n < frames; ++n) {
        if (n % 300 == 0) {
            level = std::pow(10, 3 * uniform(random) - 3);
            cycles = (random() % 4 == 0) ? 0.5 * std::abs(uniform(random)) : 0;
        }
        s[n] = level * uniform(random) +
               (cycles > 0 ? 0.5 * std::sin(2 * Pi * cycles * double(n)) : 0);
    }
    return s;
}

void ExpectSameImage(const std::vector<float>& got, const std::vector<float>& expected, int width) {
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i], expected[i]) << "first different pixel: x " << i % std::size_t(width)
                                       << ", y " << i / std::size_t(width);
    }
}

int Loudest(const std::vector<float>& power) {
    return int(std::max_element(power.begin(), power.end()) - power.begin());
}

} // namespace

TEST(WindowFunction, ValuesAndCoherentGainFollowTheDefinitions) {
    struct TCase {
        TWindowKind Kind;
        double AtStart, AtMiddle, Gain;
    };
    // The periodic cosine sums: w[0] = a0 - a1 + a2 - a3, w[N/2] = a0 + a1 + a2 + a3, mean a0.
    const TCase cases[] = {{wkHann, 0, 1, 0.5},
                           {wkHamming, 0.08, 1, 0.54},
                           {wkBlackmanHarris, 0.00006, 1, 0.35875},
                           {wkRectangular, 1, 1, 1}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(WindowName(c.Kind));
        for (int length : {256, 2048, 32768}) {
            const std::vector<double> w = WindowValues(c.Kind, length);
            ASSERT_EQ(w.size(), std::size_t(length));
            EXPECT_NEAR(w[0], c.AtStart, 1e-12);
            EXPECT_NEAR(w[std::size_t(length / 2)], c.AtMiddle, 1e-12);
            EXPECT_NEAR(CoherentGain(w), c.Gain, 1e-12);
            for (std::size_t n = 1; n < w.size(); ++n) // periodic: w[n] = w[N - n]
                ASSERT_NEAR(w[n], w[w.size() - n], 1e-12) << n;
        }
        TWindowKind back = wkRectangular;
        EXPECT_TRUE(WindowFromName(WindowName(c.Kind), back));
        EXPECT_EQ(back, c.Kind);
    }
    // Inside the window, straight from the formulas.
    EXPECT_NEAR(WindowValues(wkHann, 256)[64], 0.5, 1e-12);
    EXPECT_NEAR(WindowValues(wkBlackmanHarris, 256)[32],
                0.35875 - 0.48829 * std::cos(Pi / 4) + 0.14128 * std::cos(Pi / 2) -
                    0.01168 * std::cos(3 * Pi / 4),
                1e-12);
}

TEST(ShortTimeSpectrum, ToneReadsItsBinAndLevelUnderEveryWindow) {
    for (TWindowKind kind : {wkHann, wkHamming, wkBlackmanHarris, wkRectangular}) {
        for (int length : {256, 2048, 8192}) {
            SCOPED_TRACE(std::string(WindowName(kind)) + " " + std::to_string(length));
            TShortTimeSpectrum spectrum(length, kind, 1.0);
            std::vector<float> power(std::size_t(spectrum.Bins()));
            const int bin = length / 8 + 3;
            struct TTone {
                double Amplitude, Db;
            };
            for (TTone tone : {TTone{1.0, 0.0}, TTone{0.5, -6.0206}, TTone{0.001, -60.0}}) {
                const auto frame = Sine(std::size_t(length), double(bin) / length, tone.Amplitude);
                spectrum.Power(frame.data(), power.data());
                EXPECT_EQ(Loudest(power), bin);
                EXPECT_NEAR(PowerToDb(power[std::size_t(bin)]), tone.Db, 0.1);
            }
            // Between two bins the tone lands in the nearer one, below full scale by no more
            // than the window's scalloping loss (under 4 dB for all four).
            const auto between = Sine(std::size_t(length), (bin + 0.3) / length, 1.0);
            spectrum.Power(between.data(), power.data());
            EXPECT_EQ(Loudest(power), bin);
            EXPECT_LT(PowerToDb(power[std::size_t(bin)]), 0.0);
            EXPECT_GT(PowerToDb(power[std::size_t(bin)]), -4.0);
        }
    }
}

TEST(ShortTimeSpectrum, FullScaleOfIntegersAndConstantsReadZeroDb) {
    TShortTimeSpectrum spectrum(1024, wkHann, 32768.0);
    std::vector<float> power(std::size_t(spectrum.Bins()));
    const auto frame = Sine(1024, 100.0 / 1024, 32768.0);
    spectrum.Power(frame.data(), power.data());
    EXPECT_NEAR(PowerToDb(power[100]), 0.0, 0.01);
    const std::vector<double> constant(1024, -32768.0);
    spectrum.Power(constant.data(), power.data());
    EXPECT_NEAR(PowerToDb(power[0]), 0.0, 0.01);
    const std::vector<double> silence(1024, 0.0);
    spectrum.Power(silence.data(), power.data());
    EXPECT_EQ(PowerToDb(power[0]), FloorDb);
}

TEST(FrequencyScale, EndsAndRoundTripOnEveryScale) {
    for (TFrequencyScaleKind kind : {fsLinear, fsLogarithmic, fsMel}) {
        SCOPED_TRACE(int(kind));
        const TFrequencyScale scale(kind, 24000, 20);
        EXPECT_NEAR(scale.FrequencyAt(0), kind == fsLogarithmic ? 20.0 : 0.0, 1e-9);
        EXPECT_NEAR(scale.FrequencyAt(1), 24000, 1e-6);
        double previous = -1;
        for (int i = 0; i <= 1000; ++i) {
            const double position = i / 1000.0;
            const double hertz = scale.FrequencyAt(position);
            ASSERT_GT(hertz, previous);
            ASSERT_NEAR(scale.PositionOf(hertz), position, 1e-9);
            previous = hertz;
        }
    }
    EXPECT_NEAR(HertzToMel(1000), 1000, 0.1);
    // Equal steps of position are equal ratios on the logarithmic scale.
    const TFrequencyScale log(fsLogarithmic, 20480, 20);
    EXPECT_NEAR(log.FrequencyAt(0.5), 640, 1e-6);
}

TEST(SpectrogramView, ColumnsShareTheHopsOut) {
    struct TCase {
        std::uint64_t First, Last;
        int Width;
    };
    for (TCase c : {TCase{0, 999, 7}, TCase{5, 1141, 1137}, TCase{3, 12, 40}, TCase{9, 9, 5}}) {
        const TSpectrogramView view{c.First, c.Last, c.Width, 1, {}};
        std::uint64_t next = c.First;
        for (int x = 0; x < c.Width; ++x) {
            const THopRange hops = HopsOfColumn(view, x);
            ASSERT_LE(hops.First, hops.Last);
            // Each hop in one column, in order; with fewer hops than columns, a hop repeats.
            ASSERT_TRUE(hops.First == next || hops.First + 1 == next) << x;
            next = hops.Last + 1;
        }
        EXPECT_EQ(next, c.Last + 1);
    }
}

TEST(LevelRange, RangeAndGainPickTheIndex) {
    const TLevelRange range;
    EXPECT_EQ(range.IndexOf(0), 255);
    EXPECT_EQ(range.IndexOf(3), 255);
    EXPECT_EQ(range.IndexOf(-120), 0);
    EXPECT_EQ(range.IndexOf(FloorDb), 0);
    EXPECT_EQ(range.IndexOf(-60), 128);
    EXPECT_EQ(range.IndexOf(std::numeric_limits<double>::quiet_NaN()), 0);
    const TLevelRange raised{-20, -80, 20};
    EXPECT_EQ(raised.IndexOf(-40), 255);
    EXPECT_EQ(raised.IndexOf(-100), 0);
    EXPECT_EQ(raised.IndexOf(-70), 128);
}

TEST(ColourMap, EndsAndRisingLightness) {
    struct TCase {
        TColourMapKind Kind;
        TRgb Lowest, Highest;
    };
    const TCase cases[] = {{cmViridis, {0x44, 0x01, 0x54}, {0xFD, 0xE7, 0x25}},
                           {cmMagma, {0x00, 0x00, 0x04}, {0xFC, 0xFD, 0xBF}},
                           {cmCividis, {0x00, 0x22, 0x4E}, {0xFE, 0xE8, 0x38}},
                           {cmGrey, {0, 0, 0}, {255, 255, 255}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(ColourMapName(c.Kind));
        const TColourTable& table = ColourTable(c.Kind);
        EXPECT_EQ(table.front(), c.Lowest);
        EXPECT_EQ(table.back(), c.Highest);
        double previous = -1;
        for (std::size_t i = 0; i < table.size(); ++i) {
            const TRgb t = table[i];
            const double lightness = 0.2126 * t.R + 0.7152 * t.G + 0.0722 * t.B;
            ASSERT_GE(lightness, previous) << i;
            if (c.Kind == cmGrey) {
                ASSERT_TRUE(t.R == i && t.G == i && t.B == i) << i;
            }
            previous = lightness;
        }
    }
    EXPECT_EQ(ToArgb({0x12, 0x34, 0x56}), 0xFF123456u);
}

TEST(SpectralPyramid, EveryPixelIsTheMaximumOverItsHopsAtEveryZoom) {
    struct TCase {
        std::size_t Frames;
        TSpectrumSettings Settings;
        int Threads;
    };
    // Short blocks so that a few thousand hops already make three levels and more; a hop that
    // does not divide the window; rows grouped from bins; two threads building.
    const TCase cases[] = {
        {50000, {256, wkHann, 128, 1.0, 4, 1024}, 1},
        {41234, {512, wkBlackmanHarris, 100, 1.0, 3, 40}, 2},
        {30000, {1024, wkRectangular, 0, 1.0, 8, 1024}, 2},
        {700, {256, wkHamming, 64, 1.0, 2, 1024}, 1},
    };
    int seed = 1;
    for (const TCase& c : cases) {
        SCOPED_TRACE("frames " + std::to_string(c.Frames));
        const std::vector<double> samples = RandomFile(c.Frames, std::uint32_t(seed++));
        const TSpectralPyramid pyramid(ReaderOf(samples), samples.size(), c.Settings, c.Threads);
        ASSERT_EQ(pyramid.Hops(), (c.Frames + std::size_t(c.Settings.HopFrames()) - 1) /
                                      std::size_t(c.Settings.HopFrames()));
        const std::uint64_t last = pyramid.Hops() - 1;
        const double nyquist = 24000;
        const TSpectrogramView views[] = {
            {0, last, 37, 50, TFrequencyScale(fsLinear, nyquist)},
            {0, last, 7, 30, TFrequencyScale(fsLogarithmic, nyquist, 50)},
            {0, last, 3 * int(pyramid.Hops()) + 1, 20, TFrequencyScale(fsMel, nyquist)},
            {13 % pyramid.Hops(), last * 2 / 3, 19, 200, TFrequencyScale(fsLinear, nyquist)},
            {last / 2, last / 2, 4, 64, TFrequencyScale(fsMel, nyquist)},
            {0, last + 40, 11, 33, TFrequencyScale(fsLinear, nyquist)}, // past the end: silence
            // Zoomed up the frequencies too: a part of the scale across the rows.
            {last / 3, last, 9, 40, TFrequencyScale(fsLinear, nyquist), 0.25, 0.5},
            {0, last, 5, 17, TFrequencyScale(fsLogarithmic, nyquist, 50), 0.6, 1},
        };
        const auto onTheFly =
            TSpectralPyramid::OnTheFly(ReaderOf(samples), samples.size(), c.Settings);
        for (const TSpectrogramView& view : views) {
            SCOPED_TRACE("hops " + std::to_string(view.FirstHop) + ".." +
                         std::to_string(view.LastHop) + " in " + std::to_string(view.Width));
            const auto expected = BruteForce(samples, c.Settings, pyramid, view);
            ExpectSameImage(pyramid.Render(view), expected, view.Width);
            ExpectSameImage(pyramid.Render(view, 2), expected, view.Width);
            ExpectSameImage(onTheFly->Render(view, 2), expected, view.Width);
            // The previews: whole blocks may add the neighbours' hops, the middle hop shows
            // one of the column's; neither is ever the other side of the exact level.
            TSpectrogramView blocks = view, middle = view;
            blocks.Detail = TSpectrogramView::dtBlocks;
            middle.Detail = TSpectrogramView::dtMiddleHop;
            const auto wider = pyramid.Render(blocks), one = pyramid.Render(middle);
            for (std::size_t i = 0; i < expected.size(); ++i) {
                ASSERT_GE(wider[i], expected[i]) << "pixel " << i;
                ASSERT_LE(one[i], expected[i]) << "pixel " << i;
            }
        }
    }
}

TEST(SpectralPyramid, BandsCoverEveryRowOnEveryScale) {
    const std::vector<double> samples(5000, 0.0);
    for (int maxRows : {1024, 100}) {
        const TSpectralPyramid pyramid(ReaderOf(samples), samples.size(),
                                       {4096, wkHann, 0, 1.0, 8, maxRows});
        for (TFrequencyScaleKind kind : {fsLinear, fsLogarithmic, fsMel}) {
            for (int height : {1, 37, 296, 3000}) {
                const TSpectrogramView view{0, 0, 1, height, TFrequencyScale(kind, 22050)};
                const auto bands = pyramid.RowBands(view);
                EXPECT_EQ(bands.front().first, 0);
                EXPECT_EQ(bands.back().second, pyramid.Rows() - 1);
                for (std::size_t y = 1; y < bands.size(); ++y) {
                    // Upwards without a gap (neighbours may share the row on their border).
                    ASSERT_GE(bands[y].first, bands[y - 1].first);
                    ASSERT_LE(bands[y].first, bands[y - 1].second + 1);
                }
            }
        }
    }
}

TEST(SpectralPyramid, ToneShowsInItsPixelRowAtItsLevel) {
    const double rate = 48000, hertz = 3000;
    const std::vector<double> samples = Sine(48000, hertz / rate, 1.0);
    const TSpectralPyramid pyramid(ReaderOf(samples), samples.size(), {});
    for (TFrequencyScaleKind kind : {fsLinear, fsLogarithmic, fsMel}) {
        const TSpectrogramView view{0, pyramid.Hops() - 1, 5, 120, TFrequencyScale(kind, rate / 2)};
        const auto image = pyramid.Render(view);
        const auto at = std::size_t(std::max_element(image.begin(), image.end()) - image.begin());
        const int row = view.Height - 1 - int(at / 5); // from the bottom
        // 3 kHz lies inside the band of that pixel row, or on its border.
        const double tolerance = rate / 2048;
        EXPECT_LE(view.Scale.FrequencyAt(double(row) / view.Height), hertz + tolerance);
        EXPECT_GE(view.Scale.FrequencyAt(double(row + 1) / view.Height), hertz - tolerance);
        // 3 kHz is bin 128 of 2048 at 48 kHz: centred, so it reads full scale.
        EXPECT_NEAR(image[at], 0.0, 0.1);
    }
}

// A 10 ms full-scale tone burst at 5 kHz in ten minutes of noise at -60 dBFS, the samples
// made as they are read: the full view's brightest pixel is the burst, at its time and
// frequency, well above the noise.
TEST(SpectralPyramid, BurstInLongNoiseIsTheBrightestPixel) {
    const std::uint64_t rate = 48000, frames = 600 * rate;
    const std::uint64_t burstFrom = 371 * rate + 12345, burstFrames = rate / 100;
    const TChannelReader reader = [&](std::uint64_t first, std::size_t count, double* out) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint64_t f = first + i;
            std::uint64_t z = f * 0x9E3779B97F4A7C15ull;
            z = (z ^ (z >> 31)) * 0xBF58476D1CE4E5B9ull;
            const double noise = double(z >> 11) / double(1ull << 53) * 2 - 1;
            const bool inBurst = f >= burstFrom && f < burstFrom + burstFrames;
            out[i] = 0.001 * noise +
                     (inBurst ? std::sin(2 * Pi * 5000.0 * double(f) / double(rate)) : 0.0);
        }
    };
    const TSpectralPyramid pyramid(reader, frames, {}, 2);
    const TSpectrogramView view{0, pyramid.Hops() - 1, 1137, 296,
                                TFrequencyScale(fsLinear, double(rate) / 2)};
    const auto image = pyramid.Render(view);
    const auto at = std::size_t(std::max_element(image.begin(), image.end()) - image.begin());
    const int x = int(at % 1137), row = 295 - int(at / 1137);
    const THopRange hops = HopsOfColumn(view, x);
    const std::uint64_t hop = std::uint64_t(pyramid.Settings().HopFrames());
    EXPECT_LE(hops.First * hop, burstFrom + burstFrames);
    EXPECT_GE(hops.Last * hop + 1024, burstFrom);
    EXPECT_NEAR(view.Scale.FrequencyAt((row + 0.5) / 296), 5000, 24000.0 / 296);
    // The burst fills under a quarter of the window; the noise is 60 dB down and spread.
    EXPECT_GT(image[at], -20);
    float quietest = 0, loudestElsewhere = float(FloorDb);
    for (std::size_t i = 0; i < image.size(); ++i) {
        quietest = std::min(quietest, image[i]);
        if (int(i % 1137) != x)
            loudestElsewhere = std::max(loudestElsewhere, image[i]);
    }
    EXPECT_LT(loudestElsewhere, image[at] - 30);
    EXPECT_GT(quietest, -150); // noise everywhere, so no pixel reads silence
}

TEST(SpectralPyramid, BadInputGivesAClearPicture) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> spoilt = RandomFile(5000, 9);
    for (std::size_t at : {0, 1, 700, 2047, 2048, 4999})
        spoilt[at] = (at % 2 == 0) ? nan : -inf;
    struct TCase {
        const char* Name;
        std::vector<double> Samples;
        std::uint64_t Hops, NonFinite;
    };
    const TCase cases[] = {
        {"empty", {}, 0, 0},
        {"one frame", {0.5}, 1, 0},
        {"shorter than the window", Sine(100, 0.1, 1.0), 1, 0},
        {"not numbers", spoilt, 5, 6},
        {"nothing but not numbers", std::vector<double>(3000, nan), 3, 3000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TSpectralPyramid pyramid(ReaderOf(c.Samples), c.Samples.size(),
                                       {2048, wkHann, 0, 1.0, 2, 1024}, 2);
        EXPECT_EQ(pyramid.Hops(), c.Hops);
        EXPECT_EQ(pyramid.NonFiniteSamples(), c.NonFinite);
        const TSpectrogramView view{0, c.Hops == 0 ? 0 : c.Hops - 1, 9, 16,
                                    TFrequencyScale(fsLinear, 22050)};
        const auto image = pyramid.Render(view);
        ASSERT_EQ(image.size(), 9u * 16u);
        for (float db : image)
            ASSERT_TRUE(std::isfinite(db) && db >= FloorDb && db < 10) << db;
        if (c.Hops > 0) // the same as the samples without those values
            ExpectSameImage(image, BruteForce(c.Samples, pyramid.Settings(), pyramid, view), 9);
        const bool silent = c.Hops == 0 || c.NonFinite == c.Samples.size();
        EXPECT_EQ(*std::max_element(image.begin(), image.end()) == FloorDb, silent);
    }
}

TEST(SpectralPyramid, StoppedBuildShowsSilenceAndSaysSo) {
    const std::vector<double> samples = RandomFile(400000, 3);
    int calls = 0;
    const TSpectralPyramid pyramid(ReaderOf(samples), samples.size(), {}, 1,
                                   [&](std::uint64_t, std::uint64_t) { return ++calls < 2; });
    EXPECT_TRUE(pyramid.Cancelled());
    const auto image = pyramid.Render({0, pyramid.Hops() - 1, 10, 10, {}});
    EXPECT_EQ(*std::max_element(image.begin(), image.end()), float(FloorDb));
}
