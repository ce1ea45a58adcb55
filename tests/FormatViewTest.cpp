// The window's second view: a file shown as its format says, beside the default 16-bit stereo
// frames, with the notice, the facts panel, the channel choices and the export.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "app/AudioFactsText.h"
#include "app/Form1.h"
#include "app/GoToText.h"
#include "app/MarkerOverlay.h"
#include "app/PlotNotice.h"
#include "app/PlotReadout.h"
#include "chart/interaction/Chart.h"
#include "chart/panel/FastLineSeries.h"
#include "chart/panel/LineSeries.h"
#include "samples/SampleStore.h"
#include "tests/support/MarkerChunks.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowTest.h"
#include "wave/WaveBytes.h"

namespace {

// Little-endian integers of `bytes` bytes each, frame after frame.
TBytes Samples(const std::vector<std::int64_t>& values, int bytes) {
    TBytes out;
    for (std::int64_t v : values)
        for (int i = 0; i < bytes; ++i)
            out.push_back(std::uint8_t(std::uint64_t(v) >> (8 * i)));
    return out;
}

TBytes Floats(const std::vector<float>& values) {
    TBytes out;
    for (float v : values) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        PutU32(out, bits);
    }
    return out;
}

class FormatViewTest : public TWindowTest {
  protected:
    std::string Write(const std::string& name, const TBytes& bytes) {
        return Dir.Write(name, bytes);
    }
    bool Open(const std::string& file) {
        const bool ok = Form.OpenAtStart(QString::fromStdString(file));
        QApplication::processEvents();
        return ok;
    }
    std::vector<double> Values(const TChartSeries& series) {
        std::vector<double> values;
        for (int i = 0; i < series.YValues.Count(); ++i)
            values.push_back(series.YValues.ValueAt(i));
        return values;
    }
};

const std::vector<std::int64_t> Stereo24 = {8388607, -8388608, 1, -1, 0, 4194304};

TEST_F(FormatViewTest, TheDefaultViewSaysWhatAFileHoldsAndSwitchesInOneClick) {
    const std::string file =
        Write("s24.wav", TWaveBytes()
                             .Chunk("fmt ", TWaveBytes::Format(1, 2, 48000, 24))
                             .Chunk("data", Samples(Stereo24, 3))
                             .Bytes());
    EXPECT_TRUE(Open(file)) << "the default view reads it as the reader does";
    const QString log = Form.Memo1->toPlainText();
    EXPECT_EQ(SampleCount, 4) << "18 bytes as 4-byte frames";
    ASSERT_TRUE(Form.FormatNoticeLabel->isVisible());
    EXPECT_TRUE(Form.FormatNoticeLabel->text().contains("24-bit RIFF PCM in 2 channels"));
    EXPECT_TRUE(Form.FactsBox->toPlainText().contains("Bits: 24 bits"));
    EXPECT_TRUE(Form.FactsBox->toPlainText().contains("Frames: 3"));

    emit Form.FormatNoticeLabel->linkActivated(QStringLiteral("format"));
    QApplication::processEvents();
    EXPECT_TRUE(Form.AsFormat());
    EXPECT_TRUE(Form.ViewFormat->isChecked());
    EXPECT_FALSE(Form.FormatNoticeLabel->isVisible());
    EXPECT_EQ(Values(*Form.Series1), (std::vector<double>{8388607, 1, 0}));
    EXPECT_EQ(Values(*Form.Series2), (std::vector<double>{-8388608, -1, 4194304}));
    EXPECT_EQ(Form.Series1->XValues.ValueAt(0), 1) << "frames count from 1 as in the default view";
    EXPECT_EQ(Form.Memo1->toPlainText(), log) << "a change of view logs nothing";

    // And back: the store holds the 16-bit frames again, still without a new log line.
    Form.ViewFrames->click();
    QApplication::processEvents();
    EXPECT_FALSE(Form.AsFormat());
    EXPECT_EQ(SampleCount, 4);
    EXPECT_EQ(Form.Series1->YValues.Count(), 4);
    EXPECT_EQ(Form.Memo1->toPlainText(), log);
}

