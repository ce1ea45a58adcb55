#include "spectrum/FrequencyScale.h"

#include <algorithm>
#include <cmath>

TFrequencyScale::TFrequencyScale(TFrequencyScaleKind kind, double nyquist, double lowest)
    : ScaleKind(kind), Top(nyquist > 0 ? nyquist : 1) {
    if (kind == fsLogarithmic)
        Bottom = std::clamp(lowest, Top * 1e-6, Top / 2);
}

double TFrequencyScale::FrequencyAt(double position) const {
    switch (ScaleKind) {
    case fsLinear:
        break;
    case fsLogarithmic:
        return Bottom * std::pow(Top / Bottom, position);
    case fsMel:
        return MelToHertz(position * HertzToMel(Top));
    }
    return position * Top;
}

double TFrequencyScale::PositionOf(double frequency) const {
    switch (ScaleKind) {
    case fsLinear:
        break;
    case fsLogarithmic:
        return std::log(std::max(frequency, Bottom * 1e-3) / Bottom) / std::log(Top / Bottom);
    case fsMel:
        return HertzToMel(frequency) / HertzToMel(Top);
    }
    return frequency / Top;
}

// The mel scale: pitch as listeners hear it, close to linear below 700 Hz and logarithmic above.
double HertzToMel(double hertz) {
    return 2595 * std::log10(1 + hertz / 700);
}

double MelToHertz(double mel) {
    return 700 * (std::pow(10, mel / 2595) - 1);
}
