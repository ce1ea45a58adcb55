#include "ViewMemory.h"

#include <QSettings>

#include "SettingsPlace.h"

namespace {

constexpr auto AsFormatKey = "View/AsFormat";

} // namespace

bool RememberedAsFormat() {
    return QSettings(SettingsOrganization, SettingsApplication).value(AsFormatKey, false).toBool();
}

void RememberAsFormat(bool asFormat) {
    QSettings(SettingsOrganization, SettingsApplication).setValue(AsFormatKey, asFormat);
}
