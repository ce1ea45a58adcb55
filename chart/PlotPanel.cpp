#include "PlotPanel.h"

#include <QPainter>
#include <QPaintEvent>

TCustomPanelNoCaption::TCustomPanelNoCaption(QWidget* parent) : QWidget(parent) {}

TCustomPlotPanel::TCustomPlotPanel(QWidget* parent) : TCustomPanelNoCaption(parent) {
    // The panel paints every pixel itself: no background erase, so no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TCustomPlotPanel::Invalidate() {
    if (!CanRepaint || IsBufferDirty)
        return;
    IsBufferDirty = true;
    update();
}

void TCustomPlotPanel::Draw(QImage& picture) { picture.fill(palette().color(QPalette::Button)); }

void TCustomPlotPanel::paintEvent(QPaintEvent*) {
    if (IsBufferDirty || Picture.size() != size()) {
        if (Picture.size() != size())
            Picture = QImage(size(), QImage::Format_RGB32);
        CanRepaint = false;
        Draw(Picture);
        ++Draws;
        CanRepaint = true;
        IsBufferDirty = false;
    }
    QPainter screen(this);
    screen.drawImage(0, 0, Picture);
}

void TCustomPlotPanel::resizeEvent(QResizeEvent* event) {
    IsBufferDirty = true;
    QWidget::resizeEvent(event);
}
