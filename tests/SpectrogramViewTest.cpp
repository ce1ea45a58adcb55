// The spectrogram in the window: each plot's choice of waveform or spectrogram, the mono
// default, the settings kept across runs, the picture of a tone, the readout, bad input.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QWheelEvent>

#include "app/Form1.h"
#include "app/FrequencyLabelRule.h"
#include "app/PlotReadout.h"
#include "app/SettingsPlace.h"
#include "app/SpectrogramMemory.h"
#include "app/SpectrogramPlot.h"
#include "chart/interaction/Chart.h"
#include "chart/panel/FastLineSeries.h"
#include "chart/panel/LineSeries.h"
#include "tests/support/WindowTest.h"
#include "wave/WaveBytes.h"

namespace {

constexpr int WaitMs = 20000;

// 16-bit frames of `channels` channels, channel c a sine of `hertz[c]` at half full scale.
TBytes Tones(std::uint32_t rate, std::size_t frames, const std::vector<double>& hertz) {
    TBytes data;
    for (std::size_t f = 0; f < frames; ++f)
        for (double h : hertz)
            PutU16(data, std::uint16_t(std::int16_t(
                             std::lround(16384 * std::sin(2 * M_PI * h * double(f) / rate)))));
    return TWaveBytes()
        .Chunk("fmt ", TWaveBytes::Format(1, std::uint16_t(hertz.size()), rate, 16))
        .Chunk("data", data)
        .Bytes();
}

TBytes Floats(const std::vector<float>& values, int channels = 1) {
    TBytes data;
    for (float v : values) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        PutU32(data, bits);
    }
    return TWaveBytes()
        .Chunk("fmt ", TWaveBytes::Format(3, std::uint16_t(channels), 48000, 32))
        .Chunk("data", data)
        .Bytes();
}

class SpectrogramViewTest : public TWindowTest {
  protected:
    bool Open(const TBytes& bytes, const char* name = "s.wav") {
        Form.SetAsFormat(true);
        const bool ok = Form.OpenAtStart(QString::fromStdString(Dir.Write(name, bytes)));
        QApplication::processEvents();
        return ok;
    }
    // The pixel row of the loudest level in the middle column of the plot's picture.
    static int LoudestRow(const TSpectrogramPlot& plot, const TChart& chart) {
        const TRect r = chart.ChartRect();
        const int x = (r.Left + r.Right) / 2;
        int best = -1;
        double most = -1e9;
        for (int y = r.Top; y < r.Bottom; ++y) {
            const std::optional<double> level = plot.LevelAt(QPoint(x, y));
            if (level && *level > most) {
                most = *level;
                best = y;
            }
        }
        return best;
    }
};

TEST_F(SpectrogramViewTest, EachPlotChoosesWaveformOrSpectrogramAndTellsTheChoice) {
    ASSERT_TRUE(Open(Tones(8000, 4000, {500, 1500})));
    EXPECT_TRUE(Form.UpperKind->isVisible());
    EXPECT_EQ(Form.UpperKind->currentText(), "Waveform") << "stereo files keep their waveforms";
    EXPECT_FALSE(Form.Spectrogram1->Shown());
    std::vector<std::pair<TPlotPlace, bool>> told;
    Form.OnSpectrogramShownChanged = [&](TPlotPlace p, bool shown) { told.push_back({p, shown}); };

    Form.UpperKind->setCurrentIndex(1);
    emit Form.UpperKind->activated(1);
    EXPECT_TRUE(Form.Spectrogram1->Shown());
    EXPECT_FALSE(Form.Series1->Active()) << "the waveform steps aside";
    EXPECT_FALSE(Form.Spectrogram2->Shown());
    EXPECT_TRUE(Form.Series2->Active());
    EXPECT_NE(Form.Chart1->LeftAxis().LabelRule(), nullptr) << "frequencies up the side";
    ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
    EXPECT_EQ(Form.Chart1->LeftAxis().Minimum(), 0);
    EXPECT_EQ(Form.Chart1->LeftAxis().Maximum(), 1);

    Form.UpperKind->setCurrentIndex(0);
    emit Form.UpperKind->activated(0);
    EXPECT_FALSE(Form.Spectrogram1->Shown());
    EXPECT_TRUE(Form.Series1->Active());
    EXPECT_EQ(Form.Chart1->LeftAxis().LabelRule(), nullptr) << "the values as numbers again";
    EXPECT_EQ(told, (std::vector<std::pair<TPlotPlace, bool>>{{ppUpper, true}, {ppUpper, false}}));

    // The default view has no spectrogram, whatever the file's format view chose.
    Form.SetSpectrogramShown(ppLower, true);
    EXPECT_TRUE(Form.Spectrogram2->Shown());
    Form.SetAsFormat(false);
    EXPECT_FALSE(Form.Spectrogram2->Shown());
    EXPECT_TRUE(Form.Series2->Active());
}

