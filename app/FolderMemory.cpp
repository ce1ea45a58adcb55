#include "app/FolderMemory.h"

#include <QSettings>

#include "app/SettingsPlace.h"

namespace {

constexpr auto FolderKey = "OpenDialog/Folder";

} // namespace

QString RememberedFolder() {
    return QSettings(SettingsOrganization, SettingsApplication).value(FolderKey).toString();
}

void RememberFolder(const QString& folder) {
    QSettings(SettingsOrganization, SettingsApplication).setValue(FolderKey, folder);
}
