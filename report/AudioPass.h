#pragma once
// One pass over a file's audio, for everything that needs every sample: the data's bytes go
// in order to the byte listeners (a digest) on one thread, while the frames, decoded, go part
// by part to the audio listeners on every core. The pass owns the threads, the progress and
// cancelling; a new measurement is a new listener, not a new pass.

#include <cstdint>
#include <vector>

#include "report/AudioListener.h"
#include "wave/AudioSamples.h"
#include "wave/FileBytes.h"
#include "wave/Progress.h"

struct TPassBytes {
    const TFileBytes* File = nullptr;
    std::uint64_t Offset = 0; // where the bytes start in the file
    std::uint64_t Size = 0;
};

struct TPassSetup {
    // The samples (null: no frames to listen to, bytes only).
    const TAudioSamples* Samples = nullptr;
    TPassBytes Bytes;
    std::vector<TAudioListener*> Listeners;
    std::vector<TByteListener*> ByteListeners;
    TProgressStep Progress; // told in bytes and frames done of the whole; false stops the pass
    int Threads = 0;        // 0: one per core
    // Frames of a part (rounded to the listeners' alignment); 0: a few million, as the pass
    // chooses. Results never depend on it.
    std::uint64_t PartFrames = 0;
};

// The listeners' view of the samples' format.
TPassFormat PassFormatOf(const TAudioSamples& samples, const TWaveFormat& format);

// Runs the pass. Returns false when the progress asked it to stop (the listeners are then
// left without their End).
bool RunAudioPass(const TPassSetup& setup, const TPassFormat& format);
