#pragma once
// The program-wide store of the last loaded file's two channels. Static storage, reserved
// once for the program's lifetime and zero until a load writes to it; never resized.

#include <cstdint>
#include <string>

constexpr int MaxFrames = 100'000'000;

// Frames held by the store; entries 1..SampleCount of each array are meaningful.
extern int SampleCount;
// Indexed 1..MaxFrames; entry 0 is never used.
extern std::int32_t LeftSamples[MaxFrames + 1];
extern std::int32_t RightSamples[MaxFrames + 1];
// The file name last taken from the open dialog; names the export.
extern std::string WaveFileName;

// Asks for huge pages on the parts of the store that a load of `frames` frames will write
// (the store is untouched at start-up, so its first fill is all page faults).
void PrepareStoreForFrames(int frames);
