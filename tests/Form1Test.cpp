#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "app/Form1.h"
#include "app/LosslessName.h"
#include "app/ProgressWindow.h"
#include "app/UserDialogs.h"
#include "chart/interaction/Chart.h"
#include "chart/panel/LineSeries.h"
#include "samples/SampleStore.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowTest.h"
#include "wave/WaveBytes.h"

namespace {

class Form1Test : public TWindowTest {
  protected:
    QStringList LogLines() const { return Form.Memo1->toPlainText().split('\n'); }
};

TEST_F(Form1Test, ControlsHaveTheirCaptionsAndPlaces) {
    EXPECT_EQ(Form.windowTitle(), "Form1");
    EXPECT_EQ(Form.size(), QSize(1372, 587));
    EXPECT_EQ(Form.font().pixelSize(), 11);
    EXPECT_EQ(Form.font().family(), "MS Sans Serif");

    struct TPlace {
        QWidget* Control;
        QRect Geometry;
    };
    const TPlace places[] = {
        {Form.Panel1, {0, 0, 233, 587}},    {Form.Button1, {14, 200, 89, 17}},
        {Form.Memo1, {8, 240, 209, 49}},    {Form.SpeedButton1, {22, 408, 89, 17}},
        {Form.BitBtn1, {160, 504, 65, 17}}, {Form.Panel2, {233, 0, 1139, 587}},
        {Form.Chart1, {1, 1, 1137, 296}},   {Form.Chart2, {1, 297, 1137, 289}},
    };
    for (const TPlace& p : places)
        EXPECT_EQ(p.Control->geometry(), p.Geometry) << p.Control->metaObject()->className();

    EXPECT_EQ(Form.Button1->text(), "ReadWF");
    EXPECT_EQ(Form.SpeedButton1->text(), " SaveASCII File");
    EXPECT_EQ(Form.BitBtn1->text(), "&Close");
    EXPECT_FALSE(Form.BitBtn1->icon().isNull());
    EXPECT_EQ(Form.SpeedButton1->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(Form.Memo1->toPlainText().isEmpty());
    EXPECT_FALSE(Form.Memo1->isReadOnly());
    EXPECT_EQ(Form.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(Form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Form.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // Tab order: the close button, the load button, the log, then the two plots.
    std::vector<QWidget*> tabStops;
    QWidget* w = Form.BitBtn1;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible())
            tabStops.push_back(w);
        w = w->nextInFocusChain();
    } while (w != Form.BitBtn1);
    EXPECT_EQ(tabStops, (std::vector<QWidget*>{Form.BitBtn1, Form.Button1, Form.Memo1, Form.Chart1,
                                               Form.Chart2}));
}

TEST_F(Form1Test, PlotsStartWithTheirStoredLook) {
    const TColor lineBlue = RGBColor(68, 102, 163);
    for (TChart* chart : {Form.Chart1, Form.Chart2}) {
        EXPECT_FALSE(chart->View3D());
        EXPECT_EQ(chart->Title.Text(), std::vector<std::string>{"TChart"});
        EXPECT_EQ(chart->Title.Font().Name, "Verdana");
        EXPECT_EQ(chart->ColorPaletteIndex(), 13);
        EXPECT_TRUE(chart->Gradient().Visible());
        EXPECT_EQ(chart->Gradient().MidColor(), 0xEAEAEAu);
        EXPECT_FALSE(chart->BackWall.Transparent());
        EXPECT_FALSE(chart->BackWall.Gradient.HasMiddle);
        EXPECT_EQ(chart->LeftWall.Color(), 14745599u);
        for (TAxisKind kind : AllAxes) {
            EXPECT_EQ(chart->Axis(kind).AxisPen().Color, 4210752u);
            EXPECT_EQ(chart->Axis(kind).Grid().Color, 11119017u);
            EXPECT_EQ(chart->Axis(kind).TicksInner().Color, 11119017u);
            EXPECT_EQ(chart->Axis(kind).LabelsFont().Name, "Verdana");
        }
    }
    EXPECT_EQ(Form.Chart1->BottomAxis().MinimumOffset(), 1);
    EXPECT_EQ(Form.Chart1->LeftAxis().MaximumOffset(), 1);
    EXPECT_EQ(Form.Chart2->BottomAxis().MinimumOffset(), 0);
    EXPECT_EQ(Form.Series1->SeriesColor(), lineBlue);
    EXPECT_EQ(Form.Series1->LinePen().Color, lineBlue);
    EXPECT_EQ(Form.Series2->SeriesColor(), lineBlue);
    EXPECT_EQ(Form.Series2->LinePen().Color, 10708548u);
    EXPECT_EQ(Form.Series1->OwnColor, clDefault) << "the colour stays automatic";
    // Painted after showing, from its off-screen picture.
    EXPECT_GE(Form.Chart1->DrawCount(), 1);
    EXPECT_FALSE(Form.Chart1->BufferDirty());
}

TEST_F(Form1Test, ResizingKeepsTheColumnAndTheUpperPlotHeight) {
    Form.resize(1600, 700);
    QApplication::processEvents();
    EXPECT_EQ(Form.Panel1->geometry(), QRect(0, 0, 233, 700));
    EXPECT_EQ(Form.Panel2->geometry(), QRect(233, 0, 1367, 700));
    EXPECT_EQ(Form.Chart1->geometry(), QRect(1, 1, 1365, 296));
    EXPECT_EQ(Form.Chart2->geometry(), QRect(1, 297, 1365, 402));
    EXPECT_EQ(Form.Button1->geometry(), QRect(14, 200, 89, 17));
}

TEST_F(Form1Test, LogAccumulatesOverLoadsAndTheDialogKeepsTheLastName) {
    const std::string first = Dir.Write("a.wav", PlainWave(TWaveBytes::Frames({{1, 2}})));
    const std::string second = Dir.Write("b.txt", {'n', 'o', 'p', 'e'});
    Dialogs.Answers = {QString::fromStdString(first), QString::fromStdString(second), std::nullopt};
    Form.Button1->click();
    Form.Button1->click();
    Form.Button1->click(); // cancelled: nothing logged

    QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), 13);
    EXPECT_EQ(lines.first(), "RIFF");
    EXPECT_EQ(lines.last(), "O\"k ");
    EXPECT_EQ(Dialogs.LastNamesShown, (std::vector<QString>{"", QString::fromStdString(first),
                                                            QString::fromStdString(second)}));
    EXPECT_EQ(WaveFileName, second) << "a cancel keeps the name chosen last";
    EXPECT_EQ(SampleCount, 0) << "the second file was not a wave file";

