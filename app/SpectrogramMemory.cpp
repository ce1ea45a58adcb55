#include "app/SpectrogramMemory.h"

#include <cmath>
#include <limits>

#include <QSettings>

#include "app/Form1.h"
#include "app/SettingsPlace.h"

namespace {

QString Key(TPlotPlace place, const char* name) {
    return QStringLiteral("Spectrogram/%1/%2")
        .arg(place == ppUpper ? QStringLiteral("Upper") : QStringLiteral("Lower"),
             QLatin1String(name));
}

// The number stored under `key`; `fallback` when missing, not a number or out of range.
template <class TNumber>
TNumber NumberAt(const QSettings& s, const QString& key, TNumber fallback) {
    bool ok = false;
    const double value = s.value(key).toDouble(&ok);
    // A hand-edited 1e300 or nan would not convert safely.
    const bool fits = ok && std::isfinite(value) &&
                      value >= double(std::numeric_limits<TNumber>::lowest()) &&
                      value <= double(std::numeric_limits<TNumber>::max());
    return fits ? TNumber(value) : fallback;
}

template <class TKind>
TKind KindNamed(const QString& name, TKind fallback, std::initializer_list<TKind> kinds,
                const char* (*nameOf)(TKind)) {
    for (TKind kind : kinds)
        if (name == QLatin1String(nameOf(kind)))
            return kind;
    return fallback;
}

} // namespace

bool RememberedSpectrogramShown(TPlotPlace place) {
    return QSettings(SettingsOrganization, SettingsApplication)
        .value(Key(place, "Shown"), false)
        .toBool();
}

void RememberSpectrogramShown(TPlotPlace place, bool shown) {
    QSettings(SettingsOrganization, SettingsApplication).setValue(Key(place, "Shown"), shown);
}

TSpectrogramChoice RememberedSpectrogramChoice(TPlotPlace place) {
    const QSettings s(SettingsOrganization, SettingsApplication);
    TSpectrogramChoice c;
    c.WindowLength = NumberAt(s, Key(place, "WindowLength"), c.WindowLength);
    c.Window = KindNamed(s.value(Key(place, "Window")).toString(), c.Window,
                         {wkHann, wkHamming, wkBlackmanHarris, wkRectangular}, WindowName);
    c.HopDivisor = NumberAt(s, Key(place, "HopDivisor"), c.HopDivisor);
    c.TopDb = NumberAt(s, Key(place, "TopDb"), c.TopDb);
    c.BottomDb = NumberAt(s, Key(place, "BottomDb"), c.BottomDb);
    c.GainDb = NumberAt(s, Key(place, "GainDb"), c.GainDb);
    c.Scale = KindNamed(s.value(Key(place, "Scale")).toString(), c.Scale,
                        {fsLinear, fsLogarithmic, fsMel}, FrequencyScaleName);
    c.Colours = KindNamed(s.value(Key(place, "Colours")).toString(), c.Colours,
                          {cmViridis, cmMagma, cmCividis, cmGrey}, ColourMapName);
    return c.Checked();
}

void RememberSpectrogramChoice(TPlotPlace place, const TSpectrogramChoice& choice) {
    QSettings s(SettingsOrganization, SettingsApplication);
    s.setValue(Key(place, "WindowLength"), choice.WindowLength);
    s.setValue(Key(place, "Window"), QLatin1String(WindowName(choice.Window)));
    s.setValue(Key(place, "HopDivisor"), choice.HopDivisor);
    s.setValue(Key(place, "TopDb"), choice.TopDb);
    s.setValue(Key(place, "BottomDb"), choice.BottomDb);
    s.setValue(Key(place, "GainDb"), choice.GainDb);
    s.setValue(Key(place, "Scale"), QLatin1String(FrequencyScaleName(choice.Scale)));
    s.setValue(Key(place, "Colours"), QLatin1String(ColourMapName(choice.Colours)));
}

void RestoreSpectrogramMemory(TForm1& form) {
    for (TPlotPlace place : {ppUpper, ppLower}) {
        form.SetSpectrogramChoice(place, RememberedSpectrogramChoice(place));
        form.SetSpectrogramShown(place, RememberedSpectrogramShown(place));
    }
    form.OnSpectrogramShownChanged = RememberSpectrogramShown;
    form.OnSpectrogramChoiceChanged = RememberSpectrogramChoice;
}
