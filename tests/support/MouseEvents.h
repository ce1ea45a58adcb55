#pragma once
// Mouse events sent straight to a widget, as the window system would deliver them.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

inline void SendButton(QWidget& widget, QEvent::Type type, Qt::MouseButton button, int x, int y) {
    const QPointF at(x, y);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, at, at, button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

inline void SendMove(QWidget& widget, Qt::MouseButtons held, int x, int y) {
    const QPointF at(x, y);
    QMouseEvent event(QEvent::MouseMove, at, at, Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}
