#include "report/KWeighting.h"

#include <cmath>
#include <numbers>

#include "report/CpuFeatures.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

TKWeighting KWeightingFilters(double sampleRate) {
    // Analog prototypes: a shelf of +4 dB above about 1.68 kHz and a second-order high-pass at
    // about 38 Hz. These corner frequencies, gains and Q give the standard's 48 kHz
    // coefficients back to within 1e-9 through the bilinear transform (tan pre-warping).
    const double shelfFrequency = 1681.974450955533;
    const double shelfGainDb = 3.999843853973347;
    const double shelfQ = 0.7071752369554196;
    const double highPassFrequency = 38.13547087602444;
    const double highPassQ = 0.5003270373238773;

    TKWeighting f;
    {
        const double k = std::tan(std::numbers::pi * shelfFrequency / sampleRate);
        const double vh = std::pow(10.0, shelfGainDb / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1.0 + k / shelfQ + k * k;
        f.Shelf.B0 = (vh + vb * k / shelfQ + k * k) / a0;
        f.Shelf.B1 = 2.0 * (k * k - vh) / a0;
        f.Shelf.B2 = (vh - vb * k / shelfQ + k * k) / a0;
        f.Shelf.A1 = 2.0 * (k * k - 1.0) / a0;
        f.Shelf.A2 = (1.0 - k / shelfQ + k * k) / a0;
    }
    {
        const double k = std::tan(std::numbers::pi * highPassFrequency / sampleRate);
        const double a0 = 1.0 + k / highPassQ + k * k;
        // The numerator is left as 1, -2, 1 (unit gain at the Nyquist frequency, not at the
        // pass band's top), as the standard's coefficients have it.
        f.HighPass.B0 = 1.0;
        f.HighPass.B1 = -2.0;
        f.HighPass.B2 = 1.0;
        f.HighPass.A1 = 2.0 * (k * k - 1.0) / a0;
        f.HighPass.A2 = (1.0 - k / highPassQ + k * k) / a0;
    }
    return f;
}

namespace {

// Direct form I: each stage's recursion waits on one multiply-add per sample (the newest output
// enters last), and the high-pass's input memory is the shelf's output memory.
void KWeightPlain(const TKWeighting& f, TKWeightState& s, const float* x, std::size_t count,
                  double& sum) {
    const TBiquad& a = f.Shelf;
    const TBiquad& b = f.HighPass;
    double acc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double in = x[i];
        const double y = a.B0 * in + a.B1 * s.X1 + a.B2 * s.X2 - a.A2 * s.Y2 - a.A1 * s.Y1;
        const double z = b.B0 * y + b.B1 * s.Y1 + b.B2 * s.Y2 - b.A2 * s.Z2 - b.A1 * s.Z1;
        s.X2 = s.X1;
        s.X1 = in;
        s.Y2 = s.Y1;
        s.Y1 = y;
        s.Z2 = s.Z1;
        s.Z1 = z;
        acc += z * z;
    }
    sum += acc;
}

#if defined(__x86_64__)
// Four channels at once, one per lane of a vector of doubles.
__attribute__((target("avx2,fma"))) void KWeightFour(const TKWeighting& f, TKWeightState* s[4],
                                                     const float* x[4], std::size_t count,
                                                     double sums[4]) {
    __m256d x1 = _mm256_set_pd(s[3]->X1, s[2]->X1, s[1]->X1, s[0]->X1);
    __m256d x2 = _mm256_set_pd(s[3]->X2, s[2]->X2, s[1]->X2, s[0]->X2);
    __m256d y1 = _mm256_set_pd(s[3]->Y1, s[2]->Y1, s[1]->Y1, s[0]->Y1);
    __m256d y2 = _mm256_set_pd(s[3]->Y2, s[2]->Y2, s[1]->Y2, s[0]->Y2);
    __m256d z1 = _mm256_set_pd(s[3]->Z1, s[2]->Z1, s[1]->Z1, s[0]->Z1);
    __m256d z2 = _mm256_set_pd(s[3]->Z2, s[2]->Z2, s[1]->Z2, s[0]->Z2);
    const __m256d sb0 = _mm256_set1_pd(f.Shelf.B0), sb1 = _mm256_set1_pd(f.Shelf.B1),
                  sb2 = _mm256_set1_pd(f.Shelf.B2), sa1 = _mm256_set1_pd(f.Shelf.A1),
                  sa2 = _mm256_set1_pd(f.Shelf.A2);
    const __m256d hb0 = _mm256_set1_pd(f.HighPass.B0), hb1 = _mm256_set1_pd(f.HighPass.B1),
                  hb2 = _mm256_set1_pd(f.HighPass.B2), ha1 = _mm256_set1_pd(f.HighPass.A1),
                  ha2 = _mm256_set1_pd(f.HighPass.A2);
    __m256d acc = _mm256_setzero_pd();
    for (std::size_t i = 0; i < count; ++i) {
        const __m256d in = _mm256_cvtps_pd(_mm_set_ps(x[3][i], x[2][i], x[1][i], x[0][i]));
        __m256d t = _mm256_mul_pd(sb0, in);
        t = _mm256_fmadd_pd(sb1, x1, t);
        t = _mm256_fmadd_pd(sb2, x2, t);
        t = _mm256_fnmadd_pd(sa2, y2, t);
        const __m256d y = _mm256_fnmadd_pd(sa1, y1, t);
        __m256d u = _mm256_mul_pd(hb0, y);
        u = _mm256_fmadd_pd(hb1, y1, u);
        u = _mm256_fmadd_pd(hb2, y2, u);
        u = _mm256_fnmadd_pd(ha2, z2, u);
        const __m256d z = _mm256_fnmadd_pd(ha1, z1, u);
        x2 = x1;
        x1 = in;
        y2 = y1;
        y1 = y;
        z2 = z1;
        z1 = z;
        acc = _mm256_fmadd_pd(z, z, acc);
    }
    alignas(32) double out[6][4];
    _mm256_store_pd(out[0], x1);
    _mm256_store_pd(out[1], x2);
    _mm256_store_pd(out[2], y1);
    _mm256_store_pd(out[3], y2);
    _mm256_store_pd(out[4], z1);
    _mm256_store_pd(out[5], z2);
    alignas(32) double total[4];
    _mm256_store_pd(total, acc);
    for (int lane = 0; lane < 4; ++lane) {
        *s[lane] = {out[0][lane], out[1][lane], out[2][lane],
                    out[3][lane], out[4][lane], out[5][lane]};
        sums[lane] += total[lane];
    }
}

#endif

} // namespace

void KWeightSquares(const TKWeighting& filters, TKWeightState* states, const float* const* samples,
                    int channels, std::size_t count, double* sums) {
#if defined(__x86_64__)
    if (HasAvx2Fma()) {
        for (int first = 0; first < channels; first += 4) {
            // A group of fewer than four fills its spare lanes with a copy of its first
            // channel, whose results go to a scratch state.
            TKWeightState spare[4];
            TKWeightState* s[4];
            const float* x[4];
            double groupSums[4] = {};
            for (int lane = 0; lane < 4; ++lane) {
                const bool used = first + lane < channels;
                s[lane] = used ? &states[first + lane] : &spare[lane];
                x[lane] = samples[used ? first + lane : first];
            }
            KWeightFour(filters, s, x, count, groupSums);
            for (int lane = 0; lane < 4 && first + lane < channels; ++lane)
                sums[first + lane] += groupSums[lane];
        }
        return;
    }
#endif
    for (int c = 0; c < channels; ++c)
        KWeightPlain(filters, states[c], samples[c], count, sums[c]);
}
