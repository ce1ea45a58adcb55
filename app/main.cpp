// riffscope: looks inside WAV files. An optional FILE argument is opened at start as if it
// had been chosen in the open dialog. With --render, the window is painted off the screen with
// FILE loaded, saved as a PNG picture, and the program ends.

#include <cstdio>
#include <functional>
#include <optional>
#include <utility>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "app/ConsoleDialogs.h"
#include "app/FolderMemory.h"
#include "app/Form1.h"
#include "app/LayoutMemory.h"
#include "app/LosslessName.h"
#include "app/PictureFile.h"
#include "app/SpectrogramMemory.h"
#include "app/ViewMemory.h"

namespace {

constexpr int UsageErrorStatus = 2;

// Paints the window at its normal size without showing it, with `fileName` loaded (if any),
// and saves the picture. Returns the exit status.
int Render(const QString& output, const QString& fileName, bool asFormat,
           TForm1::TTimeAxis timeAxis, std::pair<bool, bool> links, TWindowLayout layout,
           bool spectrograms) {
    TConsoleDialogs dialogs;
    TForm1 form;
    form.SetDialogs(&dialogs);
    form.SetWindowLayout(layout);
    form.SetAsFormat(asFormat);
    form.SetTimeAxis(timeAxis);
    form.SetLinks(links.first, links.second);
    // A picture of spectrograms shows no report (its marks belong to waveforms): every core
    // goes to the spectra.
    form.SetReportThreads(spectrograms && asFormat ? -1 : 0);
    for (TPlotPlace place : {ppUpper, ppLower})
        form.SetSpectrogramShown(place, spectrograms);
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.show();
    QApplication::processEvents();
    const bool readOk = fileName.isEmpty() || form.OpenAtStart(fileName);
    QApplication::processEvents();
    // The picture shows what the report marks over the plots (the clipped runs).
    if (asFormat) {
        constexpr int LongestMs = 30 * 60 * 1000;
        // The spectrograms' exact pictures, not the previews shown while they are made.
        form.WaitForSpectrograms(LongestMs);
        form.WaitForReport(LongestMs);
        QApplication::processEvents();
    }
    try {
        WritePngFile(form.grab().toImage(), output);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "riffscope: %s\n", error.what());
        return 1;
    }
    return readOk ? 0 : 1;
}

// Runs `action` once `form` is on the screen, so that what a load at start has to say comes
// over the drawn window; at the latest after a while, for a window never shown.
void WhenOnScreen(QWidget& form, std::function<void()> action) {
    class TFirstExpose : public QObject {
      public:
        TFirstExpose(QObject* parent, std::function<void()> action)
            : QObject(parent), Action(std::move(action)) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
                Run();
            return false;
        }
        void Run() {
            if (!Action)
                return;
            // After the paint this expose brings.
            QTimer::singleShot(0, parent(), std::exchange(Action, {}));
        }

      private:
        std::function<void()> Action;
    };
    QWindow* window = form.windowHandle();
    if (window == nullptr || window->isExposed()) {
        QTimer::singleShot(0, &form, std::move(action));
        return;
    }
    auto* watcher = new TFirstExpose(&form, std::move(action));
    window->installEventFilter(watcher);
    constexpr int LatestMs = 2000;
    QTimer::singleShot(LatestMs, watcher, [watcher] { watcher->Run(); });
}

// What the command line asks for.
struct TCommandLine {
    int ExitStatus = -1;       // set when the program ends here (help, version, usage error)
    QString Render;            // the picture to write, for --render
    QString FileName;          // the file to open at start
    bool AsFormat = false;     // the file's format view for this run
    bool Spectrograms = false; // both plots as spectrograms, for this run
    TForm1::TTimeAxis TimeAxis = TForm1::taFrames;
    std::optional<std::pair<bool, bool>> Links; // horizontal, vertical; for this run when given
    std::optional<TWindowLayout> Layout;        // for this run when given
};

