#include "chart/panel/TimeLabelRule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::int64_t Micro = 1'000'000;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

TTimeLabelRule::TTimeLabelRule(TTimeFormat format, std::uint32_t rate, double offset, int fps)
    : Format(format), Rate(rate == 0 ? 1 : rate), Offset(offset), Fps(fps <= 0 ? 25 : fps) {}

double TTimeLabelRule::SecondsAt(double frame) const {
    return (frame - 1) / Rate + Offset;
}

double TTimeLabelRule::FrameAt(double seconds) const {
    return (seconds - Offset) * Rate + 1;
}

std::vector<std::int64_t> TTimeLabelRule::Steps() const {
    std::vector<std::int64_t> steps;
    if (Format == tfTimecode) {
        // In microseconds too: whole timecode frames, then whole seconds.
        for (int frames : {1, 2, 5, 10})
            if (frames < Fps)
                steps.push_back(std::int64_t(frames) * Micro / Fps);
    } else {
        for (std::int64_t step = 10; step < Micro; step *= 10)
            for (std::int64_t k : {1, 2, 5})
                steps.push_back(step * k);
    }
    for (std::int64_t seconds : {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200,
                                 10800, 21600, 43200, 86400})
        steps.push_back(seconds * Micro);
    return steps;
}

int TTimeLabelRule::DecimalsFor(std::int64_t step) const {
    if (step % Micro == 0)
        return 0;
    if (step % 100'000 == 0)
        return 1;
    if (step % 10'000 == 0)
        return 2;
    if (step % 1'000 == 0)
        return 3;
    return 6;
}

std::string TTimeLabelRule::TextOfMicros(std::int64_t micros, int decimals) const {
    // A time in microseconds has six digits of the second, no more.
    constexpr int MostDecimals = 6;
    decimals = std::clamp(decimals, 0, MostDecimals);
    const bool negative = micros < 0;
    std::uint64_t t = negative ? 0 - std::uint64_t(micros) : std::uint64_t(micros);
    char text[64];
    if (Format == tfTimecode) {
        const std::uint64_t frames = (t * std::uint64_t(Fps) + Micro / 2) / Micro;
        const std::uint64_t seconds = frames / std::uint64_t(Fps);
        std::snprintf(text, sizeof text, "%s%02llu:%02llu:%02llu:%02llu", negative ? "-" : "",
                      static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned long long>(seconds / 60 % 60),
                      static_cast<unsigned long long>(seconds % 60),
                      static_cast<unsigned long long>(frames % std::uint64_t(Fps)));
        return text;
    }
    std::uint64_t scale = 1;
    for (int i = decimals; i < MostDecimals; ++i)
        scale *= 10;
    t = (t + scale / 2) / scale; // rounded to the digits shown
    std::uint64_t unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    const std::uint64_t seconds = t / unit;
    // The fraction's digits, leading zeros kept: at most six, after the point.
    char digits[MostDecimals + 2] = "";
    if (decimals > 0) {
        digits[0] = '.';
        std::uint64_t fraction = t % unit;
        for (int i = decimals; i >= 1; --i, fraction /= 10)
            digits[i] = char('0' + fraction % 10);
        digits[decimals + 1] = '\0';
    }
    const char* sign = negative && t != 0 ? "-" : "";
    if (Format == tfSeconds) {
        std::snprintf(text, sizeof text, "%s%llu%s", sign, static_cast<unsigned long long>(seconds),
                      digits);
    } else if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%s%llu:%02llu:%02llu%s", sign,
                      static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned long long>(seconds / 60 % 60),
                      static_cast<unsigned long long>(seconds % 60), digits);
    } else {
        std::snprintf(text, sizeof text, "%s%llu:%02llu%s", sign,
                      static_cast<unsigned long long>(seconds / 60),
                      static_cast<unsigned long long>(seconds % 60), digits);
    }
    return text;
}

std::string TTimeLabelRule::Text(double value) const {
    const double seconds = SecondsAt(value);
    return TextOfMicros(std::llround(seconds * Micro), DecimalsFor(LastStep));
}

std::vector<double>
TTimeLabelRule::Ticks(double minimum, double maximum, int pixels,
                      const std::function<int(const std::string&)>& width) const {
    std::vector<double> ticks;
    if (!(maximum > minimum) || pixels <= 0)
        return ticks;
    const double from = SecondsAt(minimum), to = SecondsAt(maximum);
    const double span = (to - from) * Micro;
    for (std::int64_t step : Steps()) {
        const double count = span / double(step);
        if (count > 10000)
            continue;
        // The widest label of this step, with room for a gap as wide as two digits.
        const int decimals = DecimalsFor(step);
        const int widest = std::max(width(TextOfMicros(std::llround(to * Micro), decimals)),
                                    width(TextOfMicros(std::llround(from * Micro), decimals))) +
                           width("00");
        if (count * widest > pixels && step != Steps().back())
            continue;
        LastStep = step;
        const std::int64_t first = FloorDiv(std::int64_t(std::ceil(from * Micro)) + step - 1, step);
        const std::int64_t last = FloorDiv(std::int64_t(std::floor(to * Micro)), step);
        for (std::int64_t k = first; k <= last; ++k)
            ticks.push_back(FrameAt(double(k * step) / Micro));
        return ticks;
    }
    return ticks;
}
