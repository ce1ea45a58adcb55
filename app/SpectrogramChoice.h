#pragma once
// What a plot's spectrogram is drawn with, as the user chooses it in the plot's menu. The
// window, its length and the hop make the spectra (a change builds them again); the levels,
// the scale and the colours only change how they are drawn.

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
    // Kept within what can be drawn: lengths a power of two in range, a known divisor, a
    // level range of at least 1 dB.
    TSpectrogramChoice Checked() const;
};

// Names shown in the menu and kept in the settings.
const char* FrequencyScaleName(TFrequencyScaleKind kind);
