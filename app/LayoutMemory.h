#pragma once
// The window's layout (fixed, or sharing the window) and the shared column's width, kept
// across runs.

#include "app/WindowLayout.h"

TWindowLayout RememberedWindowLayout();
void RememberWindowLayout(TWindowLayout layout);

// The control column's width in a shared window; the default until one is kept.
int RememberedColumnWidth();
void RememberColumnWidth(int width);
