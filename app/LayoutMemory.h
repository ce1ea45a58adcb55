#pragma once
// The window's layout (fixed, or sharing the window) and the shared column's width, kept
// across runs.

#include <QByteArray>

#include "app/WindowLayout.h"

TWindowLayout RememberedWindowLayout();
void RememberWindowLayout(TWindowLayout layout);

// The control column's width in a shared window; the default until one is kept.
int RememberedColumnWidth();
void RememberColumnWidth(int width);

// The shared window's size and place on the screen (QWidget::saveGeometry's bytes), so that a
// window made large opens large again; empty when none is kept. The fixed layout opens at its
// own place and size.
QByteArray RememberedSharedWindowPlace();
void RememberSharedWindowPlace(const QByteArray& place);