    Dialogs.Answers = {QString::fromStdString(first)};
    Form.Button1->click();
    EXPECT_EQ(LogLines().size(), 26);
    EXPECT_EQ(SampleCount, 1);
    EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(Form1Test, AnErrorInACommandReachesTheMessageBox) {
    // A good load whose folder is gone by the time of the export.
    std::filesystem::create_directory(Dir.File("gone"));
    Dialogs.Answers = {QString::fromStdString(
        Dir.Write("gone/take.wav", PlainWave(TWaveBytes::Frames({{1, 2}}))))};
    Form.Button1->click();
    std::filesystem::remove_all(Dir.File("gone"));
    Form.SpeedButton1->click();
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_TRUE(Dialogs.Messages[0].Error);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Invalid filename.");
    EXPECT_EQ(Dialogs.Messages[0].Title, "app_tests");
    EXPECT_TRUE(Form.isVisible()) << "the program goes on";
}

// Before any load, and after a failed one, the export writes nothing and says so: no earlier
// good export is replaced by an empty file.
TEST_F(Form1Test, NothingLoadedExportsNothing) {
    Form.SpeedButton1->click();
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Nothing is loaded: no file was written.");
    EXPECT_FALSE(Dialogs.Messages[0].Error) << "an information message";
    EXPECT_FALSE(std::filesystem::exists("_out.dat"));

    Dir.Write("take_out.dat", {'g', 'o', 'o', 'd'});
    Dialogs.Answers = {QString::fromStdString(Dir.Write("take.wav", {'n', 'o'}))};
    Form.Button1->click();
    Form.SpeedButton1->click();
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_EQ(Dialogs.Messages[1].Text, "Nothing is loaded: no file was written.");
    EXPECT_EQ(TTempDir::Read(Dir.File("take_out.dat")), "good");
}

TEST_F(Form1Test, ExportWritesTheLoadedFramesBesideTheFile) {
    Dialogs.Answers = {QString::fromStdString(
        Dir.Write("take.wav", PlainWave(TWaveBytes::Frames({{-1, 2}, {3, -4}}))))};
    Form.Button1->click();
    Form.SpeedButton1->click();
    EXPECT_EQ(TTempDir::Read(Dir.File("take_out.dat")), " -1 2\r\n 3 -4\r\n");
    EXPECT_TRUE(Form.FactsBox->toPlainText().endsWith(
        QStringLiteral("Exported 2 frames to ") + QString::fromStdString(Dir.File("take_out.dat"))))
        << "a successful export says where it went";
}

// A name that is not UTF-8 (given at start, as the command line gives it) loads and exports
// under its own bytes, and the facts panel shows it escaped.
TEST_F(Form1Test, ANameThatIsNotUtf8LoadsAndExportsUnderItsBytes) {
    const std::string file =
        Dir.Write("take\xE9\xFF.wav", PlainWave(TWaveBytes::Frames({{-1, 2}, {3, -4}})));
    ASSERT_TRUE(Form.OpenAtStart(NameFromBytes(file)));
    EXPECT_EQ(WaveFileName, file);
    Form.SpeedButton1->click();
    EXPECT_EQ(TTempDir::Read(Dir.File("take\xE9\xFF_out.dat")), " -1 2\r\n 3 -4\r\n");
    EXPECT_TRUE(Form.FactsBox->toPlainText().endsWith(
        QStringLiteral("Exported 2 frames to ") +
        QString::fromStdString(Dir.File("take\\xE9\\xFF_out.dat"))))
        << Form.FactsBox->toPlainText().toStdString();
}

// An export whose name is a link to the loaded file itself is refused in both views: the
// recording is left whole.
TEST_F(Form1Test, AnExportOverTheLoadedFileIsRefused) {
    const TBytes wave = PlainWave(TWaveBytes::Frames({{-1, 2}, {3, -4}}));
    const std::string file = Dir.Write("take.wav", wave);
    std::filesystem::create_hard_link(file, Dir.File("take_out.dat"));
    for (bool asFormat : {false, true}) {
        Form.SetAsFormat(asFormat);
        ASSERT_TRUE(Form.OpenAtStart(QString::fromStdString(file)));
        Dialogs.Messages.clear();
        Form.SpeedButton1->click();
        ASSERT_EQ(Dialogs.Messages.size(), 1u) << asFormat;
        EXPECT_TRUE(Dialogs.Messages[0].Error);
        EXPECT_TRUE(Dialogs.Messages[0].Text.startsWith(
            "The export would be written over the file it reads"));
        EXPECT_EQ(TTempDir::Read(file), std::string(wave.begin(), wave.end())) << asFormat;
    }
}

TEST_F(Form1Test, CloseButtonClosesTheWindow) {
    Form.BitBtn1->click();
    EXPECT_FALSE(Form.isVisible());
}

TEST_F(Form1Test, AFileGivenAtStartLoadsAsIfChosen) {
    const std::string file = Dir.Write("start.wav", PlainWave(TWaveBytes::Frames({{7, 8}})));
    Form.OpenAtStart(QString::fromStdString(file));
    EXPECT_EQ(LogLines().size(), 13);
    EXPECT_EQ(WaveFileName, file);
    EXPECT_EQ(Form.Series1->PointCount(), 1);
    Form.Button1->click(); // the dialog starts at the file given
    EXPECT_EQ(Dialogs.LastNamesShown.back(), QString::fromStdString(file));
}

// A FIFO chosen in the dialog (here with no writer, which once froze the window) or a device
// is refused at once with a message; the log shows a failed read as for any unreadable file.
TEST_F(Form1Test, SpecialFilesAreRefusedWithoutFreezingTheWindow) {
    const std::string fifo = Dir.File("pipe.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    Dialogs.Answers = {
        QString::fromStdString(Dir.Write("a.wav", PlainWave(TWaveBytes::Frames({{1, 2}})))),
        QString::fromStdString(fifo), QStringLiteral("/dev/zero")};
    Form.Button1->click();
    ASSERT_EQ(SampleCount, 1);
    alarm(30); // a load that blocks for ever ends the test program
    Form.Button1->click();
    Form.Button1->click();
    alarm(0);
    EXPECT_EQ(SampleCount, 0);
    EXPECT_EQ(Form.Series1->PointCount(), 0);
    const QStringList lines = LogLines();
    EXPECT_EQ(lines.mid(13), (QStringList{"O\"k ", "O\"k "}));
    ASSERT_EQ(Dialogs.Messages.size(), 2u);
    for (const auto& message : Dialogs.Messages) {
        EXPECT_TRUE(message.Error);
        EXPECT_EQ(message.Text, "Not a regular file.");
    }
}

// A recording cut short loads the frames it has, with the log and a message that say so: the
// message comes over the new plots, with no progress left behind it.
TEST_F(Form1Test, ACutRecordingShowsWhatItHolds) {
    const TBytes frames = TWaveBytes::Frames({{100, -100}, {200, -200}, {300, -300}});
    Dialogs.Answers = {
        QString::fromStdString(Dir.Write("cut.wav", TWaveBytes()
                                                        .Chunk("fmt ", TWaveBytes::Format())
                                                        .Chunk("data", frames, 0xFFFFFFFFLL)
                                                        .Bytes()))};
    int told = 0;
    Dialogs.OnMessage = [&] {
        ++told;
        EXPECT_EQ(Dialogs.OpenProgress, 0);
        EXPECT_EQ(Form.Series1->PointCount(), 3);
        for (TChart* chart : {Form.Chart1, Form.Chart2})
            EXPECT_FALSE(chart->PictureHeld());
    };
    Form.Button1->click();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(LogLines().last(), "O\"k ");
    EXPECT_EQ(SampleCount, 3);
    EXPECT_EQ(Form.Series2->PointCount(), 3);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_FALSE(Dialogs.Messages[0].Error);
    EXPECT_EQ(Dialogs.Messages[0].Text,
              "The data chunk declares 4,294,967,295 bytes but the file ends "
              "after 12; the 3 frames present were loaded.");
    Form.SpeedButton1->click();
    EXPECT_EQ(TTempDir::Read(Dir.File("cut_out.dat")), " 100 -100\r\n 200 -200\r\n 300 -300\r\n");
}

// Dropping files on the window loads the first as ReadWF would, and the open dialog then
// starts at it.
TEST_F(Form1Test, DroppingFilesLoadsTheFirst) {
    const std::string first =
        Dir.Write("dropped.wav", PlainWave(TWaveBytes::Frames({{4, 5}, {6, 7}})));
    const std::string second = Dir.Write("other.wav", PlainWave(TWaveBytes::Frames({{1, 1}})));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(first)),
                  QUrl::fromLocalFile(QString::fromStdString(second))});
    QDragEnterEvent enter(QPoint(600, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Form, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(600, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Form, &drop);
    QApplication::processEvents();
    EXPECT_EQ(LogLines().size(), 13);
    EXPECT_EQ(WaveFileName, first);
    EXPECT_EQ(SampleCount, 2);
    Form.Button1->click();
    EXPECT_EQ(Dialogs.LastNamesShown.back(), QString::fromStdString(first));

    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    QDragEnterEvent refused(QPoint(600, 200), Qt::CopyAction, &text, Qt::LeftButton,
                            Qt::NoModifier);
    QApplication::sendEvent(&Form, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(Form1Test, KeysRunTheCommands) {
    const std::string file = Dir.Write("keys.wav", PlainWave(TWaveBytes::Frames({{-3, 3}})));
    Dialogs.Answers = {QString::fromStdString(file)};
    Form.activateWindow();
    QTest::keyClick(&Form, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Dialogs.LastNamesShown.size(), 1u);
    EXPECT_EQ(SampleCount, 1);
    QTest::keyClick(&Form, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(TTempDir::Read(Dir.File("keys_out.dat")), " -3 3\r\n");
    QTest::keyClick(&Form, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(Form.isVisible());
}

// The dialog starts in the folder of an earlier run until a name is chosen, and tells each
// chosen folder on.
TEST_F(Form1Test, TheOpenDialogStartsInTheRememberedFolder) {
    QStringList told;
    Form.OpenDialog1.SetInitialFolder(QString::fromStdString(Dir.Path.string()));
    Form.OpenDialog1.OnFolderChosen = [&](const QString& folder) { told << folder; };
    const std::string sub = (Dir.Path / "sub").string();
    std::filesystem::create_directory(sub);
    const std::string file = Dir.Write("sub/take.wav", PlainWave({}));
    Dialogs.Answers = {std::nullopt, QString::fromStdString(file)};
    Form.Button1->click();
    Form.Button1->click();
    EXPECT_EQ(Dialogs.LastNamesShown,
              (std::vector<QString>{QString::fromStdString(Dir.Path.string()),
                                    QString::fromStdString(Dir.Path.string())}));
    EXPECT_EQ(told, QStringList{QString::fromStdString(sub)});
}

// The platform's open dialog offers the names WAV files go by first, all files second, and
// starts beside the last file chosen.
TEST_F(Form1Test, TheOpenDialogOffersWavFilesFirst) {
    const std::string file = Dir.Write("take.wav", PlainWave({}));
    const std::unique_ptr<QFileDialog> dialog = MakeOpenDialog(&Form, QString::fromStdString(file));
    EXPECT_EQ(dialog->nameFilters(),
              (QStringList{"WAV files (*.wav *.wave *.bwf *.rf64)", "All files (*)"}));
    EXPECT_EQ(dialog->selectedNameFilter(), "WAV files (*.wav *.wave *.bwf *.rf64)");
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(QFileInfo(dialog->directory().absolutePath()),
              QFileInfo(QString::fromStdString(Dir.Path.string())));
}

// The window opens inside the screen's available area: where it is as usual if it fits there,
// else smaller and moved into it (a 2x scale factor on 1920 x 1080, a second screen); the
// plots fill what is left beside the control column, which then scrolls.
TEST(Form1Place, TheWindowFitsTheScreen) {
    struct TCase {
        QRect Area;
        QRect Expected; // the client area's geometry, 16 x 48 pixels left for the frame
    };
    const TCase cases[] = {
        {{0, 0, 1920, 1040}, {342, 143, 1372, 587}},
        {{0, 0, 960, 516}, {0, 0, 944, 468}},
        {{1920, 0, 1280, 1000}, {1920, 143, 1264, 587}},
    };
    for (const TCase& c : cases) {
        TForm1 form;
        form.FitInside(c.Area);
        EXPECT_EQ(QRect(form.pos(), form.size()), c.Expected) << c.Area.width();
        const QRect plots = form.Panel2->geometry();
        EXPECT_EQ(plots.right(), form.width() - 1);
        EXPECT_EQ(plots.height(), form.height());
        EXPECT_EQ(form.Chart2->geometry().bottom(), plots.height() - 2);
        EXPECT_EQ(form.ColumnScroll->geometry().right() + 1, plots.left());
        EXPECT_EQ(form.Panel1->height(), std::max(587, form.height())) << "the column scrolls";
    }
}

// A long load or export shows its progress and can be cancelled: a cancelled load, while
// reading or while decoding, leaves the window as it was (the earlier file's plots, log, facts
// and export); a cancelled export leaves the earlier file as it was.
TEST_F(Form1Test, LongCommandsCanBeCancelled) {
    std::vector<std::pair<std::int16_t, std::int16_t>> frames(2'100'000, {5, -5});
    const std::string big = Dir.Write("big.wav", PlainWave(TWaveBytes::Frames(frames)));
    const std::string small = Dir.Write("small.wav", PlainWave(TWaveBytes::Frames({{1, 2}})));
    Dialogs.Answers = {QString::fromStdString(big), QString::fromStdString(small),
                       QString::fromStdString(big), QString::fromStdString(big),
                       QString::fromStdString(big)};
    // A whole load first, to learn its steps: reading is the first half.
    Form.Button1->click();
    const std::size_t readingSteps =
        std::size_t(std::count_if(Dialogs.Steps.begin(), Dialogs.Steps.end(),
                                  [](const auto& step) { return 2 * step.first <= step.second; }));
    ASSERT_GT(readingSteps, 0u);
    ASSERT_LT(readingSteps, Dialogs.Steps.size());
    Form.Button1->click();
    ASSERT_EQ(SampleCount, 1);
    const QString log = Form.Memo1->toPlainText();
    const QString facts = Form.FactsBox->toPlainText();
    struct TCase {
        const char* Name;
        std::size_t StepsMore; // the step that cancels, after those taken so far
    };
    for (const TCase& c : {TCase{"while reading", 1}, TCase{"while decoding", readingSteps + 1}}) {
        SCOPED_TRACE(c.Name);
        Dialogs.CancelAtStep = Dialogs.Steps.size() + c.StepsMore;
        Form.Button1->click();
        EXPECT_EQ(Dialogs.ProgressLabels.back(), "Loading big.wav...");
        EXPECT_EQ(SampleCount, 1);
        EXPECT_EQ(Form.Series1->PointCount(), 1);
        EXPECT_EQ(Form.Series2->YValues.ValueAt(0), 2);
        EXPECT_EQ(WaveFileName, small);
        EXPECT_EQ(Form.Memo1->toPlainText(), log);
        EXPECT_EQ(Form.FactsBox->toPlainText(), facts);
        EXPECT_EQ(Form.LoadedAudio().Facts.Frames, 1u);
        EXPECT_TRUE(Dialogs.Messages.empty());
        EXPECT_EQ(Dialogs.OpenProgress, 0);
    }
    Form.SpeedButton1->click();
    EXPECT_EQ(TTempDir::Read(Dir.File("small_out.dat")), " 1 2\r\n");
    std::filesystem::remove(Dir.File("small_out.dat"));

    Dialogs.CancelAtStep = 0;
    Form.Button1->click();
    ASSERT_EQ(SampleCount, 2'100'000);
    EXPECT_EQ(WaveFileName, big);
    const auto& last = Dialogs.Steps.back();
    EXPECT_EQ(last.first, last.second) << "the last step reaches the end";

    Dir.Write("big_out.dat", {'o', 'l', 'd'});
    Dialogs.CancelAtStep = Dialogs.Steps.size() + 1;
    Form.SpeedButton1->click();
    EXPECT_EQ(TTempDir::Read(Dir.File("big_out.dat")), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path), {}), 3)
        << "no temporary file left behind";
    EXPECT_TRUE(Dialogs.Messages.empty());
    EXPECT_TRUE(Dialogs.ProgressNotes.empty()) << "both files fit: Cancel keeps the earlier";
}

// The real progress: a dialog with Cancel and a busy cursor once the delay has passed.
TEST(ProgressWindow, ShowsADialogAfterItsDelayAndCancels) {
    QWidget parent;
    {
        TProgressWindow progress(&parent, QStringLiteral("Loading x..."), 60'000);
        EXPECT_TRUE(progress.Step(1, 2));
        EXPECT_EQ(progress.Dialog(), nullptr) << "nothing shows before the delay";
    }
    TProgressWindow progress(&parent, QStringLiteral("Loading x..."), 0);
    EXPECT_TRUE(progress.Step(1, 4));
    ASSERT_NE(progress.Dialog(), nullptr);
    EXPECT_TRUE(progress.Dialog()->isVisible());
    EXPECT_EQ(progress.Dialog()->value(), 250);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    progress.Dialog()->cancel();
    EXPECT_FALSE(progress.Step(2, 4));
}

// A plot that cannot be drawn says so in the message box, once, and the program goes on.
TEST_F(Form1Test, APlotThatCannotBeDrawnSaysSoOnce) {
    Form.Series1->AddPointXY(1, 1);
    Form.Series1->AddPointXY(2, 2);
    Form.Series1->BeforeDrawValues = [](TChartSeries*) {
        throw std::runtime_error("no room to draw");
    };
    for (int i = 0; i < 3; ++i) {
        Form.Chart1->Invalidate();
        QApplication::processEvents();
        QApplication::processEvents();
    }
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_TRUE(Dialogs.Messages[0].Error);
    EXPECT_EQ(Dialogs.Messages[0].Text, "no room to draw.");
    EXPECT_TRUE(Form.isVisible());
}

} // namespace

#include <QClipboard>
#include <QMenu>

#include "app/PlotReadout.h"
#include "tests/support/PixelAsserts.h"

namespace {

void SendMouse(QWidget& widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               QPoint at) {
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// The pointer comes over the widget (or moves on it) to `at`.
void PointerTo(QWidget& widget, QPoint at) {
    const QPointF local(at);
    QEnterEvent enter(local, local, widget.mapToGlobal(local));
    QApplication::sendEvent(&widget, &enter);
    SendMouse(widget, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, at);
}

void PointerGoneFrom(QWidget& widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&widget, &leave);
}

void ClickOn(QWidget& widget, Qt::MouseButton button, QPoint at) {
    SendMouse(widget, QEvent::MouseButtonPress, button, button, at);
    SendMouse(widget, QEvent::MouseButtonRelease, button, Qt::NoButton, at);
}

// Loaded with 1,000 frames, left = frame number, right = minus it; both plots painted.
class PlotInteractionTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        std::vector<std::pair<std::int16_t, std::int16_t>> frames;
        for (int i = 1; i <= 1000; ++i)
            frames.emplace_back(std::int16_t(i), std::int16_t(-i));
        Wave = Dir.Write("take.wav", PlainWave(TWaveBytes::Frames(frames)));
        ASSERT_TRUE(Form.OpenAtStart(QString::fromStdString(Wave)));
        Settle();
        for (TChart* chart : {Form.Chart1, Form.Chart2}) {
            chart->OnZoom = [this, chart] { ++Counts[chart].Zooms; };
            chart->OnScroll = [this, chart] { ++Counts[chart].Scrolls; };
            chart->OnUndoZoom = [this, chart] { ++Counts[chart].Undos; };
        }
        Form.activateWindow();
    }
    static void Settle() {
        QApplication::processEvents();
        QApplication::processEvents();
    }
    // A point inside the plot's data area at the pixel of `frame`.
    static QPoint AtFrame(TChart* chart, int frame) {
        return {chart->BottomAxis().PixelOfValue(frame), chart->ChartYCenter()};
    }
    struct TCounts {
        int Zooms = 0, Scrolls = 0, Undos = 0;
        bool operator==(const TCounts&) const = default;
    };
    std::map<TChart*, TCounts> Counts;
    std::string Wave;
};

TEST_F(PlotInteractionTest, KeysGoToThePlotUnderThePointerElseTheOneClickedLast) {
    TChart* upper = Form.Chart1;
    TChart* lower = Form.Chart2;
    QTest::keyClick(&Form, Qt::Key_Plus);
    EXPECT_EQ(Form.KeyPlot(), nullptr);
    EXPECT_EQ(Counts[upper], TCounts{});
    EXPECT_EQ(Counts[lower], TCounts{}) << "before a plot is pointed at or clicked, none";

    PointerTo(*lower, AtFrame(lower, 500));
    QTest::keyClick(&Form, Qt::Key_Plus);
    QTest::keyClick(&Form, Qt::Key_Right, Qt::KeypadModifier);
    EXPECT_EQ(Counts[lower], (TCounts{1, 1, 0}));
    EXPECT_EQ(Counts[upper], TCounts{});
    EXPECT_FALSE(lower->BottomAxis().Automatic());

    ClickOn(*upper, Qt::LeftButton, AtFrame(upper, 500)); // too small a drag to zoom
    PointerGoneFrom(*upper);
    PointerGoneFrom(*lower);
    QTest::keyClick(&Form, Qt::Key_Minus, Qt::KeypadModifier);
    QTest::keyClick(&Form, Qt::Key_Up);
    EXPECT_EQ(Counts[upper], (TCounts{1, 1, 0})) << "the plot clicked last";
    EXPECT_EQ(Counts[lower], (TCounts{1, 1, 0}));

    PointerTo(*lower, AtFrame(lower, 500)); // the pointer wins over the click
    QTest::keyClick(&Form, Qt::Key_0);
    EXPECT_EQ(Counts[lower].Undos, 1);
    EXPECT_TRUE(lower->BottomAxis().Automatic());
    PointerGoneFrom(*lower);
    QTest::keyClick(&Form, Qt::Key_Home);
    EXPECT_EQ(Counts[upper].Undos, 1);
    EXPECT_TRUE(upper->LeftAxis().Automatic());

    lower->setFocus(Qt::TabFocusReason); // reached with Tab: as good as a click
    QTest::keyClick(&Form, Qt::Key_Down);
    EXPECT_EQ(Counts[lower].Scrolls, 2);
    EXPECT_EQ(Counts[upper].Scrolls, 1);
}

TEST_F(PlotInteractionTest, EscCancelsADragWhereverThePointerIs) {
    TChart* lower = Form.Chart2;
    const QImage before = lower->Canvas().Bitmap().copy();
    SendMouse(*lower, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton,
              AtFrame(lower, 100));
    SendMouse(*lower, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton,
              AtFrame(lower, 600) + QPoint(0, 40));
    ASSERT_TRUE(lower->Zoom.Dragging);
    PointerGoneFrom(*lower);
    QTest::keyClick(&Form, Qt::Key_Escape);
    EXPECT_FALSE(lower->Zoom.Dragging);
    EXPECT_TRUE(SameImages(lower->Canvas().Bitmap(), before)) << "the band is erased";
    SendMouse(*lower, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton,
              AtFrame(lower, 600));
    EXPECT_EQ(Counts[lower], TCounts{});
    EXPECT_TRUE(lower->BottomAxis().Automatic());
}

// The log is text the user may edit: with the focus there, the keys type.
TEST_F(PlotInteractionTest, TheLogKeepsTheKeysItTypesWith) {
    PointerTo(*Form.Chart1, AtFrame(Form.Chart1, 500));
    Form.Memo1->setFocus();
    Form.Memo1->moveCursor(QTextCursor::End);
    QTest::keyClick(Form.Memo1, Qt::Key_Plus);
    QTest::keyClick(Form.Memo1, Qt::Key_0);
    QTest::keyClick(Form.Memo1, Qt::Key_Left);
    EXPECT_TRUE(Form.Memo1->toPlainText().endsWith("+0"));
    EXPECT_EQ(Counts[Form.Chart1], TCounts{});
    QTest::keyClick(Form.Memo1, Qt::Key_Escape); // types nothing: still the plots' key
    EXPECT_FALSE(Form.Chart1->Zoom.Dragging);
}

TEST(PlotReadoutText, FrameTimeAndValue) {
    struct TCase {
        int Frame;
        std::int32_t Value;
        std::uint32_t Rate;
        const char* Text;
    };
    const TCase cases[] = {
        {1, 0, 44100, "Frame 1\nTime 0.00000 s\nValue 0"},
        {3, -7, 44100, "Frame 3\nTime 0.00005 s\nValue -7"},
        {44101, 32767, 44100, "Frame 44,101\nTime 1.00000 s\nValue 32767"},
        {100'000'000, -32768, 44100, "Frame 100,000,000\nTime 2,267.57367 s\nValue -32768"},
        {8001, 5, 8000, "Frame 8,001\nTime 1.0000 s\nValue 5"},
        {2, 5, 8000, "Frame 2\nTime 0.0001 s\nValue 5"},
        {3, 1, 1, "Frame 3\nTime 2.0 s\nValue 1"},
        {12, 1, 0, "Frame 12\nValue 1"}, // no rate, no time
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ReadoutText(c.Frame, c.Value, c.Rate), QString::fromUtf8(c.Text)) << c.Text;
}

TEST_F(PlotInteractionTest, TheReadoutFollowsThePointerOverTheDataAreaAndLeavesThePictureAlone) {
    EXPECT_EQ(Form.LoadedSampleRate(), 44100u);
    struct TCase {
        TChart* Chart;
        TPlotReadout* Readout;
        int Frame;
        const char* Text;
    };
    const TCase cases[] = {
        {Form.Chart1, Form.Readout1, 1, "Frame 1\nTime 0.00000 s\nValue 1"},
        {Form.Chart1, Form.Readout1, 442, "Frame 442\nTime 0.01000 s\nValue 442"},
        {Form.Chart1, Form.Readout1, 1000, "Frame 1,000\nTime 0.02265 s\nValue 1000"},
        {Form.Chart2, Form.Readout2, 442, "Frame 442\nTime 0.01000 s\nValue -442"},
    };
    for (const TCase& c : cases) {
        const QImage before = c.Chart->Canvas().Bitmap().copy();
        const int draws = c.Chart->DrawCount();
        const QPoint at = AtFrame(c.Chart, c.Frame);
        ASSERT_EQ(FrameAtPixel(c.Chart->BottomAxis(), at.x(), SampleCount), c.Frame);
        PointerTo(*c.Chart, at);
        Settle();
        EXPECT_TRUE(c.Readout->isVisible()) << c.Text;
        EXPECT_EQ(c.Readout->text(), QString::fromUtf8(c.Text));
        EXPECT_EQ(c.Readout->parentWidget(), c.Chart);
        EXPECT_TRUE(c.Chart->rect().contains(c.Readout->geometry())) << c.Text;
        EXPECT_FALSE(c.Readout->geometry().contains(at)) << "beside the pointer, not under it";
        EXPECT_TRUE(SameImages(c.Chart->Canvas().Bitmap(), before)) << c.Text;
        EXPECT_EQ(c.Chart->DrawCount(), draws) << c.Text;
        EXPECT_FALSE(c.Chart->BufferDirty());
        PointerGoneFrom(*c.Chart);
        EXPECT_FALSE(c.Readout->isVisible()) << c.Text;
    }
    // Outside the data area (the axis labels, the title) there is nothing to read.
    const TRect area = Form.Chart1->ChartRect();
    for (QPoint outside :
         {QPoint(area.Left - 1, area.Top + 10), QPoint(area.Left + 10, area.Bottom),
          QPoint(area.Right, area.Top + 10), QPoint(area.Left + 10, area.Top - 1)}) {
        PointerTo(*Form.Chart1, outside);
        EXPECT_FALSE(Form.Readout1->isVisible()) << outside.x() << ", " << outside.y();
    }
    PointerTo(*Form.Chart1, QPoint(area.Left, area.Top));
    EXPECT_TRUE(Form.Readout1->isVisible()) << "the data area's first pixel";
}

TEST_F(PlotInteractionTest, TheReadoutKeepsToThePlotAndFollowsAZoom) {
    TChart* chart = Form.Chart1;
    const TRect area = chart->ChartRect();
    const QPoint corner(area.Right - 2, area.Bottom - 2);
    PointerTo(*chart, corner);
    const QRect label = Form.Readout1->geometry();
    EXPECT_LE(label.right(), corner.x()) << "left of the pointer near the right edge";
    EXPECT_LE(label.bottom(), corner.y()) << "above it near the bottom";

    const QPoint centre = AtFrame(chart, 500);
    PointerTo(*chart, centre);
    const QString unzoomed = Form.Readout1->text();
    QTest::keyClick(&Form, Qt::Key_Plus);
    QTest::keyClick(&Form, Qt::Key_Right);
    Settle(); // painted, then the readout follows
    const int frame = FrameAtPixel(chart->BottomAxis(), centre.x(), SampleCount);
    EXPECT_NE(Form.Readout1->text(), unzoomed);
    EXPECT_TRUE(Form.Readout1->text().startsWith(QStringLiteral("Frame %1\n").arg(frame)));
}

TEST_F(Form1Test, TheReadoutShowsNoTimeWithoutARateAndNothingWithoutFrames) {
    TChart* chart = Form.Chart1;
    PointerTo(*chart, QPoint(chart->ChartXCenter(), chart->ChartYCenter()));
    EXPECT_FALSE(Form.Readout1->isVisible()) << "nothing loaded";
    const std::string noRate =
        Dir.Write("norate.wav", TWaveBytes()
                                    .Chunk("fmt ", TWaveBytes::Format(1, 2, 0))
                                    .Chunk("data", TWaveBytes::Frames({{9, -9}, {10, -10}}))
                                    .Bytes());
    ASSERT_TRUE(Form.OpenAtStart(QString::fromStdString(noRate)));
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(Form.LoadedSampleRate(), 0u);
    PointerTo(*chart, QPoint(chart->BottomAxis().PixelOfValue(2), chart->ChartYCenter()));
    EXPECT_EQ(Form.Readout1->text(), "Frame 2\nValue 10");
    Form.OpenAtStart(QString::fromStdString(Dir.Write("bad.wav", {'n', 'o'})));
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_FALSE(Form.Readout1->isVisible()) << "a failed load leaves nothing to read";
}

QStringList Texts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text().remove('&');
    return texts;
}

QAction* Entry(const QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions())
        if (action->text().remove('&') == text)
            return action;
    return nullptr;
}