// A plot that turns to its spectrogram and back keeps the time it shows; the default view
// gets its own room by its value axes back, whatever the spectrograms held.
TEST_F(SpectrogramViewTest, ChoosingAKindKeepsTheTimeShownAndLeavingKeepsTheDefaultRoom) {
    std::vector<std::pair<int, int>> defaultRoom;
    for (TChart* chart : {Form.Chart1, Form.Chart2})
        defaultRoom.push_back(
            {chart->LeftAxis().MinimumOffset(), chart->LeftAxis().MaximumOffset()});
    ASSERT_TRUE(Open(Tones(8000, 8000, {1000}))); // mono: a spectrogram below
    Form.Chart1->ZoomHorizontal(1000, 3000);
    const double first = Form.Chart1->BottomAxis().Minimum();
    const double last = Form.Chart1->BottomAxis().Maximum();
    for (int kind : {1, 0}) {
        Form.UpperKind->setCurrentIndex(kind);
        emit Form.UpperKind->activated(kind);
        EXPECT_EQ(Form.Spectrogram1->Shown(), kind == 1);
        EXPECT_EQ(Form.Chart1->BottomAxis().Minimum(), first);
        EXPECT_EQ(Form.Chart1->BottomAxis().Maximum(), last);
    }
    Form.UpperKind->setCurrentIndex(1);
    emit Form.UpperKind->activated(1);
    Form.SetAsFormat(false);
    std::vector<std::pair<int, int>> room;
    for (TChart* chart : {Form.Chart1, Form.Chart2})
        room.push_back({chart->LeftAxis().MinimumOffset(), chart->LeftAxis().MaximumOffset()});
    EXPECT_EQ(room, defaultRoom);
}

TEST_F(SpectrogramViewTest, MonoShowsItsWaveformAboveAndItsSpectrogramBelow) {
    ASSERT_TRUE(Open(Tones(8000, 8000, {1000})));
    EXPECT_TRUE(Form.Series1->Active());
    EXPECT_FALSE(Form.Spectrogram1->Shown());
    EXPECT_TRUE(Form.Spectrogram2->Shown());
    EXPECT_FALSE(Form.NoSecondChannel->isVisible());
    EXPECT_EQ(Form.LowerKind->currentText(), "Spectrogram");
    EXPECT_FALSE(Form.LowerKind->isEnabled());
    ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
    // The tone's row is the loudest, at its frequency (within a pixel row's band).
    const int row = LoudestRow(*Form.Spectrogram2, *Form.Chart2);
    ASSERT_GE(row, 0);
    const double band = 4000.0 / (Form.Chart2->ChartRect().Bottom - Form.Chart2->ChartRect().Top);
    EXPECT_NEAR(*Form.Spectrogram2->FrequencyAt(QPoint(0, row)), 1000, band);
    EXPECT_NEAR(*Form.Spectrogram2->LevelAt(QPoint(
                    (Form.Chart2->ChartRect().Left + Form.Chart2->ChartRect().Right) / 2, row)),
                -6.02, 0.2)
        << "half full scale";
}

