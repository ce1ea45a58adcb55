#pragma once
// How the spectrogram's height maps to frequency: a position 0 (bottom) to 1 (top) to hertz
// and back. The top is always half the sample rate; the bottom is 0 Hz for the linear and mel
// scales and `Lowest` for the logarithmic one (which cannot reach 0).

enum TFrequencyScaleKind { fsLinear, fsLogarithmic, fsMel };

class TFrequencyScale {
  public:
    TFrequencyScale() = default;
    // `lowest` is used by the logarithmic scale only; it is kept above 0 and below `nyquist`.
    TFrequencyScale(TFrequencyScaleKind kind, double nyquist, double lowest = 20);

    TFrequencyScaleKind Kind() const { return ScaleKind; }
    double Nyquist() const { return Top; }
    double Lowest() const { return Bottom; }

    double FrequencyAt(double position) const;
    double PositionOf(double frequency) const;

  private:
    TFrequencyScaleKind ScaleKind = fsLinear;
    double Top = 1;
    double Bottom = 0;
};

// The mel scale as the ear's pitch: 2595 log10(1 + f / 700).
double HertzToMel(double hertz);
double MelToHertz(double mel);