QImage SavedPicture(const std::string& file) {
    return QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32);
}

TEST_F(PlotInteractionTest, ARightClickOpensThePlotMenuAndAPanDoesNot) {
    TChart* lower = Form.Chart2;
    SendMouse(*lower, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton,
              AtFrame(lower, 400));
    SendMouse(*lower, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, AtFrame(lower, 450));
    SendMouse(*lower, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton,
              AtFrame(lower, 450));
    EXPECT_EQ(Form.PlotMenu(), nullptr) << "a pan";
    EXPECT_EQ(Counts[lower].Scrolls, 1);

    PointerTo(*lower, AtFrame(lower, 300));
    ASSERT_TRUE(Form.Readout2->isVisible());
    ClickOn(*lower, Qt::RightButton, AtFrame(lower, 300));
    QMenu* menu = Form.PlotMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(Form.Readout2->isVisible()) << "the menu takes the readout's place";
    EXPECT_EQ(Texts(menu), (QStringList{"Save Picture As...", "Copy Picture", "", "Undo Zoom"}));
    ASSERT_NE(Entry(menu, "Save Picture As...")->menu(), nullptr);
    EXPECT_EQ(Texts(Entry(menu, "Save Picture As...")->menu()),
              (QStringList{"This Plot...", "Both Plots..."}));

    Entry(menu, "Undo Zoom")->trigger();
    EXPECT_EQ(Counts[lower].Undos, 1) << "the plot clicked on";
    EXPECT_EQ(Counts[Form.Chart1].Undos, 0);
    EXPECT_TRUE(lower->BottomAxis().Automatic());
    menu->close();
    QApplication::processEvents();
    EXPECT_EQ(Form.PlotMenu(), nullptr);
}