TEST_F(SpectrogramViewTest, PictureFollowsZoomAndTheSettings) {
    // Left: 1 kHz for the first second, 3 kHz for the next.
    TBytes data;
    for (int f = 0; f < 16000; ++f)
        PutU16(data, std::uint16_t(std::int16_t(std::lround(
                         16384 * std::sin(2 * M_PI * (f < 8000 ? 1000 : 3000) * f / 8000.0)))));
    ASSERT_TRUE(Open(TWaveBytes()
                         .Chunk("fmt ", TWaveBytes::Format(1, 1, 8000, 16))
                         .Chunk("data", data)
                         .Bytes()));
    TSpectrogramPlot& plot = *Form.Spectrogram2;
    TChart& chart = *Form.Chart2;
    ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
    const double band = 4000.0 / (chart.ChartRect().Bottom - chart.ChartRect().Top);
    chart.ZoomHorizontal(10000, 14000);
    ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
    EXPECT_NEAR(*plot.FrequencyAt(QPoint(0, LoudestRow(plot, chart))), 3000, band);
    chart.UndoZoom();
    chart.ZoomHorizontal(1000, 5000);
    ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
    EXPECT_NEAR(*plot.FrequencyAt(QPoint(0, LoudestRow(plot, chart))), 1000, band);

    // A gain moves every level by as much; the picture is drawn again, the spectra kept.
    const QPoint middle((chart.ChartRect().Left + chart.ChartRect().Right) / 2,
                        LoudestRow(plot, chart));
    const double before = *plot.LevelAt(middle);
    TSpectrogramChoice choice = plot.Choice();
    choice.GainDb = 20;
    choice.Colours = cmGrey;
    Form.SetSpectrogramChoice(ppLower, choice);
    ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
    EXPECT_EQ(*plot.LevelAt(middle), before) << "levels are read before the gain";
    const QRgb pixel = Form.PlotPicture(&chart).pixel(middle);
    EXPECT_EQ(qRed(pixel), qGreen(pixel)) << "grey";
    EXPECT_EQ(qRed(pixel), 255) << "-6 dBFS + 20 dB is above the top";
    // The logarithmic scale keeps the tone where its frequency is.
    choice.Scale = fsLogarithmic;
    Form.SetSpectrogramChoice(ppLower, choice);
    ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
    const double found = *plot.FrequencyAt(QPoint(0, LoudestRow(plot, chart)));
    EXPECT_NEAR(std::log(found / 1000), 0, 0.05);
}

// The settings live in the plot's menu: a choice there changes that plot's spectrogram alone
// and is told, to be kept.
TEST_F(SpectrogramViewTest, ThePlotMenuChangesItsSpectrogramsSettings) {
    ASSERT_TRUE(Open(Tones(8000, 8000, {1000, 2000})));
    Form.ShowPlotMenu(Form.Chart1, QPoint(50, 50));
    ASSERT_NE(Form.PlotMenu(), nullptr);
    EXPECT_EQ(Form.PlotMenu()->findChild<QMenu*>("SpectrogramMenu"), nullptr)
        << "a waveform has no spectrogram settings";
    Form.PlotMenu()->close();
    Form.SetSpectrogramShown(ppUpper, true);
    Form.SetSpectrogramShown(ppLower, true);
    std::vector<TPlotPlace> told;
    Form.OnSpectrogramChoiceChanged = [&](TPlotPlace place, const TSpectrogramChoice&) {
        told.push_back(place);
    };
    const auto choose = [&](const QString& submenu, const QString& entry) {
        Form.ShowPlotMenu(Form.Chart1, QPoint(50, 50));
        auto* settings = Form.PlotMenu()->findChild<QMenu*>("SpectrogramMenu");
        ASSERT_NE(settings, nullptr);
        for (QAction* group : settings->actions())
            if (group->menu() != nullptr && group->text().remove('&') == submenu)
                for (QAction* action : group->menu()->actions())
                    if (action->text() == entry) {
                        EXPECT_FALSE(action->isChecked());
                        action->trigger();
                        Form.PlotMenu()->close();
                        return;
                    }
        ADD_FAILURE() << "no " << entry.toStdString() << " in " << submenu.toStdString();
    };
    choose("Colours", "Magma");
    choose("Window length", "8192 samples");
    choose("Window", "Blackman-Harris");
    choose("Hop", "A quarter of the window");
    choose("Frequency scale", "Mel");
    const TSpectrogramChoice upper = Form.SpectrogramChoice(ppUpper);
    EXPECT_EQ(upper.Colours, cmMagma);
    EXPECT_EQ(upper.WindowLength, 8192);
    EXPECT_EQ(upper.Window, wkBlackmanHarris);
    EXPECT_EQ(upper.HopDivisor, 4);
    EXPECT_EQ(upper.Scale, fsMel);
    EXPECT_EQ(Form.SpectrogramChoice(ppLower), TSpectrogramChoice()) << "the other plot's own";
    EXPECT_EQ(told, std::vector<TPlotPlace>(5, ppUpper));
    ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
}

