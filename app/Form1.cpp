#include "app/Form1.h"

#include <sys/stat.h>

#include <algorithm>
#include <stdexcept>

#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>

#include "app/BackgroundReport.h"
#include "app/ColumnHandle.h"
#include "app/ColumnLayout.h"
#include "app/ErrorHandler.h"
#include "app/FileWatch.h"
#include "app/HeldPictures.h"
#include "app/LosslessName.h"
#include "app/NumberText.h"
#include "app/PictureFile.h"
#include "app/PlotReadout.h"
#include "app/PlotSettings.h"
#include "app/StructurePanel.h"
#include "chart/interaction/Chart.h"
#include "chart/panel/LineSeries.h"
#include "samples/ErrorMessage.h"
#include "samples/FormatExport.h"
#include "samples/LoadCommand.h"
#include "samples/NameText.h"
#include "samples/RewriteCancelled.h"
#include "samples/SampleStore.h"
#include "samples/SaveAsciiFile.h"
#include "wave/AudioSamples.h"
#include "wave/Cancelled.h"

namespace {

constexpr int PanelBevel = 1;

QFrame* NewRaisedPanel(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(PanelBevel);
    return panel;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent), OpenDialog1(this, Dialogs) {
    setWindowTitle(QStringLiteral("Form1"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11); // 8 points at 96 pixels per inch
    setFont(font);
    setBackgroundRole(QPalette::Button); // the button-face colour
    setAutoFillBackground(true);
    CreateControls();
    CreateShortcuts();
    CreatePlotKeys();
    setAcceptDrops(true);
    move(342, 143);
    resize(FixedClientSize);
}

TForm1::~TForm1() = default;

void TForm1::FitInside(const QRect& area) {
    // Room for the title bar and borders the window manager adds, which are not known until
    // the window is on the screen.
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(16, 48);
    const QSize room = (area.size() - frame).expandedTo(QSize(0, 0));
    resize(size().boundedTo(room));
    LayoutControls(); // now, as a window not yet shown has its resize told only when shown
    const QSize outer = size() + frame;
    move(std::clamp(x(), area.left(),
                    std::max(area.left(), area.left() + area.width() - outer.width())),
         std::clamp(y(), area.top(),
                    std::max(area.top(), area.top() + area.height() - outer.height())));
}

void TForm1::CreateControls() {
    // The control column scrolls in a window shorter than its controls (a small screen, a large
    // scale factor); at the usual size it shows no more than the panel.
    ColumnScroll = new QScrollArea(this);
    ColumnScroll->setFrameShape(QFrame::NoFrame);
    ColumnScroll->setFocusPolicy(Qt::NoFocus);
    ColumnScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ColumnScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ColumnScroll->setBackgroundRole(QPalette::Button);
    Panel1 = NewRaisedPanel(ColumnScroll);

    SpeedButton1 = new QToolButton(Panel1);
    SpeedButton1->setText(QStringLiteral(" SaveASCII File"));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setGeometry(22, 408, 89, 17);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("&Close"), Panel1);
    BitBtn1->setGeometry(160, 504, 65, 17);

    Button1 = new QPushButton(QStringLiteral("ReadWF"), Panel1);
    Button1->setGeometry(14, 200, 89, 17);

    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setGeometry(8, 240, 209, 49);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    ColumnScroll->setWidget(Panel1);

    Panel2 = NewRaisedPanel(this);
    Chart1 = new TChart(Panel2);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Series1 = Chart1->AddSeries(std::make_unique<TFastLineSeries>());
    ApplyPlotSettings(*Chart1, *Series1, ppUpper);
    Chart2 = new TChart(Panel2);
    Chart2->setObjectName(QStringLiteral("Chart2"));
    Series2 = Chart2->AddSeries(std::make_unique<TLineSeries>());
    ApplyPlotSettings(*Chart2, *Series2, ppLower);
    Plots = std::make_unique<TSeriesPlots>(*Series1, *Series2);
    const auto sampleRate = [this] { return SampleRate; };
    Readout1 = new TPlotReadout(*Chart1, {}, sampleRate);
    Readout2 = new TPlotReadout(*Chart2, {}, sampleRate);
    CreateViewControls();
    CreateSpectrogramControls();
    CreateLinkControls();
    CreateReportControls();
    StructurePanel = new TStructurePanel(this);
    StructureButton = AddStructureButton(Panel1, this, StructurePanel);
    FileWatch = new TFileWatch(this);
    FileWatch->OnChanged = [this] { ShowFacts(); };
    CreateLayoutControls();
    SetReadoutSources();
    for (TChart* chart : {Chart1, Chart2}) {
        chart->installEventFilter(this); // which plot the keys go to
        chart->OnContextClick = [this, chart](int x, int y) { ShowPlotMenu(chart, QPoint(x, y)); };
    }
    // A plot that cannot be drawn says why once, as a failed command does.
    for (TChart* chart : {Chart1, Chart2}) {
        chart->OnPaintError = [this](std::exception_ptr error) {
            RunGuarded(*Dialogs, this, [error] { std::rethrow_exception(error); });
        };
    }

    // Tab order: Panel1 (BitBtn1, Button1, Memo1), then Panel2 (Chart1, Chart2).
    for (QWidget* control : {static_cast<QWidget*>(Chart1), static_cast<QWidget*>(Chart2)})
        control->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(BitBtn1, Button1);
    setTabOrder(Button1, Memo1);
    setTabOrder(Memo1, Chart1);
    setTabOrder(Chart1, Chart2);

    connect(Button1, &QPushButton::clicked, this,
            [this] { RunGuarded(*Dialogs, this, [this] { Button1Click(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { RunGuarded(*Dialogs, this, [this] { SpeedButton1Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
}

// The commands from the keyboard: each does what its button does.
void TForm1::CreateShortcuts() {
    const auto shortcut = [this](const char* keys, auto action) {
        connect(new QShortcut(QKeySequence(QString::fromLatin1(keys)), this), &QShortcut::activated,
                this, action);
    };
    shortcut("Ctrl+O", [this] { Button1->click(); });
    shortcut("Ctrl+S", [this] { SpeedButton1->click(); });
    shortcut("Ctrl+Q", [this] { BitBtn1->click(); });
}

namespace {

// The first local file among what is dragged, or an empty name.
QString FirstLocalFile(const QMimeData* data) {
    if (data == nullptr)
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

} // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (!FirstLocalFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QString fileName = FirstLocalFile(event->mimeData());
    if (fileName.isEmpty())
        return;
    event->acceptProposedAction();
    // Loaded after the drop has ended, so the dragging application is not kept waiting.
    QTimer::singleShot(0, this, [this, fileName] { OpenDropped(fileName); });
}

void TForm1::OpenDropped(const QString& fileName) {
    OpenAtStart(fileName);
}

// The plots' keys are the window's: they reach the plot under the pointer even when another
// control has the focus. A control that edits text (the log) keeps the keys it types with.
void TForm1::CreatePlotKeys() {
    const auto add = [this](QKeyCombination keys, Qt::Key key, bool bothAxes) {
        // The keypad's keys match too.
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        const auto act = [this, key, bothAxes] { PlotKey(key, bothAxes); };
        connect(shortcut, &QShortcut::activated, this, act);
        // A layout may send one key press as two of these (+ as Shift+= and as +): each
        // does the same, so the one Qt picks does it.
        connect(shortcut, &QShortcut::activatedAmbiguously, this, act);
    };
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_0,
                        Qt::Key_Home, Qt::Key_Escape})
        add(QKeyCombination(key), key, false);
    // = and + are one key on many keyboards, + with Shift: both zoom the horizontal axis
    // whether Shift is held or not. Ctrl zooms both axes.
    for (auto [key, zoom] :
         {std::pair{Qt::Key_Plus, Qt::Key_Plus}, std::pair{Qt::Key_Equal, Qt::Key_Plus},
          std::pair{Qt::Key_Minus, Qt::Key_Minus}})
        for (Qt::KeyboardModifiers held :
             {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
            add(QKeyCombination(held, key), zoom, false);
            add(QKeyCombination(held | Qt::ControlModifier, key), zoom, true);
        }
}

void TForm1::PlotKey(Qt::Key key, bool bothAxes) {
    if (key == Qt::Key_Escape) {
        // The drag in progress, wherever the pointer has gone since it started.
        for (TChart* chart : {Chart1, Chart2})
            chart->CancelDrag();
        return;
    }
    TChart* chart = KeyPlot();
    if (chart == nullptr)
        return;
    const bool zoomKey = key == Qt::Key_Plus || key == Qt::Key_Minus;
    if (zoomKey && !bothAxes && !chart->Zoom.Dragging && !chart->PanState.Dragging) {
        RunGuarded(*Dialogs, this, [chart, key] {
            const TChartAxis& bottom = chart->BottomAxis();
            const double centre = (bottom.Minimum() + bottom.Maximum()) / 2;
            const double half =
                (bottom.Maximum() - bottom.Minimum()) / 2 / (key == Qt::Key_Plus ? 2 : 0.5);
            chart->ZoomHorizontal(centre - half, centre + half);
        });
        return;
    }
    RunGuarded(*Dialogs, this, [chart, key] { chart->KeyPressed(key); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    for (TChart* chart : {Chart1, Chart2}) {
        if (watched != chart)
            continue;
        if (event->type() == QEvent::Wheel && PlotWheel(chart, static_cast<QWheelEvent*>(event)))
            return true;
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            PointerPlot = chart;
            break;
        case QEvent::Leave:
            if (PointerPlot == chart)
                PointerPlot = nullptr;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::FocusIn: // reached with Tab, as good as a click
            ClickedPlot = chart;
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Save Picture As offers this plot or both, in a submenu: the entry stays one, as the other
// commands are, and the choice is made where the pointer already is.
void TForm1::ShowPlotMenu(TChart* chart, QPoint at) {
    if (OpenMenu)
        OpenMenu->close();
    Readout1->PointerGone();
    Readout2->PointerGone();
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PlotMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto guarded = [this](std::function<void()> command) {
        return [this, command] { RunGuarded(*Dialogs, this, command); };
    };
    QMenu* save = menu->addMenu(QStringLiteral("&Save Picture As..."));
    save->addAction(QStringLiteral("&This Plot..."), this,
                    guarded([this, chart] { SavePlotPictures({chart}); }));
    save->addAction(QStringLiteral("&Both Plots..."), this, guarded([this] {
                        SavePlotPictures({Chart1, Chart2});
                    }));
    menu->addAction(QStringLiteral("&Copy Picture"), this,
                    guarded([this, chart] { CopyPlotPicture(chart); }));
    AddSpectrogramMenu(menu, chart);
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Undo Zoom"), this, guarded([chart] { chart->UndoZoom(); }));
    OpenMenu = menu;
    menu->popup(chart->mapToGlobal(at));
}

QMenu* TForm1::PlotMenu() const {
    return OpenMenu;
}

QImage TForm1::PlotPicture(TChart* chart) {
    const bool stale = chart->BufferDirty() || chart->Canvas().Width() != chart->width() ||
                       chart->Canvas().Height() != chart->height();
    if (stale)
        chart->Draw();
    return chart->Canvas().Bitmap().copy();
}

QImage TForm1::PlotPictures(const std::vector<TChart*>& charts) {
    if (charts.size() == 1)
        return PlotPicture(charts.front());
    std::vector<QImage> pictures;
    int width = 0, height = 0;
    for (TChart* chart : charts) {
        pictures.push_back(PlotPicture(chart));
        width = std::max(width, pictures.back().width());
        height += pictures.back().height();
    }
    QImage stacked(width, height, QImage::Format_RGB32);
    stacked.fill(Qt::white);
    QPainter painter(&stacked);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    int y = 0;
    for (const QImage& picture : pictures) {
        painter.drawImage(0, y, picture);
        y += picture.height();
    }
    return stacked;
}

// Beside the loaded file, named after it and the channel: take_left.png, take_right.png,
// take_plots.png for both.
QString TForm1::SuggestedPictureName(const std::vector<TChart*>& charts) const {
    const QString suffix = charts.size() > 1          ? QStringLiteral("plots")
                           : charts.front() == Chart1 ? QStringLiteral("left")
                                                      : QStringLiteral("right");
    if (WaveFileName.empty())
        return suffix + QStringLiteral(".png");
    const QFileInfo wave(QFile::decodeName(WaveFileName.c_str()));
    return QDir(wave.absolutePath()).filePath(wave.completeBaseName() + '_' + suffix + ".png");
}

void TForm1::SavePlotPictures(const std::vector<TChart*>& charts) {
    const std::optional<QString> chosen =
        Dialogs->ChooseFileToSave(this, SuggestedPictureName(charts));
    if (!chosen)
        return;
    WritePngFile(PlotPictures(charts), *chosen);
}

void TForm1::CopyPlotPicture(TChart* chart) {
    QGuiApplication::clipboard()->setImage(PlotPicture(chart));
}

// Panel1 is docked left at its width; Panel2 takes the rest. Inside Panel2, Chart1 is docked
// to the top at its height and Chart2 fills what is left. A shared window places them by its
// own rule (WindowRects) and the column's controls with them.
void TForm1::LayoutControls() {
    const TWindowRects rects =
        WindowRects(size(), Layout, SharedColumn,
                    ColumnScroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    ColumnScroll->setGeometry(rects.Column);
    Panel1->resize(rects.ColumnPanel); // placed by the scroll area
    ColumnHandle->setGeometry(rects.ColumnHandle);
    ColumnHandle->setVisible(Layout == wlShare);
    Panel2->setGeometry(rects.Plots);
    Chart1->setGeometry(rects.UpperPlot);
    Chart2->setGeometry(rects.LowerPlot);
    if (Layout == wlShare)
        ColumnPlaces->Place();
    if (NoSecondChannel->isVisible())
        NoSecondChannel->setGeometry(0, 0, Chart2->width(), Chart2->height());
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutControls();
}

void TForm1::AppendLogLine(const std::string& line) {
    Memo1->appendPlainText(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
}

TWaveLog TForm1::Log() {
    return [this](const std::string& line) { AppendLogLine(line); };
}

void TForm1::Button1Click() {
    LoadChosenFile(OpenDialog1.Execute());
}

bool TForm1::OpenAtStart(const QString& fileName) {
    OpenDialog1.SetFileName(fileName);
    bool readOk = false;
    RunGuarded(*Dialogs, this, [&] {
        const std::uint16_t status = LoadChosenFile(true);
        // The file's format view shows what the reader of the log may refuse (RF64, RIFX).
        readOk = !LoadCancelled && (ViewAsFormat ? Samples != nullptr : status == wsOk);
    });
    return readOk;
}

std::uint16_t TForm1::LoadChosenFile(bool fileChosen) {
    if (!fileChosen) {
        TLoadResult result = RunLoadCommand(false, BytesOfName(OpenDialog1.FileName()), Log(),
                                            Plots.get(), TLoadOptions::Salvaging());
        return result.Status;
    }
    // A cancelled load puts back what it changed in the window: the earlier file stays.
    TEarlierFile earlier{Audio, Samples, FormatProblem, SampleRate,
                         Memo1->document()->isEmpty() ? 0 : Memo1->document()->blockCount()};
    const std::uint16_t earlierStatus = ReadStatus;
    const std::string earlierReason = ReadReason;
    std::vector<TLoadMessage> messages;
    std::uint16_t status = wsFailed;
    LoadCancelled = false;
    try {
        status = LoadChosenFile(messages);
        ShowWholeFile();
    } catch (const TCancelled&) {
        LoadCancelled = true;
        Audio = std::move(earlier.Audio);
        Samples = std::move(earlier.Samples);
        FormatProblem = std::move(earlier.FormatProblem);
        ReadStatus = earlierStatus;
        ReadReason = earlierReason;
        SampleRate = earlier.SampleRate;
        RemoveLogLinesFrom(earlier.LogLines);
        SetReadoutSources();
        return wsFailed;
    } catch (...) {
        ShowFacts(); // what was read of the new file
        throw;
    }
    ShowFacts();
    // Said over the plots as they now are: the progress is gone and the new pictures are up.
    if (!messages.empty() && isVisible())
        repaint();
    for (const TLoadMessage& message : messages) {
        if (message.Error)
            Dialogs->ShowError(this, ProgramTitle(), message.Text);
        else
            Dialogs->ShowInformation(this, ProgramTitle(), message.Text);
    }
    return status;
}

std::uint16_t TForm1::LoadChosenFile(std::vector<TLoadMessage>& messages) {
    // Both views read the file as its format says too: for the facts panel, the notice,
    // and the file's format view, which shows the samples where they lie.
    const std::string fileName = BytesOfName(OpenDialog1.FileName());
    Audio = OpenAudioFile(fileName, false);
    Samples.reset();
    FormatProblem.clear();
    if (ViewAsFormat) {
        // Decoded before anything else changes, so that a cancel finds the window as it was.
        DecodeSamples(fileName);
        return LogChosenFile(fileName, messages);
    }
    // The window shows what a cut recording or a stream with a placeholder size holds.
    TLoadOptions options = TLoadOptions::Salvaging();
    // The earlier file's frames stay until the new ones are all there, so Cancel keeps it.
    options.KeepEarlierUntilDone = true;
    // The format chunk's rate, for the plots' readout.
    TWaveLayout layout;
    options.Read.Layout = &layout;
    // A long load shows its progress: the first half is reading, the second decoding.
    std::unique_ptr<TProgress> progress =
        Dialogs->StartProgress(this, QStringLiteral("Loading %1...").arg(ShownBaseName(fileName)));
    options.Read.Progress = [&](std::uint64_t done, std::uint64_t total) {
        return progress->Step(done, 2 * total);
    };
    options.Progress = [&](std::uint64_t done, std::uint64_t total) {
        return progress->Step(total + done, 2 * total);
    };
    options.NoRoomToKeep = [&] {
        progress->SetNote(QStringLiteral("There is not the memory to keep the earlier file while "
                                         "this one loads: Cancel now leaves nothing loaded."));
    };
    TLoadResult result;
    {
        // The plots keep their last picture while they fill, and show the new one at the end.
        const THeldPictures held{Chart1, Chart2};
        result = RunLoadCommand(true, fileName, Log(), Plots.get(), options);
    }
    SampleRate = SampleCount > 0 && layout.Format ? layout.Format->SamplesPerSec : 0;
    ReadStatus = result.Salvaged ? std::uint16_t(wsOk) : result.Status;
    ReadReason = result.Reason;
    if (!result.Problem.empty()) {
        // The log shows a failed read either way; this says it was not the file's bytes.
        messages.push_back(TLoadMessage::ReadProblem(result.Problem));
    }
    if (result.FramesLeftOut > 0) {
        QLocale locale;
        messages.push_back(
            {false,
             QStringLiteral("The file holds more frames than can be loaded: the first %1 frames "
                            "were loaded and %2 frames were left out.")
                 .arg(locale.toString(result.FramesLoaded),
                      locale.toString(static_cast<qulonglong>(result.FramesLeftOut)))});
    }
    if (result.Salvaged) {
        messages.push_back(
            {false,
             QStringLiteral("The data chunk declares %1 bytes but the file ends after %2; the %3 "
                            "frames present were loaded.")
                 .arg(GroupedNumber(result.DeclaredDataSize),
                      GroupedNumber(result.DataBytesPresent),
                      GroupedNumber(std::uint64_t(result.FramesLoaded)))});
    }
    return result.Status;
}

// An earlier file's zoom names frames of that file: on another file it would show an empty
// stretch, or a part chosen for reasons that no longer hold.
void TForm1::ShowWholeFile() {
    for (TChart* chart : {Chart1, Chart2}) {
        chart->CancelDrag();
        if (chart->ScalesSaved)
            chart->UnzoomAxes();
    }
}

TForm1::TLoadMessage TForm1::TLoadMessage::ReadProblem(const std::string& problem) {
    return {true, QString::fromLocal8Bit(MessageWithFullStop(problem).c_str())};
}

void TForm1::RemoveLogLinesFrom(int lines) {
    QTextDocument* log = Memo1->document();
    if (lines == 0) {
        Memo1->clear();
        return;
    }
    if (log->blockCount() <= lines)
        return;
    QTextCursor cursor(log);
    const QTextBlock last = log->findBlockByNumber(lines - 1);
    cursor.setPosition(last.position() + last.length() - 1);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TForm1::SpeedButton1Click() {
    std::unique_ptr<TProgress> progress = Dialogs->StartProgress(
        this, QStringLiteral("Exporting %1...").arg(ShownName(AsciiFileNameFor(WaveFileName))));
    const TProgressStep step = [&](std::uint64_t done, std::uint64_t total) {
        return progress->Step(done, total);
    };
    const std::string target = AsciiFileNameFor(WaveFileName);
    // A target that is the loaded file itself (a link under the export's name) would be
    // written over what is read, and the recording lost.
    struct stat source {
    }, written{};
    if (!WaveFileName.empty() && stat(WaveFileName.c_str(), &source) == 0 &&
        stat(target.c_str(), &written) == 0 && source.st_dev == written.st_dev &&
        source.st_ino == written.st_ino)
        throw std::runtime_error("The export would be written over the file it reads: " +
                                 NameText(target) + " is that file; nothing was written.");
    std::uint64_t frames = 0;
    try {
        if (ViewAsFormat) {
            // The file's format: every channel of every frame, as the samples say.
            if (!Samples)
                throw TNothingLoaded();
            WriteFormatFile(target, *Samples, step);
            frames = Samples->Frames();
        } else {
            SaveAsciiFile(step);
            frames = std::uint64_t(SampleCount);
        }
    } catch (const TRewriteCancelled& cut) {
        // Stopped by the user in a rewrite in place: no earlier text is left to keep, and the
        // panel must not go on saying an earlier export is there.
        FactsBox->appendPlainText(
            QStringLiteral("\nExport cancelled: %1 was cut after its first %2 bytes, at the end "
                           "of a line")
                .arg(ShownName(cut.Target), GroupedNumber(cut.KeptBytes)));
        return;
    } catch (const TCancelled&) {
        // Stopped by the user: the earlier file stays as it was.
        return;
    } catch (const TNothingLoaded& nothing) {
        // Every file is left as it was; the user is told so, as news rather than an error.
        progress.reset();
        Dialogs->ShowInformation(this, ProgramTitle(), QString::fromUtf8(nothing.what()));
        return;
    }
    // Where it went, without a box to close: a line at the end of the facts panel.
    FactsBox->appendPlainText(
        QStringLiteral("\nExported %1 frames to %2").arg(GroupedNumber(frames), ShownName(target)));
}