// frames, seconds, hms, timecode, timecode:24, timecode:25, timecode:30, timeofday.
std::optional<TForm1::TTimeAxis> TimeAxisNamed(const QString& name) {
    const std::pair<const char*, TForm1::TTimeAxis> names[] = {
        {"frames", TForm1::taFrames},
        {"seconds", TForm1::taSeconds},
        {"hms", TForm1::taClock},
        {"timecode", TForm1::taTimecode25},
        {"timecode:24", TForm1::taTimecode24},
        {"timecode:25", TForm1::taTimecode25},
        {"timecode:30", TForm1::taTimecode30},
        {"timeofday", TForm1::taTimeOfDay},
    };
    for (const auto& [text, axis] : names)
        if (name == QLatin1String(text))
            return axis;
    return std::nullopt;
}

TCommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Looks inside WAV files: logs their RIFF structure, plots the left and "
                       "right channels and exports the samples as text."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption renderOption(
        QStringLiteral("render"),
        QStringLiteral("Load FILE as ReadWF does, paint the window at its normal size without "
                       "showing it, save the picture as a PNG file and exit (0 when FILE read "
                       "wsOk, 1 otherwise). Needs no display."),
        QStringLiteral("OUT.png"));
    parser.addOption(renderOption);
    const QCommandLineOption asFormatOption(
        QStringLiteral("as-format"),
        QStringLiteral("Show FILE in its own format (any encoding, any number of channels, "
                       "RF64 and RIFX too) rather than as 16-bit stereo frames; with --render, "
                       "exit 0 when FILE can be shown so."));
    parser.addOption(asFormatOption);
    const QCommandLineOption spectrogramOption(
        QStringLiteral("spectrogram"),
        QStringLiteral("With --as-format: both plots show their channels as spectrograms for "
                       "this run; with --render, the picture saved is the exact one."));
    parser.addOption(spectrogramOption);
    const QCommandLineOption timeAxisOption(
        QStringLiteral("time-axis"),
        QStringLiteral("What the horizontal axes count for this run: frames (the default), "
                       "seconds, hms (h:mm:ss.mmm), timecode[:FPS] (24, 25 or 30 frames a "
                       "second; 25 when not given) or timeofday (from the file's bext time "
                       "reference)."),
        QStringLiteral("AXIS"));
    parser.addOption(timeAxisOption);
    const QCommandLineOption linkOption(
        QStringLiteral("link"),
        QStringLiteral("Plots that move together for this run: x (the same horizontal zoom and "
                       "pan), y (the same vertical range, the wider of the two) or xy."),
        QStringLiteral("AXES"));
    parser.addOption(linkOption);
    const QCommandLineOption layoutOption(
        QStringLiteral("layout"),
        QStringLiteral("The window's layout for this run: parts (the column and the upper plot "
                       "at their fixed sizes) or share (plots of equal height, a column that "
                       "widens, whose log and facts take its free height)."),
        QStringLiteral("LAYOUT"));
    parser.addOption(layoutOption);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A WAV file to open at start."),
                                 QStringLiteral("[FILE]"));
    TCommandLine line;
    const auto usageError = [&](const QString& problem) {
        std::fprintf(stderr, "riffscope: %s\n\n%s", qPrintable(problem),
                     qPrintable(parser.helpText()));
        line.ExitStatus = UsageErrorStatus;
        return line;
    };
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        line.ExitStatus = 0;
        return line;
    }
    if (parser.isSet(versionOption)) {
        std::printf("riffscope %s\n", RIFFSCOPE_VERSION);
        line.ExitStatus = 0;
        return line;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(QStringLiteral("one FILE at most"));
    line.FileName = files.value(0);
    line.Render = parser.value(renderOption);
    line.AsFormat = parser.isSet(asFormatOption);
    line.Spectrograms = parser.isSet(spectrogramOption);
    if (parser.isSet(timeAxisOption)) {
        const std::optional<TForm1::TTimeAxis> axis = TimeAxisNamed(parser.value(timeAxisOption));
        if (!axis)
            return usageError(QStringLiteral("--time-axis takes frames, seconds, hms, "
                                             "timecode[:24|:25|:30] or timeofday"));
        line.TimeAxis = *axis;
    }
    if (parser.isSet(linkOption)) {
        const QString links = parser.value(linkOption);
        if (links != QLatin1String("x") && links != QLatin1String("y") &&
            links != QLatin1String("xy"))
            return usageError(QStringLiteral("--link takes x, y or xy"));
        line.Links = std::pair{links.contains(QLatin1Char('x')), links.contains(QLatin1Char('y'))};
    }
    if (parser.isSet(layoutOption)) {
        line.Layout = WindowLayoutNamed(parser.value(layoutOption));
        if (!line.Layout)
            return usageError(QStringLiteral("--layout takes parts or share"));
    }
    if (parser.isSet(renderOption) && line.Render.isEmpty())
        return usageError(QStringLiteral("--render needs a file name"));
    // The picture is saved through Qt's files, which take UTF-8 names only: any other would be
    // written under a name with its odd bytes replaced, not the one given.
    if (BytesOfName(line.Render) != QFile::encodeName(line.Render).toStdString())
        return usageError(QStringLiteral("--render: the picture's name %1 is not UTF-8; give "
                                         "it a UTF-8 name")
                              .arg(ShownName(BytesOfName(line.Render))));
    return line;
}

} // namespace

