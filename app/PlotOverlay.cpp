#include "app/PlotOverlay.h"

#include "chart/interaction/Chart.h"

TPlotOverlay::TPlotOverlay(TChart& chart, const QString& name) : QWidget(&chart), Chart(chart) {
    setObjectName(chart.objectName() + name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
    // After each paint of the chart (a zoom, a pan, a load) the overlay moves with its scale.
    auto previous = chart.OnAfterDraw;
    chart.OnAfterDraw = [this, previous] {
        if (previous)
            previous();
        setGeometry(0, 0, Chart.width(), Chart.height());
        update();
    };
}

void TPlotOverlay::Cover(bool visible) {
    setGeometry(0, 0, Chart.width(), Chart.height());
    setVisible(visible);
    raise();
    update();
}
