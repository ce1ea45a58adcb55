// The main window's second view: the loaded file in its own format (any encoding, any number
// of channels), beside the default view of 16-bit stereo frames; the choice between them, the
// channel choices, the notice and the facts panel in the control column.

#include <charconv>
#include <climits>

#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopeGuard>

#include "app/AudioFactsText.h"
#include "app/ChannelValues.h"
#include "app/ErrorHandler.h"
#include "app/FileWatch.h"
#include "app/Form1.h"
#include "app/GoToText.h"
#include "app/HeldPictures.h"
#include "app/LosslessName.h"
#include "app/MarkerOverlay.h"
#include "app/NumberText.h"
#include "app/PlotNotice.h"
#include "app/PlotReadout.h"
#include "app/PlotSettings.h"
#include "app/ProgressWindow.h"
#include "app/RefusalNotice.h"
#include "app/SpectrogramPlot.h"
#include "app/StructurePanel.h"
#include "chart/interaction/Chart.h"
#include "chart/panel/FastLineSeries.h"
#include "chart/panel/FrameLabelRule.h"
#include "chart/panel/LineSeries.h"
#include "chart/panel/TimeLabelRule.h"
#include "meta/MetadataText.h"
#include "meta/TimelineMarks.h"
#include "samples/LoadCommand.h"
#include "samples/SampleStore.h"
#include "wave/AudioSamples.h"
#include "wave/Cancelled.h"
#include "wave/SpeakerPositions.h"

namespace {

// Places in the control column, clear of the commands and the log.
const QRect ViewFramesPlace(8, 6, 217, 18);
const QRect ViewFormatPlace(8, 24, 217, 18);
// Each beside its plot's choice of waveform or spectrogram.
const QRect UpperChannelPlace(8, 46, 100, 20);
const QRect LowerChannelPlace(8, 70, 100, 20);
const QRect NoticePlace(8, 96, 209, 98);
const QRect FactsPlace(8, 296, 209, 106);
const QRect MarkerChoicePlace(8, 432, 209, 20);
const QRect TimeAxisPlace(8, 456, 209, 20);
const QRect GoToPlace(8, 480, 148, 20);
// Shown before a marker is chosen, and chosen again after each jump.
const QString MarkerPrompt = QStringLiteral("Go to a marker...");

// The most frames a plot takes: a value list counts in signed 32-bit numbers.
constexpr std::uint64_t PlotFrameLimit = INT_MAX - 1;

// Named by the channel mask where it names the channel's position ("Front Left").
QString ShownChannelName(int channel, const TAudioFacts& facts) {
    return QString::fromStdString(ChannelName(channel, facts.Format.ChannelMask));
}

// A value as the file's format has it: integers whole, floats in the shortest text that
// reads back as the same value.
QString ValueText(const TAudioSamples& samples, int channel, std::uint64_t frame) {
    if (!samples.IsFloat())
        return QString::number(samples.IntAt(channel, frame));
    char text[32];
    const double value = samples.At(channel, frame);
    const char* end = samples.BitsOfValues() == 32
                          ? std::to_chars(text, text + sizeof text, float(value)).ptr
                          : std::to_chars(text, text + sizeof text, value).ptr;
    return QString::fromLatin1(text, end - text);
}

// The readout's time line as the horizontal axis counts time, where it counts it otherwise
// than in seconds: "Time 1:23.500000", "Timecode 00:01:23:12", "Time of day 10:00:01.500000".
std::function<QString(int)> ReadoutTime(std::shared_ptr<const TTimeLabelRule> rule,
                                        TForm1::TTimeAxis axis) {
    if (!rule)
        return {};
    const QString name = axis == TForm1::taTimeOfDay ? QStringLiteral("Time of day")
                         : axis == TForm1::taClock   ? QStringLiteral("Time")
                                                     : QStringLiteral("Timecode");
    return [rule, name](int frame) {
        const double seconds = rule->SecondsAt(double(frame));
        return name + QLatin1Char(' ') +
               QString::fromStdString(rule->TextOfMicros(std::llround(seconds * 1e6), 6));
    };
}

} // namespace

