#include "app/FrequencyLabelRule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Decimals that show `value` exactly enough for steps of `step` (both in one unit).
int DecimalsFor(double value, double step) {
    for (int d = 0; d < 4; ++d) {
        const double scaled = (step > 0 ? step : value) * std::pow(10, d);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6)
            return d;
    }
    return 3;
}

// 1, 2, 5 x 10^k from 1 Hz up, beyond `highest`.
std::vector<double> RoundSteps(double highest) {
    std::vector<double> steps;
    for (double decade = 1; decade <= std::max(highest, 1.0) * 10; decade *= 10)
        for (double m : {1.0, 2.0, 5.0})
            steps.push_back(m * decade);
    return steps;
}

} // namespace

std::string FrequencyText(double hertz, double step) {
    char text[32];
    if (std::fabs(hertz) < 1000) {
        const double rounded = std::round(hertz * 1000) / 1000;
        std::snprintf(text, sizeof text, "%.*f Hz", DecimalsFor(rounded, step), rounded);
    } else {
        const double khz = hertz / 1000;
        const double rounded = std::round(khz * 1000) / 1000;
        std::snprintf(text, sizeof text, "%.*f kHz",
                      DecimalsFor(rounded, step > 0 ? step / 1000 : 0), rounded);
    }
    return text;
}

std::string TFrequencyLabelRule::Text(double position) const {
    return FrequencyText(Scale.FrequencyAt(std::clamp(position, 0.0, 1.0)));
}

std::vector<double>
TFrequencyLabelRule::Ticks(double minimum, double maximum, int pixels,
                           const std::function<int(const std::string&)>& width) const {
    std::vector<double> ticks;
    if (!(maximum > minimum) || pixels <= 0 || !std::isfinite(maximum - minimum))
        return ticks;
    const double low = Scale.FrequencyAt(std::clamp(minimum, 0.0, 1.0));
    const double high = Scale.FrequencyAt(std::clamp(maximum, 0.0, 1.0));
    const double pixelsPerPosition = pixels / (maximum - minimum);
    const int room = width(FrequencyText(high)) + width("0");
    // Keeps the labels from the top down that do not touch the one above.
    const auto apart = [&](const std::vector<double>& positions, bool& crowded) {
        std::vector<double> kept;
        double lastPixel = 1e300;
        crowded = false;
        for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
            const double pixel = *it * pixelsPerPosition;
            if (lastPixel - pixel >= room) {
                kept.push_back(*it);
                lastPixel = pixel;
            } else {
                crowded = true;
            }
        }
        std::reverse(kept.begin(), kept.end());
        return kept;
    };
    bool crowded = false;
    if (Scale.Kind() == fsLogarithmic) {
        // 1, 2 and 5 of each decade where they keep apart, else the decades alone, else every
        // second or third decade.
        struct TTier {
            std::vector<double> Multiples;
            int EveryDecade;
        };
        const TTier tiers[] = {{{1, 2, 5}, 1}, {{1}, 1}, {{1}, 2}, {{1}, 3}};
        std::vector<double> kept;
        for (const TTier& tier : tiers) {
            std::vector<double> positions;
            int decade = 0;
            for (double power = 1; power <= high; power *= 10, ++decade)
                if (decade % tier.EveryDecade == 0)
                    for (double m : tier.Multiples)
                        if (m * power >= low && m * power <= high)
                            positions.push_back(Scale.PositionOf(m * power));
            kept = apart(positions, crowded);
            if (!crowded)
                break;
        }
        return kept;
    }
    // Multiples of a round step: the finest whose labels keep apart.
    for (double step : RoundSteps(high - low)) {
        if ((high - low) / step > pixels)
            continue;
        std::vector<double> positions;
        for (double k = std::ceil(low / step); k * step <= high * (1 + 1e-12); ++k)
            positions.push_back(Scale.PositionOf(k * step));
        std::vector<double> kept = apart(positions, crowded);
        if (!crowded)
            return kept;
    }
    return ticks;
}
