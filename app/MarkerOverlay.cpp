#include "app/MarkerOverlay.h"

#include <algorithm>

#include <QPainter>

#include "chart/interaction/Chart.h"

namespace {

const QColor LineColour(200, 40, 40);
const QColor BandColour(255, 200, 60, 90);
const QColor LabelColour(150, 20, 20);

// The colour of a gradient at the top of what it fills.
TColor TopColour(const TPlotGradient& gradient) {
    return gradient.Direction() == gdBottomTop ? gradient.EndColor() : gradient.StartColor();
}

// The plot's background along its top, where the labels stand: the back wall's, or the
// panel's where the wall lets it through.
QColor BackgroundAtTop(TChart& chart) {
    const TChartWall& wall = chart.BackWall;
    TColor colour = chart.Color();
    if (!wall.Transparent())
        colour = wall.Gradient.Visible() ? TopColour(wall.Gradient) : wall.Color();
    else if (chart.HasGradient() && chart.Gradient().Visible())
        colour = TopColour(chart.Gradient());
    return QColor::fromRgb(chart.Canvas().ToRgb(colour));
}

} // namespace

TMarkerOverlay::TMarkerOverlay(TChart& chart) : TPlotOverlay(chart, QStringLiteral("Markers")) {}

void TMarkerOverlay::SetMarkers(std::vector<TPlotMarker> markers, std::uint64_t frames) {
    Shown = std::move(markers);
    FrameCount = frames;
    Cover(!Shown.empty());
}

QRect TMarkerOverlay::LabelRect(const TPlotMarker& marker) const {
    const TRect& area = Chart.ChartRect();
    if (marker.Label.empty() || marker.Frame >= FrameCount)
        return {};
    const int x = Chart.BottomAxis().PixelOfValue(double(marker.Frame) + 1);
    if (x < area.Left || x >= area.Right)
        return {};
    const QFontMetrics metrics(font());
    // From the pixel after the marker's line, one pixel of room each side of the text, as high
    // as the band of the regions.
    return QRect(x + 1, area.Top,
                 metrics.horizontalAdvance(QString::fromStdString(marker.Label)) + 2,
                 metrics.height() + 2);
}

void TMarkerOverlay::paintEvent(QPaintEvent*) {
    const TRect& area = Chart.ChartRect();
    if (area.Right <= area.Left || area.Bottom <= area.Top)
        return;
    const TChartAxis& axis = Chart.BottomAxis();
    QPainter painter(this);
    painter.setClipRect(QRect(area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top));
    const QFontMetrics metrics(font());
    // The labels stand on the plot's own background, so a dense waveform under them leaves them
    // readable; the bands of the regions go over that background as over the plot.
    const QColor background = BackgroundAtTop(Chart);
    for (const TPlotMarker& m : Shown)
        if (const QRect label = LabelRect(m); !label.isEmpty())
            painter.fillRect(label, background);
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
    }
    painter.setPen(LabelColour);
    for (const TPlotMarker& m : Shown)
        if (const QRect label = LabelRect(m); !label.isEmpty())
            painter.drawText(label.left() + 1, area.Top + metrics.ascent() + 1,
                             QString::fromStdString(m.Label));
}