void TForm1::CreateViewControls() {
    ViewFrames = new QRadioButton(QStringLiteral("16-bit stereo frames"), Panel1);
    ViewFrames->setObjectName(QStringLiteral("ViewFrames"));
    ViewFrames->setGeometry(ViewFramesPlace);
    ViewFormat = new QRadioButton(QStringLiteral("The file's format"), Panel1);
    ViewFormat->setObjectName(QStringLiteral("ViewFormat"));
    ViewFormat->setGeometry(ViewFormatPlace);
    // The Tab order stays the commands', the log's and the plots'; these take a click.
    for (QWidget* control : {static_cast<QWidget*>(ViewFrames), static_cast<QWidget*>(ViewFormat)})
        control->setFocusPolicy(Qt::ClickFocus);
    auto* views = new QButtonGroup(this);
    views->addButton(ViewFrames);
    views->addButton(ViewFormat);
    ViewFrames->setChecked(true);
    connect(ViewFormat, &QRadioButton::toggled, this, [this](bool on) {
        if (on == ViewAsFormat)
            return;
        RunGuarded(*Dialogs, this, [this, on] { SetAsFormat(on); });
        if (OnViewChanged)
            OnViewChanged(on);
    });

    for (QComboBox** box : {&UpperChannel, &LowerChannel}) {
        *box = new QComboBox(Panel1);
        (*box)->setGeometry(box == &UpperChannel ? UpperChannelPlace : LowerChannelPlace);
        (*box)->hide();
        (*box)->setFocusPolicy(Qt::ClickFocus);
        connect(*box, &QComboBox::activated, this,
                [this] { RunGuarded(*Dialogs, this, [this] { ChooseChannels(); }); });
    }
    UpperChannel->setObjectName(QStringLiteral("UpperChannel"));
    LowerChannel->setObjectName(QStringLiteral("LowerChannel"));
    UpperChannel->setToolTip(QStringLiteral("The channel the upper plot shows"));
    LowerChannel->setToolTip(QStringLiteral("The channel the lower plot shows"));

    FormatNoticeLabel = new QLabel(Panel1);
    FormatNoticeLabel->setObjectName(QStringLiteral("FormatNotice"));
    FormatNoticeLabel->setGeometry(NoticePlace);
    FormatNoticeLabel->setWordWrap(true);
    FormatNoticeLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FormatNoticeLabel->setTextFormat(Qt::RichText);
    FormatNoticeLabel->hide();
    connect(FormatNoticeLabel, &QLabel::linkActivated, this, [this](const QString& link) {
        if (link == QLatin1String("reload"))
            OpenAtStart(NameFromBytes(WaveFileName));
        else
            ViewFormat->setChecked(true);
    });

    FactsBox = new QPlainTextEdit(Panel1);
    FactsBox->setObjectName(QStringLiteral("Facts"));
    FactsBox->setGeometry(FactsPlace);
    FactsBox->setReadOnly(true);
    FactsBox->setFocusPolicy(Qt::ClickFocus);
    FactsBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    FactsBox->setPlaceholderText(QStringLiteral("The file's format and problems"));

    Markers1 = new TMarkerOverlay(*Chart1);
    Markers2 = new TMarkerOverlay(*Chart2);
    MarkerChoice = new QComboBox(Panel1);
    MarkerChoice->setObjectName(QStringLiteral("MarkerChoice"));
    MarkerChoice->setGeometry(MarkerChoicePlace);
    MarkerChoice->setFocusPolicy(Qt::ClickFocus);
    MarkerChoice->hide();
    connect(MarkerChoice, &QComboBox::activated, this, [this](int index) {
        const QVariant frame = MarkerChoice->itemData(index);
        if (frame.isValid())
            RunGuarded(*Dialogs, this, [this, frame] { GoToFrame(frame.toULongLong()); });
        MarkerChoice->setCurrentIndex(0);
    });

    TimeAxisChoice = new QComboBox(Panel1);
    TimeAxisChoice->setObjectName(QStringLiteral("TimeAxisChoice"));
    TimeAxisChoice->setGeometry(TimeAxisPlace);
    TimeAxisChoice->setFocusPolicy(Qt::ClickFocus);
    TimeAxisChoice->setToolTip(QStringLiteral("What the horizontal axes count"));
    for (const char* name : {"Frames", "Seconds", "h:mm:ss.mmm", "Timecode at 24 fps",
                             "Timecode at 25 fps", "Timecode at 30 fps", "Time of day (bext)"})
        TimeAxisChoice->addItem(QString::fromLatin1(name));
    connect(TimeAxisChoice, &QComboBox::activated, this, [this](int index) {
        RunGuarded(*Dialogs, this, [this, index] { SetTimeAxis(TTimeAxis(index)); });
    });
    GoToBox = new QLineEdit(Panel1);
    GoToBox->setObjectName(QStringLiteral("GoTo"));
    GoToBox->setGeometry(GoToPlace);
    GoToBox->setFocusPolicy(Qt::ClickFocus);
    GoToBox->setPlaceholderText(QStringLiteral("Go to 1:23.5, #frame"));
    GoToBox->setToolTip(QStringLiteral("A time (1:23.5, 83.5), a timecode (00:01:23:12) or a "
                                       "frame (#3683350); Enter centres both plots there"));
    connect(GoToBox, &QLineEdit::returnPressed, this,
            [this] { RunGuarded(*Dialogs, this, [this] { GoToTyped(); }); });

    NoSecondChannel = new QLabel(
        QStringLiteral("This file has one channel: there is no second channel to show."), Chart2);
    NoSecondChannel->setObjectName(QStringLiteral("NoSecondChannel"));
    NoSecondChannel->setAlignment(Qt::AlignCenter);
    NoSecondChannel->setAttribute(Qt::WA_TransparentForMouseEvents);
    NoSecondChannel->hide();
    NothingToPlot1 = new TPlotNotice(*Chart1, QStringLiteral("NothingToPlot"));
    NothingToPlot2 = new TPlotNotice(*Chart2, QStringLiteral("NothingToPlot"));
}

