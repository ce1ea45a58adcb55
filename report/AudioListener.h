#pragma once
// Work that needs every sample of a file listens to one pass over its audio. The pass hands
// out the frames in blocks; a listener whose work can be split in time measures parts of the
// file on any thread (each part on its own, after a few frames that only settle its state)
// and joins the parts' results, in order, at the end.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "wave/WaveFormat.h"

// Frames of a block, one array per channel (planar). Every block carries `Scaled`; the exact
// values come as 32-bit integers for integer encodings of up to 32 bits (the compressed ones
// decode to 16), otherwise as doubles (float data, integers wider than 32 bits).
struct TAudioBlock {
    std::uint64_t FirstFrame = 0; // of the file, counted from 0
    std::size_t Frames = 0;
    int Channels = 0;
    const float* const* Scaled = nullptr;      // value / full scale: -1.0 to just below 1.0
    const std::int32_t* const* Ints = nullptr; // or null
    const double* const* Doubles = nullptr;    // or null
};

// What the listeners are told before the first block.
struct TPassFormat {
    TWaveFormat Format;
    std::uint64_t Frames = 0;
    // The values' own limits: -2^(bits-1) and 2^(bits-1)-1 for integers of `bits` value bits
    // (16 for the compressed encodings), -1.0 and 1.0 for float data.
    double MinValue = 0, MaxValue = 0;
    double FullScale = 1; // what 0 dBFS is: 2^(bits-1) for integers, 1.0 for floats
    int ValueBits = 0;    // 0 for float data
    bool Float = false;
};

// One part of a split listener's work: the frames of [first, first + frames) of the file.
class TListenerPart {
  public:
    virtual ~TListenerPart() = default;
    // Frames just before the part (as many as the listener's WarmUpFrames asks, fewer at the
    // file's start), to settle filters; they are not measured.
    virtual void WarmUp(const TAudioBlock&) {}
    virtual void Frames(const TAudioBlock& block) = 0;
};

class TAudioListener {
  public:
    virtual ~TAudioListener() = default;
    virtual void Begin(const TPassFormat& format) = 0;
    // How many frames before a part its state needs to settle (0: none).
    virtual std::uint64_t WarmUpFrames() const { return 0; }
    // Parts start at multiples of this many frames (1: anywhere).
    virtual std::uint64_t PartAlignment() const { return 1; }
    virtual std::unique_ptr<TListenerPart> Part(std::uint64_t first, std::uint64_t frames) = 0;
    // The parts, in the order of their frames, covering every frame once.
    virtual void End(std::vector<std::unique_ptr<TListenerPart>> parts) = 0;
};

// A listener that needs the data's bytes as stored, in order, from one thread (a digest).
class TByteListener {
  public:
    virtual ~TByteListener() = default;
    virtual void Bytes(const std::uint8_t* bytes, std::size_t size) = 0;
    virtual void End() = 0;
};
