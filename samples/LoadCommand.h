#pragma once
// The body of the Load command: after the open dialog, read the chosen file, then decode its
// data chunk frame by frame into the store and the two plots' series.

#include <cstdint>
#include <string>

#include "ReadWaveFile.h"
#include "SampleStore.h"

class TChartSeries;

struct TLoadResult {
    bool FileChosen = false;
    std::uint16_t Status = 0;         // the reader's status, when a file was chosen
    int FramesLoaded = 0;             // frames now in the store (SampleCount)
    std::uint64_t FramesLeftOut = 0;  // frames beyond the store's capacity, not loaded
};

// `fileChosen` and `dialogFileName` are what the open dialog gave. The series may be null
// where there are no plots (the command-line companion loads only the store). WaveFileName takes the
// dialog's name in every case. A cancel changes nothing else; a read that did not end wsOk
// empties both series and the store, so that no export can write one file's samples under
// another file's name.
// At most `frameLimit` frames (never more than MaxFrames) are loaded; the rest are counted in
// FramesLeftOut.
TLoadResult RunLoadCommand(bool fileChosen, const std::string& dialogFileName,
                           const TWaveLog& Log, TChartSeries* Series1, TChartSeries* Series2,
                           int frameLimit = MaxFrames);

// Decodes 4-byte frames (left then right, signed 16-bit little-endian) into store entries
// 1..n and the series, where n = min(frames, frameLimit, MaxFrames). Returns n.
int DecodeFrames(const std::uint8_t* bytes, std::uint64_t frames, TChartSeries* Series1,
                 TChartSeries* Series2, int frameLimit = MaxFrames);
