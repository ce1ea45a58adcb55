#pragma once
// The power spectrum of one frame of a channel, relative to full scale. One object per
// thread: it owns the frame and transform buffers; the transform plans are shared.

#include <complex>
#include <vector>

#include "spectrum/WindowFunction.h"

class TShortTimeSpectrum {
  public:
    // `fullScale` is the value that is 0 dBFS (2^(bits-1) for integers, 1 for floats).
    TShortTimeSpectrum(int windowLength, TWindowKind window, double fullScale);
    ~TShortTimeSpectrum();
    TShortTimeSpectrum(const TShortTimeSpectrum&) = delete;
    TShortTimeSpectrum& operator=(const TShortTimeSpectrum&) = delete;

    int WindowLength() const { return Length; }
    // Bins from 0 Hz to half the sample rate: WindowLength / 2 + 1.
    int Bins() const { return Length / 2 + 1; }

    // The power of each bin of the frame `frame[0..WindowLength-1]` into `power[0..Bins-1]`,
    // scaled so that a full-scale sine centred on a bin reads 1 there (and a full-scale
    // constant reads 1 at 0 Hz). Powers rather than decibels: the maxima the pyramid keeps
    // commute with the logarithm, which is then taken once per pixel instead of per bin.
    void Power(const double* frame, float* power);

  private:
    int Length;
    std::vector<double> Window;
    double* In = nullptr;                // FFTW-aligned, so every execution matches the plan
    std::complex<double>* Out = nullptr; // likewise
    void* Plan = nullptr;
    double EdgeScale = 1, InnerScale = 1; // squared amplitude normalisations
};

// Decibels relative to full scale of a power from Power(); silence reads FloorDb.
constexpr double FloorDb = -300;
double PowerToDb(float power);