TEST_F(PlotInteractionTest, SavePictureAsWritesThePlotsOwnPicture) {
    QTest::keyClick(&Form, Qt::Key_Plus); // nothing chosen: nothing zoomed
    PointerTo(*Form.Chart1, AtFrame(Form.Chart1, 300));
    QTest::keyClick(&Form, Qt::Key_Plus); // a zoomed upper plot, repainted
    PointerGoneFrom(*Form.Chart1);
    Settle();
    const QImage upper = Form.Chart1->Canvas().Bitmap().copy();
    const QImage lower = Form.Chart2->Canvas().Bitmap().copy();
    ASSERT_EQ(upper.size(), Form.Chart1->size());

    const std::string one = Dir.File("one.png"), both = Dir.File("both.png");
    Dialogs.SaveAnswers = {QString::fromStdString(one), QString::fromStdString(both), std::nullopt};
    ClickOn(*Form.Chart1, Qt::RightButton, AtFrame(Form.Chart1, 300));
    ASSERT_NE(Form.PlotMenu(), nullptr);
    QMenu* save = Entry(Form.PlotMenu(), "Save Picture As...")->menu();
    Entry(save, "This Plot...")->trigger();
    Entry(save, "Both Plots...")->trigger();
    Entry(save, "This Plot...")->trigger(); // cancelled
    Form.PlotMenu()->close();
    const QString stem = QString::fromStdString((Dir.Path / "take").string());
    EXPECT_EQ(Dialogs.SuggestedNamesShown,
              (std::vector<QString>{stem + "_left.png", stem + "_plots.png", stem + "_left.png"}));
    EXPECT_TRUE(SameImages(SavedPicture(one), upper));
    const QImage stacked = SavedPicture(both);
    ASSERT_EQ(stacked.size(), QSize(upper.width(), upper.height() + lower.height()));
    EXPECT_TRUE(SameImages(stacked.copy(0, 0, upper.width(), upper.height()), upper));
    EXPECT_TRUE(SameImages(stacked.copy(0, upper.height(), lower.width(), lower.height()), lower));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path), {}), 3);
    EXPECT_TRUE(Dialogs.Messages.empty());

    // The lower plot's own entry names the right channel; a file that cannot be written says so.
    Dialogs.SaveAnswers = {QString::fromStdString(Dir.File("missing/folder/x.png"))};
    Form.ShowPlotMenu(Form.Chart2, AtFrame(Form.Chart2, 10));
    Entry(Entry(Form.PlotMenu(), "Save Picture As...")->menu(), "This Plot...")->trigger();
    EXPECT_EQ(Dialogs.SuggestedNamesShown.back(), stem + "_right.png");
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_TRUE(Dialogs.Messages[0].Error);
    EXPECT_EQ(Dialogs.Messages[0].Text,
              QStringLiteral("The picture could not be saved to %1: No such file or directory.")
                  .arg(QString::fromStdString(Dir.File("missing/folder/x.png"))));
    Form.PlotMenu()->close();
}

TEST_F(PlotInteractionTest, CopyPictureCopiesAFreshPicture) {
    // Zoomed but not painted yet: the copy is drawn first, as the screen would show it.
    Form.Chart2->ZoomCentred(4);
    ASSERT_TRUE(Form.Chart2->BufferDirty());
    ClickOn(*Form.Chart2, Qt::RightButton, AtFrame(Form.Chart2, 500));
    ASSERT_NE(Form.PlotMenu(), nullptr);
    Entry(Form.PlotMenu(), "Copy Picture")->trigger();
    Form.PlotMenu()->close();
    EXPECT_FALSE(Form.Chart2->BufferDirty());
    const QImage copied = QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(SameImages(copied, Form.Chart2->Canvas().Bitmap()));
    Settle();
    EXPECT_TRUE(SameImages(copied, Form.Chart2->Canvas().Bitmap())) << "the next paint agrees";
}

} // namespace