TEST_F(SpectrogramViewTest, TheReadoutGivesTimeFrequencyAndLevelAsTheAxisCountsTime) {
    ASSERT_TRUE(Open(Tones(8000, 8000, {1000})));
    ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
    TChart& chart = *Form.Chart2;
    const QPoint at((chart.ChartRect().Left + chart.ChartRect().Right) / 2,
                    LoudestRow(*Form.Spectrogram2, chart));
    Form.Readout2->PointerAt(at);
    const QString text = Form.Readout2->text();
    EXPECT_TRUE(text.contains("Frame ")) << text.toStdString();
    EXPECT_TRUE(text.contains("Time 0.")) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("Frequency (9\\d\\d|1[.,]0\\d*) k?Hz")))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Level -6.0 dBFS")) << text.toStdString();

    // The time as the axis counts it, in every plot's readout.
    Form.SetTimeAxis(TForm1::taTimecode25);
    Form.Readout1->PointerAt(QPoint(Form.Chart1->ChartRect().Left + 1, at.y()));
    EXPECT_TRUE(Form.Readout1->text().contains("Timecode 00:00:00:00"))
        << Form.Readout1->text().toStdString();
    Form.SetTimeAxis(TForm1::taClock);
    Form.Readout2->PointerAt(at);
    EXPECT_TRUE(Form.Readout2->text().contains("Time 0:00."))
        << Form.Readout2->text().toStdString();

    // After the wheel's zoom and pan the readout names what is under the pointer now.
    Form.SetTimeAxis(TForm1::taFrames);
    const QPoint left(chart.ChartRect().Left + 20, at.y());
    // The plot's menu hides the readout; the wheel turned over the plot brings it back.
    Form.ShowPlotMenu(&chart, left);
    Form.PlotMenu()->close();
    EXPECT_FALSE(Form.Readout2->isVisible());
    for (Qt::KeyboardModifier held : {Qt::ControlModifier, Qt::ShiftModifier}) {
        const QString before = Form.Readout2->text();
        QWheelEvent turn{QPointF(left), QPointF(left), QPoint(),          QPoint(0, -600),
                         Qt::NoButton,  held,          Qt::NoScrollPhase, false};
        QApplication::sendEvent(&chart, &turn);
        ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
        QApplication::processEvents();
        EXPECT_TRUE(Form.Readout2->isVisible());
        const int frame = FrameAtPixel(chart.BottomAxis(), left.x(), 8000);
        EXPECT_TRUE(Form.Readout2->text().contains(
            QStringLiteral("Frame %1\n").arg(QLocale().toString(frame - 1))))
            << Form.Readout2->text().toStdString();
        if (held == Qt::ShiftModifier) {
            EXPECT_NE(Form.Readout2->text(), before) << "a pan brings other frames under it";
        }
    }
}

// Inputs at the edges: each opens, draws a finished picture and says no more than it knows.
TEST_F(SpectrogramViewTest, BadInputDrawsAClearPicture) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> wild(3000, 0.25f);
    for (std::size_t i = 0; i < wild.size(); i += 7)
        wild[i] = i % 2 ? nan : -inf;
    struct TCase {
        const char* Name;
        TBytes Bytes;
    };
    const TCase cases[] = {
        {"no frames", Floats({})},
        {"one frame", Floats({0.5f})},
        {"fewer frames than the window", Floats(std::vector<float>(100, 0.5f))},
        {"NaN and infinities", Floats(wild)},
        {"65,535 channels", Floats(std::vector<float>(2 * 65535, 0.5f), 65535)},
    };
    Form.SetSpectrogramShown(ppUpper, true);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Open(c.Bytes);
        ASSERT_TRUE(Form.WaitForSpectrograms(WaitMs));
        const QImage picture = Form.PlotPictures({Form.Chart1, Form.Chart2});
        EXPECT_FALSE(picture.isNull());
        const TRect r = Form.Chart1->ChartRect();
        if (const std::optional<double> level = Form.Spectrogram1->LevelAt(
                QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2))) {
            EXPECT_FALSE(std::isnan(*level));
        }
    }
}