void TForm1::SetAsFormat(bool asFormat) {
    if (asFormat == ViewAsFormat) {
        ViewFormat->setChecked(asFormat);
        return;
    }
    ViewAsFormat = asFormat;
    (asFormat ? ViewFormat : ViewFrames)->setChecked(true);
    // The spectrograms give the value axes back first, so the view's own room is what stays.
    HideSpectrograms();
    ApplyValueRoom(*Chart1, ppUpper, asFormat);
    ApplyValueRoom(*Chart2, ppLower, asFormat);
    const bool loaded = Audio.Bytes != nullptr || !WaveFileName.empty();
    const auto showFacts = qScopeGuard([this] { ShowFacts(); });
    const THeldPictures held{Chart1, Chart2};
    if (!loaded)
        return;
    if (asFormat)
        ShowFileFormat();
    else
        ReloadFrames();
    ShowWholeFile();
}

std::uint16_t TForm1::LogChosenFile(const std::string& name, std::vector<TLoadMessage>& messages) {
    // The log is the reader's as ever; the data chunk is passed over, not held: the samples
    // are shown where they lie in the file.
    TWaveInfo info;
    TWaveLayout layout;
    TWaveReadOptions read;
    read.KeepData = false;
    read.Layout = &layout;
    ReadWaveFile(name, info, Log(), read);
    ReadStatus = info.Status;
    ReadReason = info.Reason;
    // Said as the default view says it: a FIFO or a device is not silently an empty view.
    if (!info.Problem.empty())
        messages.push_back(TLoadMessage::ReadProblem(info.Problem));
    // The store's frames are another file's: nothing of them may be exported under this name.
    WaveFileName = name;
    SampleCount = 0;
    LoadFailed = true; // the default view's export has nothing of this file
    const THeldPictures held{Chart1, Chart2};
    Plots->Clear();
    ShowFileFormat();
    return info.Status;
}

bool TForm1::ShowFileFormat() {
    NoSecondChannel->hide();
    for (TPlotNotice* notice : {NothingToPlot1, NothingToPlot2})
        notice->SetText(NothingToPlot(Audio.Facts));
    const TAudioFacts& facts = Audio.Facts;
    SampleRate = facts.HasFormat ? facts.Format.SampleRate : 0;
    if (!Audio.Bytes || !facts.Decodable) {
        HideSpectrograms();
        Plots->Clear();
        SetReadoutSources();
        return false;
    }
    try {
        DecodeSamples(WaveFileName);
    } catch (const TCancelled&) {
    }
    if (!Samples) {
        HideSpectrograms();
        Plots->Clear();
        SetReadoutSources();
        return false;
    }
    const int channels = Samples->Channels();
    for (QComboBox* box : {UpperChannel, LowerChannel}) {
        const int chosen = box->currentIndex();
        box->clear();
        for (int c = 0; c < channels; ++c)
            box->addItem(ShownChannelName(c, Audio.Facts));
        const int fallback = box == UpperChannel ? 0 : std::min(1, channels - 1);
        box->setCurrentIndex(chosen >= 0 && chosen < channels ? chosen : fallback);
    }
    LowerChannel->setEnabled(channels > 1);
    ChooseChannels();
    return true;
}

