#include "spectrum/ShortTimeSpectrum.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include <fftw3.h>

namespace {

// FFTW's planner is not thread-safe and a plan is costly to make: one plan per length for
// the whole program, made under a lock, and given back when the program ends (so a leak check
// finds nothing). Executing a plan on other aligned arrays is safe from several threads.
class TPlans {
  public:
    ~TPlans() {
        for (auto& [length, plan] : Made)
            fftw_destroy_plan(plan);
    }
    fftw_plan For(int length) {
        std::lock_guard<std::mutex> guard(Lock);
        auto it = Made.find(length);
        if (it != Made.end())
            return it->second;
        double* in = fftw_alloc_real(std::size_t(length));
        fftw_complex* out = fftw_alloc_complex(std::size_t(length / 2 + 1));
        // Estimated, not measured: the same plan whatever the machine's load, so the same
        // bits for the same frame in the pyramid and when computed again for a zoomed view.
        fftw_plan plan = fftw_plan_dft_r2c_1d(length, in, out, FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
        fftw_free(in);
        fftw_free(out);
        Made.emplace(length, plan);
        return plan;
    }

  private:
    std::mutex Lock;
    std::map<int, fftw_plan> Made;
};

fftw_plan PlanFor(int length) {
    static TPlans plans;
    return plans.For(length);
}

} // namespace

TShortTimeSpectrum::TShortTimeSpectrum(int windowLength, TWindowKind window, double fullScale)
    : Length(std::max(windowLength, 2) & ~1), Window(WindowValues(window, Length)) {
    In = fftw_alloc_real(std::size_t(Length));
    Out = reinterpret_cast<std::complex<double>*>(fftw_alloc_complex(std::size_t(Bins())));
    Plan = PlanFor(Length);
    // A sine of amplitude A centred on bin k gives |X[k]| = A * N * gain / 2; 0 Hz and half
    // the rate have no mirror image, so a constant A gives |X[0]| = A * N * gain.
    const double edge = 1 / (double(Length) * CoherentGain(Window) * fullScale);
    EdgeScale = edge * edge;
    InnerScale = 4 * EdgeScale;
}

TShortTimeSpectrum::~TShortTimeSpectrum() {
    fftw_free(In);
    fftw_free(reinterpret_cast<fftw_complex*>(Out));
}

void TShortTimeSpectrum::Power(const double* frame, float* power) {
    for (int n = 0; n < Length; ++n)
        In[n] = frame[n] * Window[std::size_t(n)];
    fftw_execute_dft_r2c(static_cast<fftw_plan>(Plan), In, reinterpret_cast<fftw_complex*>(Out));
    const int last = Bins() - 1;
    for (int k = 0; k <= last; ++k) {
        const double scale = (k == 0 || k == last) ? EdgeScale : InnerScale;
        power[k] = float(std::norm(Out[k]) * scale);
    }
}

double PowerToDb(float power) {
    if (!(power > 0))
        return FloorDb;
    return std::max(10 * std::log10(double(power)), FloorDb);
}