// What the axis prints: round frequencies that never touch, in hertz and kilohertz.
TEST(FrequencyLabelRule, RoundFrequenciesApart) {
    const auto width = [](const std::string& text) { return int(text.size()) * 6; };
    struct TCase {
        TFrequencyScaleKind Kind;
        double Nyquist;
        int Pixels;
        std::vector<std::string> Texts;
    };
    const TCase cases[] = {
        {fsLinear, 24000, 240, {"0 Hz", "5 kHz", "10 kHz", "15 kHz", "20 kHz"}},
        {fsLinear, 24000, 100, {"0 Hz", "20 kHz"}},
        {fsLinear,
         4000,
         400,
         {"0 Hz", "500 Hz", "1 kHz", "1.5 kHz", "2 kHz", "2.5 kHz", "3 kHz", "3.5 kHz", "4 kHz"}},
        {fsLogarithmic, 24000, 200, {"100 Hz", "1 kHz", "10 kHz"}},
        {fsLogarithmic,
         24000,
         900,
         {"20 Hz", "50 Hz", "100 Hz", "200 Hz", "500 Hz", "1 kHz", "2 kHz", "5 kHz", "10 kHz",
          "20 kHz"}},
    };
    for (const TCase& c : cases) {
        const TFrequencyLabelRule rule(TFrequencyScale(c.Kind, c.Nyquist, 20));
        const std::vector<double> ticks = rule.Ticks(0, 1, c.Pixels, width);
        std::vector<std::string> texts;
        for (double t : ticks)
            texts.push_back(rule.Text(t));
        EXPECT_EQ(texts, c.Texts);
        for (std::size_t i = 1; i < ticks.size(); ++i)
            EXPECT_GE((ticks[i] - ticks[i - 1]) * c.Pixels, width("00 kHz"));
    }
    EXPECT_EQ(FrequencyText(12500), "12.5 kHz");
    EXPECT_EQ(FrequencyText(440), "440 Hz");
}

// Per plot, kept by name: a round trip gives back what was kept, and what is not understood
// reads as the default.
TEST(SpectrogramMemory, EachPlotKeepsItsOwnSettings) {
    QStandardPaths::setTestModeEnabled(true);
    QSettings(SettingsOrganization, SettingsApplication).remove(QStringLiteral("Spectrogram"));
    TSpectrogramChoice upper;
    upper.WindowLength = 8192;
    upper.Window = wkBlackmanHarris;
    upper.HopDivisor = 4;
    upper.TopDb = -10;
    upper.BottomDb = -90;
    upper.GainDb = 20;
    upper.Scale = fsMel;
    upper.Colours = cmMagma;
    TSpectrogramChoice lower;
    lower.Scale = fsLogarithmic;
    RememberSpectrogramChoice(ppUpper, upper);
    RememberSpectrogramChoice(ppLower, lower);
    RememberSpectrogramShown(ppLower, true);
    EXPECT_EQ(RememberedSpectrogramChoice(ppUpper), upper);
    EXPECT_EQ(RememberedSpectrogramChoice(ppLower), lower);
    EXPECT_FALSE(RememberedSpectrogramShown(ppUpper));
    EXPECT_TRUE(RememberedSpectrogramShown(ppLower));

    // A window restored from them, and a change the user makes kept for the next run.
    {
        TForm1 form;
        RestoreSpectrogramMemory(form);
        EXPECT_EQ(form.SpectrogramChoice(ppUpper), upper);
        EXPECT_TRUE(form.SpectrogramShown(ppLower));
        form.OnSpectrogramShownChanged(ppUpper, true);
        TSpectrogramChoice changed = lower;
        changed.Colours = cmCividis;
        form.OnSpectrogramChoiceChanged(ppLower, changed);
    }
    EXPECT_TRUE(RememberedSpectrogramShown(ppUpper));
    EXPECT_EQ(RememberedSpectrogramChoice(ppLower).Colours, cmCividis);

    QSettings settings(SettingsOrganization, SettingsApplication);
    settings.setValue("Spectrogram/Upper/WindowLength", "lots");
    settings.setValue("Spectrogram/Upper/Window", "Triangle");
    settings.setValue("Spectrogram/Upper/HopDivisor", 3);
    settings.setValue("Spectrogram/Upper/BottomDb", 5);
    settings.sync();
    const TSpectrogramChoice odd = RememberedSpectrogramChoice(ppUpper);
    EXPECT_EQ(odd.WindowLength, 2048) << "no number: the default";
    EXPECT_EQ(odd.Window, wkHann);
    EXPECT_EQ(odd.HopDivisor, 2);
    EXPECT_LT(odd.BottomDb, odd.TopDb);
    // Numbers no window length can be are the default too (no conversion out of range).
    for (const char* huge : {"1e300", "-1e300", "nan", "inf"}) {
        settings.setValue("Spectrogram/Upper/WindowLength", huge);
        settings.sync();
        EXPECT_EQ(RememberedSpectrogramChoice(ppUpper).WindowLength, 2048) << huge;
    }
    settings.remove(QStringLiteral("Spectrogram"));
}

} // namespace