void TForm1::DecodeSamples(const std::string& fileName) {
    const TAudioFacts& facts = Audio.Facts;
    if (Samples || !Audio.Bytes || !facts.Decodable)
        return;
    std::unique_ptr<TProgress> progress;
    TProgressStep step;
    if (facts.Format.IsCompressed()) {
        progress = Dialogs->StartProgress(
            this, QStringLiteral("Decoding %1...").arg(ShownBaseName(fileName)));
        step = [&](std::uint64_t done, std::uint64_t total) { return progress->Step(done, total); };
    }
    try {
        Samples = std::make_shared<const TAudioSamples>(Audio.Bytes, facts, step);
    } catch (const TCancelled&) {
        throw;
    } catch (const std::runtime_error& error) {
        FormatProblem = QString::fromLocal8Bit(error.what());
    }
}

void TForm1::ChooseChannels() {
    if (!ViewAsFormat || !Samples)
        return;
    const int count = int(std::min<std::uint64_t>(Samples->Frames(), PlotFrameLimit));
    const auto channel = [&](int index) {
        return std::make_shared<TChannelValues>(Samples, index, count);
    };
    // Both plots' summaries come from one pass over the file.
    if (Samples->Channels() > 1)
        Samples->ExpectTogether(UpperChannel->currentIndex(), LowerChannel->currentIndex());
    ShowClipMarks();
    Series1->ViewValues(channel(UpperChannel->currentIndex()));
    if (Samples->Channels() > 1) {
        Series2->ViewValues(channel(LowerChannel->currentIndex()));
        NoSecondChannel->hide();
    } else if (Samples->Channels() == 1) {
        // The one channel again below, shown as its spectrogram.
        Series2->ViewValues(channel(0));
        NoSecondChannel->hide();
    } else {
        Series2->ClearPoints();
        NoSecondChannel->setGeometry(0, 0, Chart2->width(), Chart2->height());
        NoSecondChannel->show();
    }
    ShowPlotKinds();
    SetReadoutSources();
}

void TForm1::ReloadFrames() {
    NoSecondChannel->hide();
    for (TPlotNotice* notice : {NothingToPlot1, NothingToPlot2})
        notice->SetText({});
    HideSpectrograms();
    if (WaveFileName.empty())
        return;
    // The log already holds this file's lines: the read for the store logs nothing.
    TLoadOptions options = TLoadOptions::Salvaging();
    TWaveLayout layout;
    options.Read.Layout = &layout;
    std::unique_ptr<TProgress> progress = Dialogs->StartProgress(
        this, QStringLiteral("Loading %1...").arg(ShownBaseName(WaveFileName)));
    options.Read.Progress = [&](std::uint64_t done, std::uint64_t total) {
        return progress->Step(done, 2 * total);
    };
    options.Progress = [&](std::uint64_t done, std::uint64_t total) {
        return progress->Step(total + done, 2 * total);
    };
    try {
        const TLoadResult result = RunLoadCommand(
            true, WaveFileName, [](const std::string&) {}, Plots.get(), options);
        ReadStatus = result.Salvaged ? std::uint16_t(wsOk) : result.Status;
        ReadReason = result.Reason;
    } catch (const TCancelled&) {
    }
    SampleRate = SampleCount > 0 && layout.Format ? layout.Format->SamplesPerSec : 0;
    SetReadoutSources();
}

