#include "app/PlotReadout.h"

#include <algorithm>
#include <cmath>

#include <QEnterEvent>
#include <QMouseEvent>

#include "app/NumberText.h"
#include "chart/interaction/Chart.h"
#include "samples/SampleStore.h"

namespace {

// The label's corner from the pointer: clear of a standard arrow cursor.
constexpr int OffsetX = 14, OffsetY = 18;

bool InsideHalfOpen(const TRect& r, QPoint p) {
    return p.x() >= r.Left && p.x() < r.Right && p.y() >= r.Top && p.y() < r.Bottom;
}

// Enough decimals that the times of two neighbouring frames differ: one per digit of the rate.
int TimeDecimals(std::uint32_t sampleRate) {
    int digits = 1;
    for (std::uint32_t r = sampleRate; r >= 10; r /= 10)
        ++digits;
    return digits;
}

} // namespace

int FrameAtPixel(const TChartAxis& axis, int x, int frameCount) {
    const double value = axis.ValueAtPixel(x);
    if (!(value >= 1))
        return 1;
    if (!(value <= frameCount))
        return frameCount;
    return int(std::lround(value));
}

QString ReadoutText(int frame, std::int32_t value, std::uint32_t sampleRate) {
    return ReadoutText(frame, QString::number(value), sampleRate);
}

QString ReadoutText(int frame, const QString& value, std::uint32_t sampleRate,
                    const QString& channel, int firstFrame) {
    return ReadoutText(frame, QString(), QStringLiteral("Value %1").arg(value), sampleRate, channel,
                       firstFrame);
}

QString ReadoutText(int frame, const QString& time, const QString& lines, std::uint32_t sampleRate,
                    const QString& channel, int firstFrame) {
    QString text = channel.isEmpty() ? QString() : channel + QLatin1Char('\n');
    text += QStringLiteral("Frame %1").arg(GroupedNumber(std::uint64_t(frame - 1 + firstFrame)));
    if (!time.isEmpty()) {
        text += QLatin1Char('\n') + time;
    } else if (sampleRate != 0) {
        const double seconds = double(frame - 1) / sampleRate;
        const QString secondsText = GroupedDecimal(seconds, TimeDecimals(sampleRate));
        text += QStringLiteral("\nTime %1 s").arg(secondsText);
    }
    if (!lines.isEmpty())
        text += QLatin1Char('\n') + lines;
    return text;
}

QPoint ReadoutPlace(QPoint pointer, QSize size, QSize area) {
    int x = pointer.x() + OffsetX, y = pointer.y() + OffsetY;
    if (x + size.width() > area.width())
        x = pointer.x() - OffsetX - size.width();
    if (y + size.height() > area.height())
        y = pointer.y() - size.height() - 2;
    return {std::max(0, x), std::max(0, y)};
}

TPlotReadout::TPlotReadout(TChart& chart, TReadoutSource source,
                           std::function<std::uint32_t()> sampleRate)
    : QLabel(&chart), Chart(chart), Source(std::move(source)), SampleRate(std::move(sampleRate)) {
    setObjectName(chart.objectName() + QStringLiteral("Readout"));
    // A tooltip's look; the pointer's events go to the chart beneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setTextFormat(Qt::PlainText);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setMargin(2);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);
    hide();
    // Moves without a button held come too.
    chart.setMouseTracking(true);
    chart.installEventFilter(this);
    // A paint may change the scale under a pointer that stays still (a key's zoom, a load):
    // the label follows once the paint is over.
    chart.OnAfterDraw = [this] {
        QMetaObject::invokeMethod(
            this, [this] { Refresh(); }, Qt::QueuedConnection);
    };
}

void TPlotReadout::SetSource(TReadoutSource source) {
    Source = std::move(source);
    Refresh();
}

void TPlotReadout::PointerAt(QPoint at) {
    PointerInside = true;
    LastPointer = at;
    Refresh();
}

void TPlotReadout::PointerGone() {
    PointerInside = false;
    hide();
}

void TPlotReadout::Refresh() {
    const int frames = Source.FrameCount ? Source.FrameCount() : 0;
    if (!PointerInside || frames < 1 || Chart.SeriesCount() < 1 ||
        !InsideHalfOpen(Chart.ChartRect(), LastPointer)) {
        hide();
        return;
    }
    const TChartAxis& axis = Chart.Axis(TAxisKind(Chart.Series(0)->HorizAxis));
    const int frame = FrameAtPixel(axis, LastPointer.x(), frames);
    const QString time = Source.TimeText && SampleRate() != 0 ? Source.TimeText(frame) : QString();
    const QString lines = Source.PointText
                              ? Source.PointText(LastPointer)
                              : QStringLiteral("Value %1").arg(Source.ValueText(frame));
    setText(ReadoutText(frame, time, lines, SampleRate(), Source.Channel, Source.FirstFrame));
    resize(sizeHint());
    move(ReadoutPlace(LastPointer, size(), Chart.size()));
    show();
}

bool TPlotReadout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &Chart) {
        switch (event->type()) {
        case QEvent::Enter:
            PointerAt(static_cast<QEnterEvent*>(event)->position().toPoint());
            break;
        case QEvent::MouseMove:
            PointerAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            break;
        case QEvent::Leave:
        case QEvent::Hide:
            PointerGone();
            break;
        default:
            break;
        }
    }
    return QLabel::eventFilter(watched, event);
}
