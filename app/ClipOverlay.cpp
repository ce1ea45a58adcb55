#include "app/ClipOverlay.h"

#include <algorithm>
#include <climits>

#include <QPainter>

#include "chart/interaction/Chart.h"

namespace {

const QColor BandColour(255, 0, 0, 70);
const QColor MarkColour(230, 0, 0);
constexpr int LeastWidth = 3; // pixels: a run stays visible at every zoom
constexpr int MarkHeight = 6;

} // namespace

TClipOverlay::TClipOverlay(TChart& chart) : TPlotOverlay(chart, QStringLiteral("Clips")) {}

void TClipOverlay::SetMarks(std::vector<TClipMark> marks) {
    Shown = std::move(marks);
    Cover(!Shown.empty());
}

void TClipOverlay::paintEvent(QPaintEvent*) {
    const TRect& area = Chart.ChartRect();
    if (area.Right <= area.Left || area.Bottom <= area.Top || Shown.empty())
        return;
    const TChartAxis& axis = Chart.BottomAxis();
    QPainter painter(this);
    painter.setClipRect(QRect(area.Left, area.Top, area.Right - area.Left, area.Bottom - area.Top));
    // Only the runs in view, found by their frames; runs that fall in the same pixels are
    // drawn once.
    const double low = std::min(axis.Minimum(), axis.Maximum()) - 1;
    const auto first =
        std::lower_bound(Shown.begin(), Shown.end(), low, [](const TClipMark& m, double x) {
            return double(m.First + m.Length) < x;
        });
    int drawnTo = INT_MIN;
    for (auto m = first; m != Shown.end(); ++m) {
        int from = axis.PixelOfValue(double(m->First) + 1);
        int to = axis.PixelOfValue(double(m->First + m->Length) + 1);
        if (from > to)
            std::swap(from, to);
        if (from >= area.Right)
            break;
        if (to - from < LeastWidth) {
            const int middle = (from + to) / 2;
            from = middle - LeastWidth / 2;
            to = from + LeastWidth;
        }
        if (to <= drawnTo)
            continue;
        from = std::max(from, drawnTo);
        painter.fillRect(QRect(from, area.Top, to - from, area.Bottom - area.Top), BandColour);
        painter.fillRect(QRect(from, area.Bottom - MarkHeight, to - from, MarkHeight), MarkColour);
        drawnTo = to;
    }
}