TEST_F(FormatViewTest, ManyChannelsEachPlotChoosesOne) {
    std::vector<std::int64_t> values;
    for (int frame = 0; frame < 5; ++frame)
        for (int channel = 0; channel < 6; ++channel)
            values.push_back(100 * channel + frame);
    const std::string file = Write("six.wav", TWaveBytes()
                                                  .Chunk("fmt ", TWaveBytes::Format(1, 6, 8000, 16))
                                                  .Chunk("data", Samples(values, 2))
                                                  .Bytes());
    Form.SetAsFormat(true);
    ASSERT_TRUE(Open(file));
    EXPECT_TRUE(Form.UpperChannel->isVisible());
    ASSERT_EQ(Form.UpperChannel->count(), 6);
    EXPECT_EQ(Values(*Form.Series2), (std::vector<double>{100, 101, 102, 103, 104}));
    Form.LowerChannel->setCurrentIndex(5);
    emit Form.LowerChannel->activated(5);
    EXPECT_EQ(Values(*Form.Series2), (std::vector<double>{500, 501, 502, 503, 504}));
    EXPECT_EQ(Values(*Form.Series1), (std::vector<double>{0, 1, 2, 3, 4}));

    // The export writes every channel of every frame.
    Form.SpeedButton1->click();
    const std::string text = TTempDir::Read(Dir.File("six_out.dat"));
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), " 0 100 200 300 400 500\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
}

// Channels take their names from the channel mask, in the choices, the facts and the readout;
// one past the mask's bits keeps its number.
TEST_F(FormatViewTest, ChannelsAreNamedByTheirMask) {
    const std::string file =
        Write("three.wav", TWaveBytes()
                               .Chunk("fmt ", TWaveBytes::ExtensibleFormat(3, 8000, 16, 0x3))
                               .Chunk("data", Samples({1, 2, 3, 4, 5, 6}, 2))
                               .Bytes());
    Form.SetAsFormat(true);
    ASSERT_TRUE(Open(file));
    QStringList names;
    for (int i = 0; i < Form.UpperChannel->count(); ++i)
        names << Form.UpperChannel->itemText(i);
    EXPECT_EQ(names, (QStringList{"Front Left", "Front Right", "Channel 3"}));
    EXPECT_EQ(Form.LowerChannel->currentText(), "Front Right");
    EXPECT_TRUE(Form.FactsBox->toPlainText().contains(
        "Channels: 3 (mask 0x3: Front Left, Front Right, 1 more)"))
        << Form.FactsBox->toPlainText().toStdString();
    Form.Chart2->Draw();
    Form.Readout2->PointerAt(
        QPoint(Form.Chart2->BottomAxis().PixelOfValue(1), Form.Chart2->ChartYCenter()));
    EXPECT_TRUE(Form.Readout2->text().startsWith("Front Right\n"))
        << Form.Readout2->text().toStdString();
}

