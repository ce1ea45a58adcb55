#include "app/ViewMemory.h"

#include <QSettings>

#include "app/SettingsPlace.h"

namespace {

constexpr auto AsFormatKey = "View/AsFormat";
constexpr auto LinkXKey = "View/LinkHorizontal";
constexpr auto LinkYKey = "View/LinkVertical";

} // namespace

bool RememberedAsFormat() {
    return QSettings(SettingsOrganization, SettingsApplication).value(AsFormatKey, false).toBool();
}

void RememberAsFormat(bool asFormat) {
    QSettings(SettingsOrganization, SettingsApplication).setValue(AsFormatKey, asFormat);
}

std::pair<bool, bool> RememberedLinks() {
    const QSettings settings(SettingsOrganization, SettingsApplication);
    return {settings.value(LinkXKey, false).toBool(), settings.value(LinkYKey, false).toBool()};
}

void RememberLinks(bool horizontal, bool vertical) {
    QSettings settings(SettingsOrganization, SettingsApplication);
    settings.setValue(LinkXKey, horizontal);
    settings.setValue(LinkYKey, vertical);
}