void TForm1::SetReadoutSources() {
    if (!ViewAsFormat) {
        for (auto [readout, channel] :
             {std::pair{Readout1, &LeftSamples}, std::pair{Readout2, &RightSamples}})
            readout->SetSource({[] { return SampleCount; },
                                [channel](int frame) { return QString::number((*channel)[frame]); },
                                {},
                                1,
                                ReadoutTime(ReadoutTimeRule, Axis),
                                {}});
        return;
    }
    if (!Samples) {
        Readout1->SetSource({});
        Readout2->SetSource({});
        return;
    }
    const int count = int(std::min<std::uint64_t>(Samples->Frames(), PlotFrameLimit));
    const auto source = [&](QComboBox* box, TSpectrogramPlot* spectrogram) -> TReadoutSource {
        const int channel = std::max(0, box->currentIndex());
        TReadoutSource s{[count] { return count; },
                         [samples = Samples, channel](int frame) {
                             return ValueText(*samples, channel, std::uint64_t(frame - 1));
                         },
                         ShownChannelName(channel, Audio.Facts),
                         0,
                         ReadoutTime(ReadoutTimeRule, Axis),
                         {}};
        if (spectrogram->Shown())
            s.PointText = [spectrogram](QPoint at) { return spectrogram->PointText(at); };
        return s;
    };
    Readout1->SetSource(source(UpperChannel, Spectrogram1));
    Readout2->SetSource(Samples->Channels() > 1 || Spectrogram2->Shown()
                            ? source(LowerChannel, Spectrogram2)
                            : TReadoutSource{});
}

void TForm1::ShowFacts() {
    for (QComboBox* box : {UpperChannel, LowerChannel, UpperKind, LowerKind})
        box->setVisible(ViewAsFormat && Samples != nullptr);
    QString text = AudioFactsText(Audio.Facts);
    if (!FormatProblem.isEmpty())
        text += QStringLiteral("\n") + FormatProblem;
    // The metadata, a group per chunk, in both views; damaged chunks say what is wrong.
    ShownMetadata = MetadataOf(Audio);
    const TFileMetadata& meta = ShownMetadata;
    ShowMarkers(meta);
    ApplyTimeAxis(meta);
    std::vector<TMetaGroup> groups = MetadataText(meta);
    if (!meta.Problems.empty())
        groups.push_back({"Metadata problems", meta.Problems});
    for (const TMetaGroup& group : groups) {
        text += QStringLiteral("\n\n") + QString::fromStdString(group.Title) + QLatin1Char(':');
        for (const std::string& line : group.Lines)
            text += QStringLiteral("\n  ") + QString::fromStdString(line);
    }
    if (ViewAsFormat && Samples && Samples->Frames() > PlotFrameLimit)
        text += QStringLiteral("\nThe plots show the first %1 frames.")
                    .arg(GroupedNumber(PlotFrameLimit));
    if (!Audio.Facts.IsWave && Audio.Facts.Problems.empty())
        text.clear();
    FactsBox->setPlainText(text);
    StructurePanel->ShowFile(Audio, ShownName(WaveFileName));
    StartReport();
    ShowClipMarks();
    // A file the default view cannot read says why; one it reads, what it holds.
    QString notice = ViewAsFormat ? QString() : RefusalNotice(Audio.Facts, ReadStatus, ReadReason);
    if (notice.isEmpty() && !ViewAsFormat)
        notice = FormatNotice(Audio.Facts);
    // A file of no channels has nothing for its format's view to show: said, not offered.
    const bool noChannels = Audio.Facts.HasFormat && Audio.Facts.Format.Channels == 0;
    FormatNoticeLabel->setText(
        notice.toHtmlEscaped() +
        (noChannels ? QString() : QStringLiteral(" <a href=\"format\">Show it in its format</a>")));
    FormatNoticeLabel->setVisible(!notice.isEmpty() && (Audio.Facts.Decodable || noChannels));
    // A file changed on disk says so above all else, until it is loaded again.
    FileWatch->Watch(WaveFileName, Audio.Bytes);
    if (const QString& change = FileWatch->Change(); !change.isEmpty()) {
        FactsBox->setPlainText(ChangedFileFacts(change) + QStringLiteral("\n\n") +
                               FactsBox->toPlainText());
        FormatNoticeLabel->setText(ChangedFileNotice(change));
        FormatNoticeLabel->show();
    }
}