// A format of 0 channels: the default view shows its data as ever and says the file holds no
// audio; the file's format plots nothing and says so over the plots and in the facts.
TEST_F(FormatViewTest, AFileOfNoChannelsSaysSo) {
    TBytes format = TWaveBytes::Format(1, 0, 44100, 16);
    format[12] = 4; // a block align of 4 bytes all the same
    const std::string file =
        Write("none.wav", TWaveBytes().Chunk("fmt ", format).Chunk("data", TBytes(400, 0)).Bytes());
    ASSERT_TRUE(Open(file));
    EXPECT_EQ(SampleCount, 100) << "the default view reads it as ever";
    ASSERT_TRUE(Form.FormatNoticeLabel->isVisible());
    EXPECT_TRUE(Form.FormatNoticeLabel->text().contains("0 channels: this file holds no audio"));
    EXPECT_FALSE(Form.FormatNoticeLabel->text().contains("href")) << "no view to offer";
    EXPECT_FALSE(Form.NothingToPlot1->isVisible());
    EXPECT_TRUE(Form.FactsBox->toPlainText().contains("The format says 0 channels"));
    EXPECT_TRUE(Form.FactsBox->toPlainText().contains("Bits: 16 bits\n"));

    Form.SetAsFormat(true);
    QApplication::processEvents();
    EXPECT_EQ(Form.Series1->PointCount(), 0);
    EXPECT_EQ(Form.Series2->PointCount(), 0);
    for (TPlotNotice* notice : {Form.NothingToPlot1, Form.NothingToPlot2}) {
        EXPECT_TRUE(notice->isVisible());
        EXPECT_EQ(notice->Text(), "The format says 0 channels: this file holds no audio to plot.");
    }
    EXPECT_FALSE(Form.UpperChannel->isVisible());

    Form.SetAsFormat(false);
    QApplication::processEvents();
    EXPECT_FALSE(Form.NothingToPlot1->isVisible());
    EXPECT_EQ(Form.Series1->PointCount(), 100);
}

TEST_F(FormatViewTest, MonoFloatShowsItsValuesAboveAndItsSpectrogramBelow) {
    const std::string file =
        Write("mono.wav", TWaveBytes()
                              .Chunk("fmt ", TWaveBytes::Format(3, 1, 44100, 32))
                              .Chunk("data", Floats({0.5f, -0.25f, 0.1f}))
                              .Bytes());
    Form.SetAsFormat(true);
    ASSERT_TRUE(Open(file));
    EXPECT_EQ(Values(*Form.Series1), (std::vector<double>{0.5, -0.25, double(0.1f)}));
    // Below, the one channel again, as its spectrogram rather than a second channel.
    EXPECT_EQ(Values(*Form.Series2), Values(*Form.Series1));
    EXPECT_FALSE(Form.Series2->Active());
    EXPECT_FALSE(Form.NoSecondChannel->isVisible());
    EXPECT_FALSE(Form.LowerChannel->isEnabled());
    Form.SpeedButton1->click();
    EXPECT_EQ(TTempDir::Read(Dir.File("mono_out.dat")), " 0.5\r\n -0.25\r\n 0.1\r\n");
}

TEST_F(FormatViewTest, WhatTheDefaultReaderRefusesTheFormatViewShows) {
    // RIFX: big-endian 16-bit stereo, which the log's reader does not take for RIFF.
    const TBytes rifx = {'R', 'I', 'F',  'X',  0, 0, 0,    40, 'W',  'A',  'V',  'E',
                         'f', 'm', 't',  ' ',  0, 0, 0,    16, 0,    1,    0,    2,
                         0,   0,   0x1F, 0x40, 0, 0, 0x7D, 0,  0,    4,    0,    16,
                         'd', 'a', 't',  'a',  0, 0, 0,    4,  0x12, 0x34, 0xFF, 0xFE};
    const std::string file = Write("big.wav", rifx);
    EXPECT_FALSE(Open(file));
    EXPECT_TRUE(Form.FactsBox->toPlainText().contains("Container: RIFX"));
    EXPECT_TRUE(Form.FormatNoticeLabel->text().contains("reads RIFF files only"));
    Form.ViewFormat->click();
    QApplication::processEvents();
    EXPECT_EQ(Values(*Form.Series1), (std::vector<double>{0x1234}));
    EXPECT_EQ(Values(*Form.Series2), (std::vector<double>{-2}));

    // A file that is not there says so in words.
    EXPECT_FALSE(Open(Dir.File("missing.wav")));
    EXPECT_TRUE(Form.FactsBox->toPlainText().contains("No such file or directory."));
    EXPECT_EQ(Form.Series1->YValues.Count(), 0);
}

