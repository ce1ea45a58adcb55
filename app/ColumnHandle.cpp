#include "app/ColumnHandle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

TColumnHandle::TColumnHandle(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ColumnHandle"));
    setCursor(Qt::SplitHCursor);
    setToolTip(QStringLiteral("Drag to widen the column"));
}

void TColumnHandle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    option.state |= QStyle::State_Horizontal;
    if (Dragging)
        option.state |= QStyle::State_Sunken;
    style()->drawControl(QStyle::CE_Splitter, &option, &painter, this);
}

void TColumnHandle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    Dragging = true;
    StartX = int(event->globalPosition().x());
    StartWidth = ColumnWidth ? ColumnWidth() : 0;
    update();
}

void TColumnHandle::mouseMoveEvent(QMouseEvent* event) {
    if (!Dragging || !OnDragged)
        return;
    OnDragged(StartWidth + int(event->globalPosition().x()) - StartX);
}

void TColumnHandle::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !Dragging)
        return;
    Dragging = false;
    update();
    if (OnDropped)
        OnDropped();
}