void TForm1::ShowMarkers(const TFileMetadata& meta) {
    std::vector<TPlotMarker> markers;
    for (const TTimelineMark& m : TimelineMarks(meta))
        markers.push_back({m.Frame, m.Length, m.Label});
    // The markers count the file's frames: the default view's frames are the same only for a
    // file of 16-bit stereo PCM.
    std::uint64_t frames = 0;
    if (ViewAsFormat && Samples)
        frames = Samples->Frames();
    else if (!ViewAsFormat && IsSixteenBitStereoPcm(Audio.Facts))
        frames = std::uint64_t(SampleCount);
    if (frames == 0)
        markers.clear();
    Markers1->SetMarkers(markers, frames);
    Markers2->SetMarkers(markers, frames);
    MarkerChoice->clear();
    MarkerChoice->addItem(MarkerPrompt);
    for (const TMarker& m : meta.Markers) {
        if (m.Frame >= frames)
            continue;
        QString text = QStringLiteral("#%1 %2").arg(m.Id).arg(
            QString::fromStdString(SecondsText(m.Frame, meta.SampleRate)));
        if (!m.Label.empty())
            text += QStringLiteral(" ") + QString::fromStdString(m.Label);
        MarkerChoice->addItem(text, QVariant::fromValue<qulonglong>(m.Frame));
    }
    MarkerChoice->setVisible(MarkerChoice->count() > 1);
}

void TForm1::GoToFrame(std::uint64_t frame) {
    GoToX(double(frame) + 1);
}

void TForm1::GoToX(double centre) {
    for (TChart* chart : {Chart1, Chart2}) {
        if (chart->SeriesCount() < 1 || chart->Series(0)->PointCount() < 1)
            continue;
        const TChartAxis& bottom = chart->BottomAxis();
        const double all = chart->Series(0)->PointCount();
        // The view keeps its width where it is zoomed in; a whole view takes a twentieth.
        double width = bottom.Maximum() - bottom.Minimum();
        if (!(width > 0) || width >= all - 1)
            width = std::max(all / 20, 2.0);
        chart->ZoomHorizontal(centre - width / 2, centre + width / 2);
    }
}

namespace {

int FpsOf(TForm1::TTimeAxis axis) {
    return axis == TForm1::taTimecode24 ? 24 : axis == TForm1::taTimecode30 ? 30 : 25;
}

} // namespace

void TForm1::SetTimeAxis(TTimeAxis axis) {
    Axis = axis;
    TimeAxisChoice->setCurrentIndex(int(axis));
    ApplyTimeAxis(ShownMetadata);
}

void TForm1::ApplyTimeAxis(const TFileMetadata& meta) {
    const std::uint32_t rate =
        ViewAsFormat ? (Audio.Facts.HasFormat ? Audio.Facts.Format.SampleRate : 0) : SampleRate;
    std::shared_ptr<const TAxisLabelRule> rule;
    if (Axis != taFrames && rate != 0) {
        double offset = 0;
        if (Axis == taTimeOfDay && meta.Bext)
            offset = double(meta.Bext->TimeReference) / rate;
        const TTimeFormat format = Axis == taSeconds                        ? tfSeconds
                                   : Axis == taClock || Axis == taTimeOfDay ? tfClock
                                                                            : tfTimecode;
        rule = std::make_shared<TTimeLabelRule>(format, rate, offset, FpsOf(Axis));
    }
    // The file's format names its frames from 0, as its facts and markers do; the default view
    // keeps the axes' own numbers, pixel for pixel.
    // The readouts write the time as the axis counts it; seconds as ever otherwise.
    ReadoutTimeRule = Axis == taFrames || Axis == taSeconds
                          ? nullptr
                          : std::dynamic_pointer_cast<const TTimeLabelRule>(rule);
    if (!rule && ViewAsFormat)
        rule = std::make_shared<TFrameLabelRule>(0);
    for (TChart* chart : {Chart1, Chart2})
        chart->BottomAxis().SetLabelRule(rule);
    SetReadoutSources();
}

void TForm1::GoToTyped() {
    const std::uint32_t rate =
        ViewAsFormat ? (Audio.Facts.HasFormat ? Audio.Facts.Format.SampleRate : 0) : SampleRate;
    // The file's format counts its frames from 0, as its markers and facts do; the default
    // view names the numbers its axis shows.
    const TGoTo target =
        ParseGoTo(GoToBox->text().toStdString(), rate, FpsOf(Axis), ViewAsFormat ? 0 : 1);
    if (!target.Frame)
        throw std::runtime_error(target.Problem);
    GoToX(*target.Frame);
}
