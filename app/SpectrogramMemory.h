#pragma once
// Each plot's spectrogram kept across runs: whether the plot shows one in the file's format
// view, and what it is drawn with. Stored by name, so a setting edited by hand or written by
// another version reads back as the default where it is not understood.

#include "app/PlotSettings.h"
#include "app/SpectrogramChoice.h"

class TForm1;

bool RememberedSpectrogramShown(TPlotPlace place);
void RememberSpectrogramShown(TPlotPlace place, bool shown);
TSpectrogramChoice RememberedSpectrogramChoice(TPlotPlace place);
void RememberSpectrogramChoice(TPlotPlace place, const TSpectrogramChoice& choice);

// Gives the window the remembered choices and keeps the user's changes from now on.
void RestoreSpectrogramMemory(TForm1& form);
