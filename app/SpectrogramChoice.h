#pragma once
// The settings one plot's spectrogram is drawn with. Window type, window length and hop
// decide the spectra, so changing them computes the spectra again; levels, frequency scale
// and colours only change how the same spectra are painted.

#include "spectrum/ColourMap.h"
#include "spectrum/FrequencyScale.h"
#include "spectrum/LevelRange.h"
#include "spectrum/SpectrumSettings.h"

struct TSpectrogramChoice {
    int WindowLength = 2048; // 256 to 32768, a power of two
    TWindowKind Window = wkHann;
    int HopDivisor = 2;     // the hop is the window's length divided by this: 1, 2, 4 or 8
    double TopDb = 0;       // brightest
    double BottomDb = -120; // darkest
    double GainDb = 0;
    TFrequencyScaleKind Scale = fsLinear;
    TColourMapKind Colours = cmViridis;

    bool operator==(const TSpectrogramChoice&) const = default;
    // The same spectra: only the drawing differs.
    bool SameSpectra(const TSpectrogramChoice& other) const {
        return WindowLength == other.WindowLength && Window == other.Window &&
               HopDivisor == other.HopDivisor;
    }
    TLevelRange Levels() const { return {TopDb, BottomDb, GainDb}; }
    int HopFrames() const { return WindowLength / HopDivisor; }
    // The settings the spectra are computed with for samples whose full scale is `fullScale`.
    TSpectrumSettings Spectrum(double fullScale) const {
        TSpectrumSettings s;
        s.WindowLength = WindowLength;
        s.Window = Window;
        s.Hop = HopFrames();
        s.FullScale = fullScale;
        return s;
    }
    // The same settings clamped to usable values: a power-of-two length from 256 to 32768, a
    // hop divisor of 1, 2, 4 or 8, and at least 1 dB between top and bottom.
    TSpectrogramChoice Checked() const;
};

// The names the menu shows and QSettings stores.
const char* FrequencyScaleName(TFrequencyScaleKind kind);