// Cancel of a long decoding leaves the window as it was: the earlier file's plots, log, facts
// and export.
TEST_F(FormatViewTest, CancelledDecodingKeepsTheEarlierFile) {
    const std::string earlier =
        Write("mono.wav", TWaveBytes()
                              .Chunk("fmt ", TWaveBytes::Format(3, 1, 44100, 32))
                              .Chunk("data", Floats({0.5f, -0.25f}))
                              .Bytes());
    const std::string muLaw =
        Write("ulaw.wav", TWaveBytes()
                              .Chunk("fmt ", TWaveBytes::Format(7, 1, 8000, 8))
                              .Chunk("data", TBytes(1000, 0x80))
                              .Bytes());
    Form.SetAsFormat(true);
    ASSERT_TRUE(Open(earlier));
    const QString log = Form.Memo1->toPlainText();
    const QString facts = Form.FactsBox->toPlainText();
    Dialogs.CancelAtStep = Dialogs.Steps.size() + 1;
    EXPECT_FALSE(Open(muLaw));
    EXPECT_EQ(Dialogs.ProgressLabels.back(), "Decoding ulaw.wav...");
    EXPECT_EQ(Values(*Form.Series1), (std::vector<double>{0.5, -0.25}));
    EXPECT_EQ(WaveFileName, earlier);
    EXPECT_EQ(Form.Memo1->toPlainText(), log);
    EXPECT_EQ(Form.FactsBox->toPlainText(), facts);
    Form.SpeedButton1->click();
    EXPECT_EQ(TTempDir::Read(Dir.File("mono_out.dat")), " 0.5\r\n -0.25\r\n");
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(FormatViewTest, TheReadoutNamesTheChannelAndTheFormatsValue) {
    const std::string file =
        Write("r.wav", TWaveBytes()
                           .Chunk("fmt ", TWaveBytes::Format(3, 2, 10, 32))
                           .Chunk("data", Floats({0.5f, 0.75f, -1.5f, 2.0f, 0.0f, 0.0f}))
                           .Bytes());
    Form.SetAsFormat(true);
    ASSERT_TRUE(Open(file));
    TChart* chart = Form.Chart2;
    QApplication::processEvents();
    QApplication::processEvents();
    Form.Readout2->PointerAt(QPoint(chart->BottomAxis().PixelOfValue(2), chart->ChartYCenter()));
    // The file's format names its frames from 0: X 2 is frame 1.
    EXPECT_EQ(Form.Readout2->text().toStdString(), "Channel 2\nFrame 1\nTime 0.10 s\nValue 2");
}

} // namespace

namespace {

// A real file's markers (16 cue points with regions, one sampler loop) over both plots, in
// both views of a 16-bit stereo file, and a marker chosen brings the plots to it.
TEST_F(FormatViewTest, MarkersAreDrawnOverThePlotsAndChosenToGoThere) {
    const std::string file = std::string(CORPORA_DIR) + "/go-audio-wav/flloop.wav";
    ASSERT_TRUE(Open(file));
    EXPECT_EQ(Form.Markers1->Markers().size(), 17u);
    EXPECT_TRUE(Form.Markers2->isVisible());
    ASSERT_EQ(Form.MarkerChoice->count(), 17); // the prompt and the 16 markers
    EXPECT_TRUE(Form.FactsBox->toPlainText().contains("Software: FL Studio (beta)"));
    const QImage before = Form.PlotPicture(Form.Chart1);

    emit Form.MarkerChoice->activated(3); // the third marker, at frame 0x34bc
    QApplication::processEvents();
    const TChartAxis& bottom = Form.Chart1->BottomAxis();
    EXPECT_DOUBLE_EQ((bottom.Minimum() + bottom.Maximum()) / 2, 0x34bc + 1);
    EXPECT_DOUBLE_EQ(Form.Chart2->BottomAxis().Minimum(), bottom.Minimum());
    EXPECT_EQ(Form.MarkerChoice->currentIndex(), 0);
    Form.Chart1->UndoZoom();
    QApplication::processEvents();
    EXPECT_TRUE(Form.PlotPicture(Form.Chart1) == before)
        << "the markers are not in the chart's picture";

    Form.SetAsFormat(true);
    QApplication::processEvents();
    EXPECT_EQ(Form.Markers1->Markers().size(), 17u);
}

} // namespace

