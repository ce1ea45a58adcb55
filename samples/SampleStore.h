#pragma once
// The program-wide store of the last loaded file's two channels: MaxFrames + 1 entries per
// channel, zero until a load writes to them, never resized or moved. The memory behind it
// (800 MB of address space) is mapped when the store is first used, so a program that never
// needs it, or starts under an address-space limit, does not pay for it.

#include <cstdint>
#include <string>

#include "LargeBuffer.h"

constexpr int MaxFrames = 100'000'000;

// One channel of the store, indexed 1..MaxFrames; entry 0 is never used.
class TSampleChannel {
  public:
    // The channel's first entry; maps the store on first use (std::bad_alloc when it cannot).
    std::int32_t* Data();
    std::int32_t& operator[](int index) { return Data()[index]; }
    std::int32_t* operator+(int index) { return Data() + index; }

  private:
    TLargeBuffer Buffer;
    std::int32_t* Entries = nullptr;
};

// Frames held by the store; entries 1..SampleCount of each array are meaningful.
extern int SampleCount;
extern TSampleChannel LeftSamples;
extern TSampleChannel RightSamples;
// The file name last taken from the open dialog; names the export.
extern std::string WaveFileName;
// Whether the last load of WaveFileName failed or was given up (or its frames were never put
// in the store): then nothing of that file is there to export.
extern bool LoadFailed;
