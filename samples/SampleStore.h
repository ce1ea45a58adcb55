#pragma once
// The program-wide store of the last loaded file's two channels: up to MaxFrames + 1 entries
// per channel, zero until a load writes to them. A channel takes memory (and address space) for
// the frames a load brings, not for MaxFrames: a small file costs little, and the program runs
// under a tight address-space limit. The entries move only when a load needs more of them than
// there are, at its start, before a byte is written: never during a load, never under a list
// that views them (the Load command lets the plots go first).

#include <cstdint>
#include <string>
#include <utility>

#include "memory/LargeBuffer.h"

constexpr int MaxFrames = 100'000'000;

// One channel of the store, indexed 1..Capacity(); entry 0 is never used. An entry past
// Capacity() is made when it is first reached by index, as are those before it: the store
// grows, keeping its values, and may move (every pointer into it is then void).
class TSampleChannel {
  public:
    // The channel's first entry; takes a small block of entries on first use (std::bad_alloc
    // when it cannot).
    std::int32_t* Data() {
        if (Entries == nullptr)
            Grow(0);
        return Entries;
    }
    std::int32_t& operator[](int index) {
        if (index >= EntryCount)
            Grow(index);
        return Entries[index];
    }
    std::int32_t* operator+(int index) { return Data() + index; }
    // Makes entries 1..frames (frames <= MaxFrames) exist, keeping the values there are; new
    // entries are zero. The store may move here. Throws std::bad_alloc when the memory cannot
    // be had; the channel is then as it was.
    void Reserve(int frames);
    // The highest index that exists (0 before the first use).
    int Capacity() const { return EntryCount > 0 ? EntryCount - 1 : 0; }
    // Trades entries with `other`: how a load decoded beside the store takes its place.
    void Swap(TSampleChannel& other) noexcept {
        std::swap(Buffer, other.Buffer);
        std::swap(Entries, other.Entries);
        std::swap(EntryCount, other.EntryCount);
    }

  private:
    // Makes entry `index` exist, with room to spare for a writer that goes on index by index.
    void Grow(int index);
    void Resize(std::size_t entries);

    TLargeBuffer Buffer;
    std::int32_t* Entries = nullptr;
    int EntryCount = 0;
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
