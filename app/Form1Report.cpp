// The main window's quality report: made in the background once a file's first picture is
// up, shown in a panel of its own, its clipped runs drawn over the plots, and a key that
// steps from one problem in the audio to the next.

#include <algorithm>
#include <chrono>
#include <thread>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "app/BackgroundReport.h"
#include "app/ClipOverlay.h"
#include "app/ErrorHandler.h"
#include "app/Form1.h"
#include "app/ReportPanel.h"
#include "chart/interaction/Chart.h"
#include "wave/AudioSamples.h"

namespace {

// Beside the Close button, clear of the go-to box above and the link boxes below.
const QRect ReportButtonPlace(8, 504, 148, 20);
// The button's face stays the same while the report is made, so the window's picture does not
// depend on how far it has come; its tip says the verdict.
const QString ReportButtonTip = QStringLiteral("The file's MD5, levels, clipping, loudness and "
                                               "rules (Ctrl+R); F8 and Shift+F8 step through its "
                                               "problems");

} // namespace

void TForm1::CreateReportControls() {
    ReportButton = new QPushButton(QStringLiteral("Quality report..."), Panel1);
    ReportButton->setObjectName(QStringLiteral("ReportButton"));
    ReportButton->setGeometry(ReportButtonPlace);
    ReportButton->setFocusPolicy(Qt::ClickFocus);
    ReportButton->setToolTip(ReportButtonTip);
    ReportPanel = new TReportPanel(this);
    ReportPanel->OnPlaceChosen = [this](const TRulePlace& where) {
        if (where.Frame)
            RunGuarded(*Dialogs, this, [this, where] { GoToFrame(*where.Frame); });
    };
    connect(ReportButton, &QPushButton::clicked, this, [this] {
        ReportPanel->show();
        ReportPanel->raise();
        ReportPanel->activateWindow();
    });
    connect(new QShortcut(QKeySequence(QStringLiteral("Ctrl+R")), this), &QShortcut::activated,
            ReportButton, &QPushButton::click);
    for (bool forward : {true, false})
        connect(
            new QShortcut(QKeySequence(forward ? QStringLiteral("F8") : QStringLiteral("Shift+F8")),
                          this),
            &QShortcut::activated, this, [this, forward] {
                RunGuarded(*Dialogs, this, [this, forward] { StepToProblem(forward); });
            });
    Clips1 = new TClipOverlay(*Chart1);
    Clips2 = new TClipOverlay(*Chart2);
    ReportProgress = new QTimer(this);
    ReportProgress->setInterval(200);
    connect(ReportProgress, &QTimer::timeout, this, [this] {
        if (!Making)
            return;
        ReportPanel->ShowProgress(Making->Progress());
    });
}

void TForm1::StartReport() {
    const void* bytes = Audio.Bytes.get();
    if (bytes == ReportOf)
        return;     // the same file, shown in another view
    Making.reset(); // the earlier file's report is dropped with it
    Report.reset();
    ReportOf = bytes;
    ReportButton->setToolTip(ReportButtonTip);
    if (!Audio.Bytes) {
        ReportPanel->ShowNothing(QStringLiteral("No file is loaded."));
        ReportProgress->stop();
        return;
    }
    if (ReportThreads < 0) {
        ReportPanel->ShowNothing(QStringLiteral("No report is made in this run."));
        ReportProgress->stop();
        return;
    }
    TReportOptions options;
    options.Samples = Samples;
    options.Threads = ReportThreads;
    ReportPanel->ShowProgress(0);
    Making = std::make_unique<TBackgroundReport>(
        Audio, std::move(options), this,
        [this](std::optional<TQualityReport> report, std::string error) {
            ReportMade(std::move(report), error);
        });
    ReportProgress->start();
}

void TForm1::ReportMade(std::optional<TQualityReport> report, const std::string& error) {
    Making.reset();
    ReportProgress->stop();
    if (!report) {
        ReportPanel->ShowNothing(QStringLiteral("No report: ") + QString::fromStdString(error));
        return;
    }
    Report = std::make_unique<TQualityReport>(std::move(*report));
    ReportButton->setToolTip(QStringLiteral("Verdict: ") + VerdictText(Report->Verdict) +
                             QStringLiteral("\n") + ReportButtonTip);
    ReportPanel->ShowReport(*Report);
    ShowClipMarks();
}

void TForm1::ShowClipMarks() {
    // The runs count the file's frames: drawn in the file's format view only.
    const bool shown = ViewAsFormat && Samples && Report;
    const auto marksOf = [&](int channel) {
        std::vector<TClipMark> marks;
        if (shown)
            for (const TClipRun& run : Report->Levels.Runs)
                if (run.Channel == channel)
                    marks.push_back({run.First, run.Length});
        return marks;
    };
    Clips1->SetMarks(marksOf(UpperChannel->currentIndex()));
    Clips2->SetMarks(Samples && Samples->Channels() > 1 ? marksOf(LowerChannel->currentIndex())
                                                        : std::vector<TClipMark>{});
}

bool TForm1::WaitForReport(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Making) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (Making && Making->Finished())
            QApplication::sendPostedEvents(this); // the result on its way
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool TForm1::StepToProblem(bool forward) {
    if (!Report)
        return false;
    // The places: every clipped run of the channels shown, and every rule's frame.
    std::vector<std::uint64_t> frames;
    const int upper = UpperChannel->currentIndex();
    const int lower = Samples && Samples->Channels() > 1 ? LowerChannel->currentIndex() : -1;
    for (const TClipRun& run : Report->Levels.Runs)
        if (!ViewAsFormat || run.Channel == upper || run.Channel == lower)
            frames.push_back(run.First);
    for (const TRuleResult& rule : Report->Rules)
        if (rule.Verdict != vdPass && rule.Where.Frame && *rule.Where.Frame > 0)
            frames.push_back(*rule.Where.Frame);
    if (frames.empty())
        return false;
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    const TChartAxis& axis = Chart1->BottomAxis();
    // The plots' X is the frame + 1; the centre's frame, as GoToFrame puts it.
    const double centre = (axis.Minimum() + axis.Maximum()) / 2 - 1;
    std::uint64_t target = 0;
    if (forward) {
        const auto next = std::upper_bound(frames.begin(), frames.end(), centre + 0.5,
                                           [](double c, std::uint64_t f) { return c < double(f); });
        if (next == frames.end())
            return false;
        target = *next;
    } else {
        const auto next = std::lower_bound(frames.begin(), frames.end(), centre - 0.5,
                                           [](std::uint64_t f, double c) { return double(f) < c; });
        if (next == frames.begin())
            return false;
        target = *std::prev(next);
    }
    GoToFrame(target);
    return true;
}
