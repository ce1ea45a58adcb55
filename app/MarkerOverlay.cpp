#include "app/MarkerOverlay.h"

#include <algorithm>

#include <QPainter>

#include "chart/interaction/Chart.h"

namespace {

const QColor LineColour(200, 40, 40);
const QColor BandColour(255, 200, 60, 90);
const QColor LabelColour(150, 20, 20);

} // namespace

TMarkerOverlay::TMarkerOverlay(TChart& chart) : TPlotOverlay(chart, QStringLiteral("Markers")) {}

void TMarkerOverlay::SetMarkers(std::vector<TPlotMarker> markers, std::uint64_t frames) {
    Shown = std::move(markers);
    FrameCount = frames;
    Cover(!Shown.empty());
}

void TMarkerOverlay::paintEvent(QPaintEvent*) {
    const TRect& area = Chart.ChartRect();
    if (area.Right <= area.Left || area.Bottom <= area.Top)
        return;
    const TChartAxis& axis = Chart.BottomAxis();
    QPainter painter(this);
    painter.setClipRect(QRect(area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top));
    const QFontMetrics metrics(font());
    // Regions as a band along the top of the plot, where the labels stand, so the lines below
    // keep their colours; the marker lines and labels on top of it.
    const int bandHeight = metrics.height() + 2;
    for (const TPlotMarker& m : Shown) {
        if (m.Length == 0 || m.Frame >= FrameCount)
            continue;
        const int from = axis.PixelOfValue(double(m.Frame) + 1);
        const int to = axis.PixelOfValue(double(std::min(m.Frame + m.Length, FrameCount)) + 1);
        painter.fillRect(QRect(QPoint(std::min(from, to), area.Top),
                               QPoint(std::max(from, to), area.Top + bandHeight - 1)),
                         BandColour);
    }
    for (const TPlotMarker& m : Shown) {
        if (m.Frame >= FrameCount)
            continue; // listed in the panel, not drawn
        const int x = axis.PixelOfValue(double(m.Frame) + 1);
        if (x < area.Left || x >= area.Right)
            continue;
        painter.setPen(LineColour);
        painter.drawLine(x, area.Top, x, area.Bottom - 1);
        if (!m.Label.empty()) {
            painter.setPen(LabelColour);
            painter.drawText(x + 2, area.Top + metrics.ascent() + 1,
                             QString::fromStdString(m.Label));
        }
    }
}