namespace {

// A marker's label stands on the plot's own background, readable over a full-scale waveform
// that fills the plot; a region stored as a cue point and a sampler loop of its id is drawn as
// one labelled region.
TEST_F(FormatViewTest, MarkerLabelsStandOnABackgroundOfTheirOwn) {
    std::vector<std::pair<std::int16_t, std::int16_t>> frames;
    for (int i = 0; i < 4000; ++i)
        frames.emplace_back(i % 2 ? 32767 : -32767, i % 3 ? 32767 : -32767);
    const std::vector<TCueAt> points = {{1, 0, "Verse"}, {2, 2000, "Hit"}};
    const std::string file =
        Write("dense.wav", TWaveBytes()
                               .Chunk("fmt ", TWaveBytes::Format(1, 2, 8000, 16))
                               .Chunk("cue ", CueChunk(points))
                               .Chunk("LIST", LabelList(points))
                               .Chunk("smpl", SamplerChunk({{1, 0, 999}}))
                               .Chunk("data", TWaveBytes::Frames(frames))
                               .Bytes());
    ASSERT_TRUE(Open(file));
    const std::vector<TPlotMarker>& marks = Form.Markers1->Markers();
    ASSERT_EQ(marks.size(), 2u) << "the loop is the first marker's region";
    EXPECT_EQ(marks[0].Length, 1000u);
    EXPECT_EQ(marks[0].Label, "Verse");

    const QRgb wave = qRgb(68, 102, 163); // the upper plot's line
    const QImage shown = Form.Chart1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage plot = Form.PlotPicture(Form.Chart1);
    for (const TPlotMarker& mark : marks) {
        SCOPED_TRACE(mark.Label);
        const QRect label = Form.Markers1->LabelRect(mark);
        ASSERT_FALSE(label.isEmpty());
        int under = 0, lettered = 0;
        for (int y = label.top(); y <= label.bottom(); ++y)
            for (int x = label.left(); x <= label.right(); ++x) {
                under += plot.pixel(x, y) == wave;
                const QColor c = shown.pixelColor(x, y);
                EXPECT_NE(c.rgb(), wave) << x << ", " << y;
                lettered += c.red() > c.green() + 60 && c.red() > c.blue() + 60;
            }
        EXPECT_GT(under, label.width()) << "the waveform fills the place of the label";
        EXPECT_GT(lettered, 5) << "the label's letters";
    }
}

TEST(GoToText, TimesTimecodesAndFrames) {
    struct TCase {
        const char* Text;
        std::optional<double> Frame; // the plot's X at 1000 frames a second
    };
    const TCase cases[] = {
        {"1:23.5", 83501},         {"83.5", 83501},
        {" 1:02:03.25 ", 3723251}, {"00:01:23:12", 83481},
        {"#3683350", 3683350},     {"0", 1},
        {"1:75", std::nullopt},    {"00:01:23:30", std::nullopt},
        {"#0", std::nullopt},      {"abc", std::nullopt},
        {"", std::nullopt},        {"1::2", std::nullopt},
    };
    for (const TCase& c : cases) {
        const TGoTo got = ParseGoTo(c.Text, 1000, 25);
        EXPECT_EQ(got.Frame, c.Frame) << c.Text;
        EXPECT_EQ(got.Problem.empty(), bool(c.Frame)) << c.Text;
    }
    EXPECT_FALSE(ParseGoTo("1:23.5", 0, 25).Frame) << "no rate: only frames";
    EXPECT_EQ(ParseGoTo("#12", 0, 25).Frame, 12);
    // The file's own frames count from 0: frame N is the plot's X N + 1.
    EXPECT_EQ(ParseGoTo("#0", 0, 25, 0).Frame, 1);
    EXPECT_EQ(ParseGoTo("#44100", 0, 25, 0).Frame, 44101);
    EXPECT_EQ(ParseGoTo("1:23.5", 1000, 25, 0).Frame, 83501) << "a time is no frame number";
}

} // namespace

