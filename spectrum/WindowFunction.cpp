#include "spectrum/WindowFunction.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

// Cosine-sum windows: w[n] = a0 - a1 cos(x) + a2 cos(2x) - a3 cos(3x), x = 2 pi n / N.
struct TCosineTerms {
    double A0, A1, A2, A3;
};

TCosineTerms TermsOf(TWindowKind kind) {
    switch (kind) {
    case wkHann:
        return {0.5, 0.5, 0, 0};
    case wkHamming:
        return {0.54, 0.46, 0, 0};
    case wkBlackmanHarris:
        return {0.35875, 0.48829, 0.14128, 0.01168};
    case wkRectangular:
        break;
    }
    return {1, 0, 0, 0};
}

} // namespace

std::vector<double> WindowValues(TWindowKind kind, int length) {
    std::vector<double> w(length > 0 ? std::size_t(length) : 0);
    const TCosineTerms t = TermsOf(kind);
    for (std::size_t n = 0; n < w.size(); ++n) {
        const double x = 2 * std::numbers::pi * double(n) / double(w.size());
        w[n] = t.A0 - t.A1 * std::cos(x) + t.A2 * std::cos(2 * x) - t.A3 * std::cos(3 * x);
    }
    return w;
}

double CoherentGain(const std::vector<double>& window) {
    if (window.empty())
        return 1;
    double sum = 0;
    for (double v : window)
        sum += v;
    return sum / double(window.size());
}

const char* WindowName(TWindowKind kind) {
    switch (kind) {
    case wkHann:
        return "Hann";
    case wkHamming:
        return "Hamming";
    case wkBlackmanHarris:
        return "Blackman-Harris";
    case wkRectangular:
        return "Rectangular";
    }
    return "Hann";
}

bool WindowFromName(const char* name, TWindowKind& kind) {
    for (TWindowKind k : {wkHann, wkHamming, wkBlackmanHarris, wkRectangular}) {
        if (std::strcmp(name, WindowName(k)) == 0) {
            kind = k;
            return true;
        }
    }
    return false;
}
