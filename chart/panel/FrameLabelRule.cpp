#include "chart/panel/FrameLabelRule.h"

#include <cmath>

#include <QLocale>

std::string TFrameLabelRule::Text(double value) const {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(std::llround(value) - 1 + FirstFrame).toStdString();
}

std::vector<double>
TFrameLabelRule::Ticks(double minimum, double maximum, int pixels,
                       const std::function<int(const std::string&)>& width) const {
    std::vector<double> ticks;
    if (!(maximum > minimum) || pixels <= 0 || !std::isfinite(maximum - minimum))
        return ticks;
    // The frames' names at the ends of the range.
    const double from = minimum - 1 + double(FirstFrame), to = maximum - 1 + double(FirstFrame);
    // The widest label, with room for a gap as wide as two digits.
    const int widest = std::max(width(Text(minimum)), width(Text(maximum))) + width("00");
    double step = 1;
    for (int i = 0; (to - from) / step * widest > pixels && i < 60; ++i)
        step *= (i % 3 == 1) ? 2.5 : 2; // 1, 2, 5, 10, 20, 50, ...
    for (double k = std::ceil(from / step); k * step <= to; ++k)
        ticks.push_back(k * step + 1 - double(FirstFrame));
    return ticks;
}
