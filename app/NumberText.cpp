#include "app/NumberText.h"

#include <QLocale>

namespace {

QLocale GroupingLocale() {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

QString GroupedNumber(std::uint64_t value) {
    return GroupingLocale().toString(static_cast<qulonglong>(value));
}

QString GroupedDecimal(double value, int decimals) {
    return GroupingLocale().toString(value, 'f', decimals);
}
