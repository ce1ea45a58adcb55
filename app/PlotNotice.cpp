#include "app/PlotNotice.h"

#include <QPainter>

#include "chart/interaction/Chart.h"

TPlotNotice::TPlotNotice(TChart& chart, const QString& name) : TPlotOverlay(chart, name) {}

void TPlotNotice::SetText(const QString& text) {
    Shown = text;
    Cover(!Shown.isEmpty());
}

void TPlotNotice::paintEvent(QPaintEvent*) {
    const TRect& r = Chart.ChartRect();
    QRect area(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    if (area.isEmpty())
        area = rect();
    QPainter painter(this);
    const QRect text = painter.fontMetrics()
                           .boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, Shown)
                           .adjusted(-6, -4, 6, 4);
    painter.fillRect(text, palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawRect(text.adjusted(0, 0, -1, -1));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, Shown);
}
