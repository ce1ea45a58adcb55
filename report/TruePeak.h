#pragma once
// The peak of the signal between its samples: the samples interpolated at 4x (2x from 96 kHz,
// none from 192 kHz, where the samples already lie close enough together) by a polyphase FIR,
// and the largest magnitude of the samples and the values between them.

#include <cstddef>
#include <vector>

class TTruePeakFilter {
  public:
    // Samples a phase looks at: phase p computed at sample n uses samples n-Taps+1 .. n and
    // gives the value Taps/2 - p/factor samples before sample n.
    static constexpr int Taps = 16;
    static constexpr int History = Taps - 1;

    explicit TTruePeakFilter(double sampleRate = 48000);
    int Factor() const { return FactorValue; }

    // The largest magnitude of x[0..count) and of the values interpolated from x; x[-History..-1]
    // must be the samples before (zeros at the file's start), and all finite. AVX2 and FMA
    // where the CPU has them, plain code otherwise (equal within float rounding).
    float Peak(const float* x, std::size_t count) const;

    // Phase p (1 .. Factor-1) tap m, applied to x[n-m]; phase 0 is the sample itself.
    float Tap(int phase, int m) const { return Coefficients[std::size_t((phase - 1) * Taps + m)]; }

  private:
    int FactorValue = 4;
    std::vector<float> Coefficients; // (Factor-1) x Taps
};

// The oversampling a rate needs: 4 below 96 kHz, 2 below 192 kHz, 1 from there on.
int TruePeakFactor(double sampleRate);
