#pragma once
// The readout of a plot: while the pointer is over the plot's data area (ChartRect), a small
// label beside the pointer gives the frame nearest it, that frame's time and its sample value.
// The label is a widget of its own on top of the chart; the chart's picture never changes for
// it.

#include <cstdint>
#include <functional>

#include <QLabel>
#include <QPoint>

class TChart;
class TChartAxis;

// What a readout reads of its plot: how many frames there are (the plot's X 1..count) and the
// value at an X as text; the channel is named in the label when given. `FirstFrame` is the
// number the label gives the frame at X 1: the plot's own X (1), or the file's frame (0).
// `TimeText`, when given, writes the time line of the frame at X `frame` as the horizontal
// axis counts time ("Timecode 00:01:23:12"); `PointText`, when given, writes what the plot
// shows under the pointer in place of the value (a spectrogram's frequency and level).
struct TReadoutSource {
    std::function<int()> FrameCount;
    std::function<QString(int frame)> ValueText;
    QString Channel;
    int FirstFrame = 1;
    std::function<QString(int frame)> TimeText;
    std::function<QString(QPoint at)> PointText;
};

class TPlotReadout : public QLabel {
    Q_OBJECT
  public:
    // `source` gives the plot's frames and values; `sampleRate` gives the loaded file's rate,
    // 0 when it is not known.
    TPlotReadout(TChart& chart, TReadoutSource source, std::function<std::uint32_t()> sampleRate);
    void SetSource(TReadoutSource source);

    // Shows the label for the pointer at (x, y) in the chart's pixels, or hides it when the
    // point is outside the data area or there are no frames.
    void PointerAt(QPoint at);
    // Hides the label until the pointer moves over the data area again.
    void PointerGone();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Refresh();

    TChart& Chart;
    TReadoutSource Source;
    std::function<std::uint32_t()> SampleRate;
    bool PointerInside = false; // the pointer is over the chart, at LastPointer
    QPoint LastPointer;
};

// The frame nearest the value at pixel `x` of the axis, within 1..frameCount.
int FrameAtPixel(const TChartAxis& axis, int x, int frameCount);

// The readout's text: the frame at the plot's X `frame`, named from `firstFrame`, its time from
// the start of the data when the rate is known (X 1 at 0 s, with enough decimals to tell
// neighbouring frames apart), and its value.
QString ReadoutText(int frame, std::int32_t value, std::uint32_t sampleRate);
// The same with the value as text, and the channel's name on a line of its own when given.
QString ReadoutText(int frame, const QString& value, std::uint32_t sampleRate,
                    const QString& channel = {}, int firstFrame = 1);

// The same with the time line and the lines after it given whole (`time` empty: the seconds
// line as above).
QString ReadoutText(int frame, const QString& time, const QString& lines, std::uint32_t sampleRate,
                    const QString& channel, int firstFrame);

// Where the label of `size` goes for the pointer at `pointer`: below and to the right of it,
// or on the other side where that would leave `area`.
QPoint ReadoutPlace(QPoint pointer, QSize size, QSize area);
