#pragma once
// The open dialog's folder, kept across runs in the program's own per-user settings (apart
// from the charts' palette setting).

#include <QString>

QString RememberedFolder();
void RememberFolder(const QString& folder);