namespace {

QWheelEvent Wheel(QPoint at, int delta, Qt::KeyboardModifiers modifiers) {
    return QWheelEvent(QPointF(at), QPointF(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                       modifiers, Qt::NoScrollPhase, false);
}

// Linked plots share their horizontal zoom and pan, and (apart) the wider vertical range; the
// wheel with Ctrl zooms the horizontal axis around the pointer, with Shift pans it.
TEST_F(FormatViewTest, LinkedPlotsMoveTogether) {
    std::vector<std::pair<std::int16_t, std::int16_t>> frames;
    for (int i = 0; i < 1000; ++i)
        frames.push_back({std::int16_t(i % 2 ? 100 : -100), std::int16_t(i % 2 ? 1000 : -1000)});
    ASSERT_TRUE(Open(Write("linked.wav", PlainWave(TWaveBytes::Frames(frames)))));
    Form.SetLinks(true, true);
    QApplication::processEvents();
    QApplication::processEvents();
    for (TChart* chart : {Form.Chart1, Form.Chart2}) {
        EXPECT_EQ(chart->LeftAxis().Minimum(), -1000);
        EXPECT_EQ(chart->LeftAxis().Maximum(), 1000);
    }
    Form.Chart1->ZoomHorizontal(100, 200);
    for (int i = 0; i < 4; ++i)
        QApplication::processEvents();
    EXPECT_EQ(Form.Chart2->BottomAxis().Minimum(), 100);
    EXPECT_EQ(Form.Chart2->BottomAxis().Maximum(), 200);
    Form.Chart1->UndoZoom();
    for (int i = 0; i < 4; ++i)
        QApplication::processEvents();
    EXPECT_TRUE(Form.Chart2->BottomAxis().Automatic());

    // The wheel: Ctrl zooms around the pointer, Shift pans, alone it keeps its vertical scroll.
    Form.SetLinks(false, false);
    TChart* chart = Form.Chart1;
    const QPoint at(chart->BottomAxis().PixelOfValue(500), chart->ChartYCenter());
    QWheelEvent zoom = Wheel(at, 120, Qt::ControlModifier);
    QApplication::sendEvent(chart, &zoom);
    const double low = chart->BottomAxis().Minimum(), high = chart->BottomAxis().Maximum();
    EXPECT_LT(high - low, 999 / 1.2);
    EXPECT_LT(low, 500);
    EXPECT_GT(high, 500);
    QWheelEvent pan = Wheel(at, -120, Qt::ShiftModifier);
    QApplication::sendEvent(chart, &pan);
    EXPECT_GT(chart->BottomAxis().Minimum(), low) << "turned toward the user: to the right";
    const double left = chart->BottomAxis().Minimum();
    QWheelEvent plain = Wheel(at, 120, Qt::NoModifier);
    QApplication::sendEvent(chart, &plain);
    EXPECT_EQ(chart->BottomAxis().Minimum(), left) << "the plain wheel leaves the horizontal axis";
}

} // namespace

namespace {

// + and - zoom the horizontal axis alone; the vertical range stays where it was.
TEST_F(FormatViewTest, PlusAndMinusZoomTheHorizontalAxis) {
    std::vector<std::pair<std::int16_t, std::int16_t>> frames;
    for (int i = 0; i < 1001; ++i)
        frames.push_back({std::int16_t(i % 7 * 100), std::int16_t(-i)});
    ASSERT_TRUE(Open(Write("keys.wav", PlainWave(TWaveBytes::Frames(frames)))));
    TChart* chart = Form.Chart1;
    chart->setFocus(Qt::TabFocusReason); // the plot the keys go to
    QApplication::processEvents();
    const double low = chart->LeftAxis().Minimum(), high = chart->LeftAxis().Maximum();
    const double width = chart->BottomAxis().Maximum() - chart->BottomAxis().Minimum();
    QTest::keyClick(&Form, Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(chart->BottomAxis().Maximum() - chart->BottomAxis().Minimum(), width / 2);
    EXPECT_EQ(chart->LeftAxis().Minimum(), low);
    EXPECT_EQ(chart->LeftAxis().Maximum(), high);
    QTest::keyClick(&Form, Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(chart->BottomAxis().Maximum() - chart->BottomAxis().Minimum(), width);
}

} // namespace

namespace {

std::vector<std::pair<std::int16_t, std::int16_t>> Ramp(int count) {
    std::vector<std::pair<std::int16_t, std::int16_t>> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back({std::int16_t(i % 300), std::int16_t(-(i % 500))});
    return frames;
}

// A new file is shown whole, however the earlier one was zoomed and panned; so is a file shown
// again in the other view.
TEST_F(FormatViewTest, ANewFileOpensWhole) {
    ASSERT_TRUE(Open(Write("first.wav", PlainWave(TWaveBytes::Frames(Ramp(1000))))));
    Form.Chart1->ZoomHorizontal(100, 200);
    Form.Chart2->PanByFraction(0.25, 0.1);
    Form.Chart2->ZoomCentred(2);
    ASSERT_TRUE(Open(Write("second.wav", PlainWave(TWaveBytes::Frames(Ramp(3000))))));
    for (TChart* chart : {Form.Chart1, Form.Chart2}) {
        chart->Draw();
        EXPECT_TRUE(chart->BottomAxis().Automatic());
        EXPECT_TRUE(chart->LeftAxis().Automatic());
        EXPECT_EQ(chart->BottomAxis().Minimum(), 1);
        EXPECT_EQ(chart->BottomAxis().Maximum(), 3000);
    }
    Form.Chart1->ZoomHorizontal(2000, 2100);
    Form.SetAsFormat(true);
    QApplication::processEvents();
    Form.Chart1->Draw();
    EXPECT_TRUE(Form.Chart1->BottomAxis().Automatic()) << "a change of view shows it whole";
    EXPECT_EQ(Form.Chart1->BottomAxis().Maximum(), 3000);
}

// = and + zoom the horizontal axis with Shift or without, on the main keyboard and the
// keypad; - zooms out; with Ctrl both axes zoom.
TEST_F(FormatViewTest, ZoomKeys) {
    ASSERT_TRUE(Open(Write("keys.wav", PlainWave(TWaveBytes::Frames(Ramp(1001))))));
    TChart* chart = Form.Chart1;
    chart->setFocus(Qt::TabFocusReason); // the plot the keys go to
    QApplication::processEvents();
    const auto width = [](const TChartAxis& axis) { return axis.Maximum() - axis.Minimum(); };
    const double across = width(chart->BottomAxis()), down = width(chart->LeftAxis());
    struct TCase {
        Qt::Key Key;
        Qt::KeyboardModifiers Held;
        double Across, Down; // the ranges after the key, as parts of the whole ones
    };
    const TCase cases[] = {
        {Qt::Key_Equal, Qt::NoModifier, 0.5, 1},
        {Qt::Key_Plus, Qt::ShiftModifier, 0.5, 1},
        {Qt::Key_Plus, Qt::NoModifier, 0.5, 1},
        {Qt::Key_Equal, Qt::ShiftModifier, 0.5, 1},
        {Qt::Key_Plus, Qt::KeypadModifier, 0.5, 1},
        {Qt::Key_Minus, Qt::NoModifier, 2, 1},
        {Qt::Key_Minus, Qt::KeypadModifier, 2, 1},
        {Qt::Key_Equal, Qt::ControlModifier, 0.5, 0.5},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, 0.5, 0.5},
        {Qt::Key_Minus, Qt::ControlModifier, 2, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(QKeySequence(QKeyCombination(c.Held, c.Key)).toString().toStdString());
        QTest::keyClick(&Form, Qt::Key_0); // the whole file again
        QTest::keyClick(&Form, c.Key, c.Held);
        EXPECT_DOUBLE_EQ(width(chart->BottomAxis()), across * c.Across);
        EXPECT_DOUBLE_EQ(width(chart->LeftAxis()), down * c.Down);
    }
}

// A cue at sample 44,100: in the file's format it is drawn, read and reached at frame 44,100;
// the default view names the numbers of its own axis.
TEST_F(FormatViewTest, OneFrameCountInTheFilesFormat) {
    TBytes cue;
    PutU32(cue, 1); // one point
    PutU32(cue, 1); // its id
    PutU32(cue, 44100);
    PutText(cue, "data");
    PutU32(cue, 0);
    PutU32(cue, 0);
    PutU32(cue, 44100); // the sample it marks
    const std::string file =
        Write("cue.wav", TWaveBytes()
                             .Chunk("fmt ", TWaveBytes::Format(1, 2, 44100, 16))
                             .Chunk("cue ", cue)
                             .Chunk("data", TWaveBytes::Frames(Ramp(44200)))
                             .Bytes());
    Form.SetAsFormat(true);
    ASSERT_TRUE(Open(file));
    ASSERT_EQ(Form.Markers1->Markers().size(), 1u);
    EXPECT_EQ(Form.Markers1->Markers()[0].Frame, 44100u);
    TChart* chart = Form.Chart1;
    const auto centre = [chart] {
        return (chart->BottomAxis().Minimum() + chart->BottomAxis().Maximum()) / 2;
    };
    const auto readout = [&](double x) {
        chart->Draw();
        Form.Readout1->PointerAt(
            QPoint(chart->BottomAxis().PixelOfValue(x), chart->ChartYCenter()));
        return Form.Readout1->text();
    };
    emit Form.MarkerChoice->activated(1);
    EXPECT_DOUBLE_EQ(centre(), 44101) << "the plot's X of frame 44,100";
    EXPECT_TRUE(readout(centre()).contains("Frame 44,100\n")) << readout(centre()).toStdString();
    EXPECT_EQ(chart->BottomAxis().LabelTextOf(44101), "44,100");
    chart->UndoZoom();
    Form.GoToBox->setText("#44100");
    emit Form.GoToBox->returnPressed();
    EXPECT_DOUBLE_EQ(centre(), 44101);

    // The default view: the axis, the readout and the go-to box name the same X.
    Form.SetAsFormat(false);
    QApplication::processEvents();
    Form.GoToBox->setText("#44100");
    emit Form.GoToBox->returnPressed();
    EXPECT_DOUBLE_EQ(centre(), 44100);
    EXPECT_EQ(chart->BottomAxis().LabelTextOf(44100), "44,100");
    EXPECT_TRUE(readout(44100).contains("Frame 44,100\n"));
}

} // namespace

namespace {

// Durations as a clock reads them: seconds always in two digits.
TEST(DurationText, SecondsInTwoDigits) {
    const std::pair<double, const char*> cases[] = {{0, "0:00.000"},
                                                    {1, "0:01.000"},
                                                    {2.0005, "0:02.001"},
                                                    {83.5, "1:23.500"},
                                                    {3723.25, "1:02:03.250"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(DurationText(seconds), QString::fromLatin1(text)) << seconds;
}

} // namespace
