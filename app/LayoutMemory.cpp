#include "app/LayoutMemory.h"

#include <QSettings>

#include "app/SettingsPlace.h"

namespace {

constexpr auto ShareKey = "Layout/ShareWindow";
constexpr auto ColumnWidthKey = "Layout/ColumnWidth";
constexpr auto WindowPlaceKey = "Layout/SharedWindowPlace";

} // namespace

TWindowLayout RememberedWindowLayout() {
    const QSettings settings(SettingsOrganization, SettingsApplication);
    return settings.value(ShareKey, false).toBool() ? wlShare : wlFixed;
}

void RememberWindowLayout(TWindowLayout layout) {
    QSettings(SettingsOrganization, SettingsApplication).setValue(ShareKey, layout == wlShare);
}

int RememberedColumnWidth() {
    const QSettings settings(SettingsOrganization, SettingsApplication);
    bool isNumber = false;
    const int width = settings.value(ColumnWidthKey).toInt(&isNumber);
    return isNumber && width > 0 ? width : DefaultSharedColumnWidth;
}

void RememberColumnWidth(int width) {
    QSettings(SettingsOrganization, SettingsApplication).setValue(ColumnWidthKey, width);
}

QByteArray RememberedSharedWindowPlace() {
    return QSettings(SettingsOrganization, SettingsApplication).value(WindowPlaceKey).toByteArray();
}

void RememberSharedWindowPlace(const QByteArray& place) {
    QSettings(SettingsOrganization, SettingsApplication).setValue(WindowPlaceKey, place);
}
