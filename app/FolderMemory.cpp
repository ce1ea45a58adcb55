#include "FolderMemory.h"

#include <QSettings>

namespace {

constexpr auto Organization = "RiffScope";
constexpr auto Application = "riffscope";
constexpr auto FolderKey = "OpenDialog/Folder";

} // namespace

QString RememberedFolder() {
    return QSettings(Organization, Application).value(FolderKey).toString();
}

void RememberFolder(const QString& folder) {
    QSettings(Organization, Application).setValue(FolderKey, folder);
}
