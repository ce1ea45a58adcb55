#pragma once
// The main window: the control column on the left (commands and the log) and the two plots,
// each with its readout, its keys and its menu.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "app/OpenDialog.h"
#include "app/PlotSettings.h"
#include "app/SeriesPlots.h"
#include "app/SpectrogramChoice.h"
#include "app/UserDialogs.h"
#include "app/WindowLayout.h"
#include "meta/Metadata.h"
#include "wave/AudioFile.h"
#include "wave/ReadWaveFile.h"

class QCheckBox;
class QComboBox;
class QWheelEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QRadioButton;
class TAudioSamples;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TChart;
class TFastLineSeries;
class TLineSeries;
class TMarkerOverlay;
class TPlotNotice;
class TClipOverlay;
class TReportPanel;
class TStructurePanel;
class TFileWatch;
class TBackgroundReport;
struct TQualityReport;
class QTimer;
class TPlotReadout;
class TColumnHandle;
class TColumnLayout;
class TSpectrogramPlot;
class TTimeLabelRule;

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The dialogs the commands ask through; the platform's own unless a test sets others.
    void SetDialogs(TUserDialogs* dialogs) { Dialogs = dialogs; }

    // Loads a file as if it had been chosen in the open dialog; true when it read wsOk and
    // loaded.
    bool OpenAtStart(const QString& fileName);
    // Keeps the window, with its frame, inside `area` (the screen's available area): smaller
    // and moved where its place and size would not fit, as they are where they do.
    void FitInside(const QRect& area);

    void Button1Click();
    void SpeedButton1Click();

    // Appends one line to the log.
    void AppendLogLine(const std::string& line);

    QScrollArea* ColumnScroll; // holds Panel1, which it scrolls when the window is shorter
    QFrame* Panel1;
    QToolButton* SpeedButton1;
    QPushButton* BitBtn1;
    QPushButton* Button1;
    QPlainTextEdit* Memo1;
    TOpenDialog OpenDialog1;
    QFrame* Panel2;
    TChart* Chart1;
    TFastLineSeries* Series1;
    TChart* Chart2;
    TLineSeries* Series2;

    // Loads a file as ReadWF does with a file chosen (a file dropped on the window).
    void OpenDropped(const QString& fileName);

    // The two views: the 16-bit stereo frames of the store (the default), or the file's own
    // format (every encoding, any channel count, read where the samples lie).
    bool AsFormat() const { return ViewAsFormat; }
    void SetAsFormat(bool asFormat);
    // Told when the user changes the view (to keep the choice across runs).
    std::function<void(bool asFormat)> OnViewChanged;
    QRadioButton* ViewFrames;  // "16-bit stereo frames"
    QRadioButton* ViewFormat;  // "The file's format"
    QComboBox* UpperChannel;   // the channel the upper plot shows, in the file's format
    QComboBox* LowerChannel;   // the channel the lower plot shows
    QLabel* FormatNoticeLabel; // what a file holds that the default view does not show as it is
    QPlainTextEdit* FactsBox;  // the file read as its format says: facts and problems
    QLabel* NoSecondChannel;   // over the lower plot, for a file of one channel
    TMarkerOverlay* Markers1;  // the file's markers over the upper plot
    TMarkerOverlay* Markers2;  // and over the lower one
    QComboBox* MarkerChoice;   // brings both plots to the marker chosen
    // Over both plots of the file's format where its format leaves nothing to plot.
    TPlotNotice* NothingToPlot1;
    TPlotNotice* NothingToPlot2;
    // Centres both plots' horizontal view on frame `frame` (from 0) of the file.
    void GoToFrame(std::uint64_t frame);
    // The same for the plots' X (frame 1 at 0 s).
    void GoToX(double x);

    // What the horizontal axes count: frames (the default, as ever), or time.
    enum TTimeAxis {
        taFrames,
        taSeconds,
        taClock,
        taTimecode24,
        taTimecode25,
        taTimecode30,
        taTimeOfDay
    };
    void SetTimeAxis(TTimeAxis axis);
    TTimeAxis TimeAxis() const { return Axis; }
    QComboBox* TimeAxisChoice; // frames, seconds, h:mm:ss.mmm, timecode, time of day
    QLineEdit* GoToBox;        // a time, a timecode or #frame: both plots go there

    // Plots that move together: the same horizontal zoom and pan, and (apart) the same
    // vertical range, the wider of the two. Off by default.
    void SetLinks(bool horizontal, bool vertical);
    bool LinksHorizontal() const { return LinkX; }
    bool LinksVertical() const { return LinkY; }
    // Told when the user changes the links (to keep them across runs).
    std::function<void(bool horizontal, bool vertical)> OnLinksChanged;
    QCheckBox* LinkXBox; // "Plots move together"
    QCheckBox* LinkYBox; // "Same vertical range"
    // Ctrl+wheel zooms the horizontal axis around the pointer, Shift+wheel pans it; true when
    // the turn was one of those.
    bool PlotWheel(TChart* chart, QWheelEvent* event);
    // The quality report of the file loaded, made in the background after its first picture.
    QPushButton* ReportButton; // opens the report panel; says the verdict once it is known
    TReportPanel* ReportPanel; // a window of its own
    TClipOverlay* Clips1;      // the clipped runs of the channel the upper plot shows
    TClipOverlay* Clips2;      // and of the lower one's
    // The report as last made for the file loaded; null while it is made or where none is.
    const TQualityReport* ShownReport() const { return Report.get(); }
    // Waits, handling events, until the report of the file loaded is made (or none is being
    // made); false when `timeoutMs` ran out first.
    bool WaitForReport(int timeoutMs);
    // Threads the report is made on: 1 by default, leaving a core to zoom and pan; 0 for one
    // a core (a picture made off the screen, where nothing else waits); -1 for no report (a
    // picture of spectrograms, which needs every core and shows no report).
    void SetReportThreads(int threads) { ReportThreads = threads; }
    // Centres both plots on the next (or, with `forward` false, the previous) problem in the
    // audio after (before) the plots' centre: a clipped run, a rule's place. False when
    // there is none.
    bool StepToProblem(bool forward);

    // Every chunk of the file loaded, in a window of its own (Ctrl+T).
    QPushButton* StructureButton;
    TStructurePanel* StructurePanel;
    // Notices the file loaded changing on disk: the notice and the facts say so, with a link
    // that loads it again.
    TFileWatch* FileWatch;

    // The file read as its format says, as last loaded.
    const TAudioFile& LoadedAudio() const { return Audio; }

    // The rate of the format chunk of the file whose frames are loaded; 0 when not known.
    std::uint32_t LoadedSampleRate() const { return SampleRate; }
    TPlotReadout* Readout1; // over Chart1, the left channel
    TPlotReadout* Readout2; // over Chart2, the right channel

    // The plot the keys go to: the one under the pointer, else the one clicked (or reached
    // with Tab) last; none before either.
    TChart* KeyPlot() const { return PointerPlot != nullptr ? PointerPlot : ClickedPlot; }

    // The plot's menu, opened by a right click that moves nothing, at `at` in its pixels;
    // PlotMenu() is that menu while it is open.
    void ShowPlotMenu(TChart* chart, QPoint at);
    QMenu* PlotMenu() const;
    // The plot's own picture, pixel for pixel, drawn first when it is stale.
    QImage PlotPicture(TChart* chart);
    // The pictures of the plots one below the other, in the order given.
    QImage PlotPictures(const std::vector<TChart*>& charts);
    // Asks for a file name and saves PlotPictures(charts) there as PNG.
    void SavePlotPictures(const std::vector<TChart*>& charts);
    void CopyPlotPicture(TChart* chart);

    // The window's layout: the fixed one (the default), or one that shares a large window
    // (plots of equal height, a column as wide as its handle is dragged, whose log and facts
    // take its free height). The column's check box and Ctrl+L switch it.
    TWindowLayout WindowLayout() const { return Layout; }
    void SetWindowLayout(TWindowLayout layout);
    // Told when the user switches the layout (to keep the choice across runs).
    std::function<void(TWindowLayout layout)> OnWindowLayoutChanged;
    // The column's width in a shared window, as asked for (the window may show it narrower).
    int ColumnWidth() const { return SharedColumn; }
    void SetColumnWidth(int width);
    // Told when the user has dragged the column's handle (to keep the width across runs).
    std::function<void(int width)> OnColumnWidthChanged;
    TColumnHandle* ColumnHandle; // between the column and the plots in a shared window
    QCheckBox* ShareBox;         // "Share the window"
    // Each plot of the file's format view shows its channel as a waveform (the default) or
    // as a spectrogram; a file of one channel shows its spectrogram below its waveform.
    bool SpectrogramShown(TPlotPlace place) const { return ShownSpectrogram[place]; }
    void SetSpectrogramShown(TPlotPlace place, bool shown);
    const TSpectrogramChoice& SpectrogramChoice(TPlotPlace place) const;
    void SetSpectrogramChoice(TPlotPlace place, const TSpectrogramChoice& choice);
    // Told when the user changes them (to keep them across runs).
    std::function<void(TPlotPlace place, bool shown)> OnSpectrogramShownChanged;
    std::function<void(TPlotPlace place, const TSpectrogramChoice& choice)>
        OnSpectrogramChoiceChanged;
    QComboBox* UpperKind; // "Waveform" or "Spectrogram", beside the upper plot's channel
    QComboBox* LowerKind;
    TSpectrogramPlot* Spectrogram1; // the upper plot's spectrogram, when shown
    TSpectrogramPlot* Spectrogram2; // the lower plot's
    TSpectrogramPlot* SpectrogramOf(TChart* chart) const;
    // Waits, handling events, until every spectrogram shown is drawn exactly; false when
    // `timeoutMs` ran out first.
    bool WaitForSpectrograms(int timeoutMs);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void CreateShortcuts();
    void CreatePlotKeys();
    // Does what `key` does to the plot the keys go to; a zoom key zooms both axes with
    // `bothAxes`, else the horizontal one.
    void PlotKey(Qt::Key key, bool bothAxes);
    QString SuggestedPictureName(const std::vector<TChart*>& charts) const;
    void LayoutControls();
    void CreateLayoutControls();
    std::uint16_t LoadChosenFile(bool fileChosen); // the reader's status
    // Undoes every zoom and pan of both plots, so that a file just shown is seen whole.
    void ShowWholeFile();
    // What a load has to say, said once its progress is gone and the plots are drawn.
    struct TLoadMessage {
        bool Error;
        QString Text;
        // Why a read failed when it was not the file's bytes (a FIFO, a device, memory).
        static TLoadMessage ReadProblem(const std::string& problem);
    };
    // What a cancelled load puts back.
    struct TEarlierFile {
        TAudioFile Audio;
        std::shared_ptr<const TAudioSamples> Samples;
        QString FormatProblem;
        std::uint32_t SampleRate;
        int LogLines;
    };
    // Loads the chosen file; throws TCancelled when the user cancels.
    std::uint16_t LoadChosenFile(std::vector<TLoadMessage>& messages);
    // Removes the log's lines after the first `lines`.
    void RemoveLogLinesFrom(int lines);
    TWaveLog Log();
    void CreateViewControls();
    void LayoutViewControls();
    // Reads the chosen file for the log only (the file's format view keeps no store); why a
    // read failed, where not for the file's bytes, goes to `messages`.
    std::uint16_t LogChosenFile(const std::string& name, std::vector<TLoadMessage>& messages);
    // Shows the loaded file in the file's format in both plots; false when it cannot be.
    bool ShowFileFormat();
    // Decodes the loaded file's samples, when they can be and are not yet (FormatProblem says
    // why they cannot); throws TCancelled when the user cancels a long decoding.
    void DecodeSamples(const std::string& fileName);
    // Fills the store and the plots from the loaded file again, without new log lines.
    void ReloadFrames();
    void ShowFacts();
    void ShowMarkers(const TFileMetadata& meta);
    void ApplyTimeAxis(const TFileMetadata& meta);
    void GoToTyped();
    void CreateLinkControls();
    // After `from` was drawn: the other plot follows where they are linked.
    void FollowLinkedPlot(TChart* from);
    void ChooseChannels();
    void SetReadoutSources();
    void CreateReportControls();
    // Starts the report of the file loaded when it is another file than the report's.
    void StartReport();
    void ReportMade(std::optional<TQualityReport> report, const std::string& error);
    // The clipped runs of the channels the plots show, over them (the file's format view).
    void ShowClipMarks();
    void CreateSpectrogramControls();
    // Shows each plot's channel as its choice says (the file's format view).
    void ShowPlotKinds();
    void HideSpectrograms();
    void AddSpectrogramMenu(QMenu* menu, TChart* chart);

    std::unique_ptr<TSeriesPlots> Plots; // the two series, as the Load command fills them
    TPlatformDialogs PlatformDialogs;
    TUserDialogs* Dialogs = &PlatformDialogs;
    std::uint32_t SampleRate = 0;
    bool ViewAsFormat = false;
    TTimeAxis Axis = taFrames;
    bool LinkX = false, LinkY = false;
    TAudioFile Audio;
    std::shared_ptr<const TAudioSamples> Samples; // Audio's samples, once shown
    QString FormatProblem;         // why the file's format cannot be shown, when it cannot
    TFileMetadata ShownMetadata;   // what the facts panel shows of Audio's metadata
    bool LoadCancelled = false;    // the last load was cancelled: the earlier file stays
    TChart* PointerPlot = nullptr; // the plot under the pointer
    TChart* ClickedPlot = nullptr; // the plot clicked or given the focus last
    QPointer<QMenu> OpenMenu;
    std::unique_ptr<TBackgroundReport> Making; // the report being made
    std::unique_ptr<TQualityReport> Report;    // the report made
    const void* ReportOf = nullptr;            // the bytes of the file reported (or being)
    QTimer* ReportProgress = nullptr;
    int ReportThreads = 1;

    // What the default view's reader said of the file: its status (wsOk for a file cut short
    // whose frames were loaded all the same) and its reason.
    std::uint16_t ReadStatus = 0;
    std::string ReadReason;
    TWindowLayout Layout = wlFixed;
    int SharedColumn = DefaultSharedColumnWidth;
    std::unique_ptr<TColumnLayout> ColumnPlaces; // the column's controls in a shared window
    bool ShownSpectrogram[2] = {false, false};
    // The time the readouts write where the horizontal axis counts it otherwise than in
    // seconds (h:mm:ss, timecode, time of day); null for seconds.
    std::shared_ptr<const TTimeLabelRule> ReadoutTimeRule;
};