int main(int argc, char* argv[]) {
    TCommandLine line;
    {
        // The command line is read before the window system is reached: help, version, a usage
        // error and a picture need no display.
        QCoreApplication parsing(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("riffscope"));
        QCoreApplication::setApplicationVersion(QStringLiteral(RIFFSCOPE_VERSION));
        // From the bytes given: a name that is not UTF-8 keeps every byte (see LosslessName).
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << NameFromBytes(argv[i]);
        line = ParseCommandLine(arguments);
    }
    if (line.ExitStatus >= 0)
        return line.ExitStatus;
    if (!line.Render.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!line.Render.isEmpty())
        return Render(line.Render, line.FileName, line.AsFormat, line.TimeAxis,
                      line.Links.value_or(std::pair{false, false}), line.Layout.value_or(wlFixed),
                      line.Spectrograms);

    TForm1 form;
    form.OpenDialog1.SetInitialFolder(RememberedFolder());
    form.OpenDialog1.OnFolderChosen = RememberFolder;
    // The view chosen last time, unless this run asks for the file's format.
    form.SetAsFormat(line.AsFormat || RememberedAsFormat());
    form.OnViewChanged = RememberAsFormat;
    form.SetTimeAxis(line.TimeAxis);
    // The plots' spectrograms as kept, unless this run asks for both.
    RestoreSpectrogramMemory(form);
    if (line.Spectrograms) {
        form.OnSpectrogramShownChanged = nullptr;
        for (TPlotPlace place : {ppUpper, ppLower})
            form.SetSpectrogramShown(place, true);
        form.OnSpectrogramShownChanged = RememberSpectrogramShown;
    }
    const auto [linkX, linkY] = line.Links.value_or(RememberedLinks());
    form.SetLinks(linkX, linkY);
    form.OnLinksChanged = RememberLinks;
    form.SetColumnWidth(RememberedColumnWidth());
    form.OnColumnWidthChanged = RememberColumnWidth;
    form.SetWindowLayout(line.Layout.value_or(RememberedWindowLayout()));
    form.OnWindowLayoutChanged = RememberWindowLayout;
    // A shared window opens where and as large as it was left; restoreGeometry keeps it on
    // the screen.
    const QByteArray sharedPlace = RememberedSharedWindowPlace();
    const bool placed = form.WindowLayout() == wlShare && !sharedPlace.isEmpty() &&
                        form.restoreGeometry(sharedPlace);
    if (const QScreen* screen = form.screen(); screen != nullptr && !placed)
        form.FitInside(screen->availableGeometry());
    form.show();
    if (!line.FileName.isEmpty()) {
        const QString fileName = line.FileName;
        WhenOnScreen(form, [&form, fileName] { form.OpenAtStart(fileName); });
    }
    const int status = app.exec();
    if (form.WindowLayout() == wlShare)
        RememberSharedWindowPlace(form.saveGeometry());
    return status;
}
