#pragma once
// Saves and loads, through QSettings, whether each plot shows a spectrogram and with which
// settings. Values are stored as names, so an unknown or hand-edited value loads as the
// default.

#include "app/PlotSettings.h"
#include "app/SpectrogramChoice.h"

class TForm1;

bool RememberedSpectrogramShown(TPlotPlace place);
void RememberSpectrogramShown(TPlotPlace place, bool shown);
TSpectrogramChoice RememberedSpectrogramChoice(TPlotPlace place);
void RememberSpectrogramChoice(TPlotPlace place, const TSpectrogramChoice& choice);

// Applies the saved settings to the window and saves each later change the user makes.
void RestoreSpectrogramMemory(TForm1& form);
