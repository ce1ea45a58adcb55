#pragma once
// The body of the Load command: after the open dialog, read the chosen file, then decode its
// data chunk frame by frame into the store and the two plots.

#include <cstdint>
#include <functional>
#include <string>

#include "samples/SampleStore.h"
#include "wave/ReadWaveFile.h"

class TChannelPlots;

struct TLoadResult {
    bool FileChosen = false;
    std::uint16_t Status = 0;        // the reader's status, when a file was chosen
    int FramesLoaded = 0;            // frames now in the store (SampleCount)
    std::uint64_t FramesLeftOut = 0; // frames beyond the store's capacity, not loaded
    std::string Problem;             // why the read failed, when the file's bytes are not the cause
    std::string Reason;              // why the read failed, in words, whatever the cause
    // A file cut short inside its data chunk whose whole frames were loaded all the same
    // (the status stays the reader's): what the chunk declared and what was there.
    bool Salvaged = false;
    std::uint32_t DeclaredDataSize = 0;
    std::uint64_t DataBytesPresent = 0;
};

struct TLoadOptions {
    int FrameLimit = MaxFrames; // at most this many frames (never more than MaxFrames)
    // Load the whole frames of a file that ends inside its data chunk, though it reads wsFailed.
    bool SalvageCutData = false;
    TWaveReadOptions Read;
    // Told how many frames have been decoded; false stops the load, which then ends as a
    // failed load ends and throws TCancelled.
    TProgressStep Progress;
    // The store's frames, the plots and WaveFileName stay as they are until the new frames are
    // all decoded (beside the store), so that a cancel or a failure while decoding leaves the
    // earlier file in place; a read that completes and fails still empties them. When the room
    // for both files' frames cannot be had, NoRoomToKeep is told and the load goes on in the
    // store as usual.
    bool KeepEarlierUntilDone = false;
    std::function<void()> NoRoomToKeep;

    // Options that salvage a cut data chunk.
    static TLoadOptions Salvaging() {
        TLoadOptions options;
        options.SalvageCutData = true;
        return options;
    }
};

// `fileChosen` and `dialogFileName` are what the open dialog gave. `Plots` may be null where
// there are no plots (the command-line companion loads only the store). WaveFileName takes the
// dialog's name in every case. A cancel changes nothing else; a read that did not end wsOk
// empties both plots and the store, so that no export can write one file's samples under
// another file's name.
// A load is all or nothing: whatever interrupts the decoding (memory running out, any
// exception) leaves both plots empty and SampleCount 0, and is passed on to the caller; a read
// or decoding stopped by its progress throws TCancelled. With KeepEarlierUntilDone, either
// leaves the earlier file's frames, plots and name instead.
// At most `frameLimit` frames (never more than MaxFrames) are loaded; the rest are counted in
// FramesLeftOut.
TLoadResult RunLoadCommand(bool fileChosen, const std::string& dialogFileName, const TWaveLog& Log,
                           TChannelPlots* Plots, int frameLimit = MaxFrames,
                           const TWaveReadOptions& options = {});
TLoadResult RunLoadCommand(bool fileChosen, const std::string& dialogFileName, const TWaveLog& Log,
                           TChannelPlots* Plots, const TLoadOptions& options);

// The second half of the command, for a file the reader has already read into `info`:
// WaveFileName takes `fileName`, and the data is decoded (and released) as above.
TLoadResult LoadReadFile(const std::string& fileName, TWaveInfo& info, TChannelPlots* Plots,
                         const TLoadOptions& options = {});

// The frames of a data chunk of `dataBytes` bytes that a load takes, and those it leaves out.
int FramesToLoad(std::uint64_t dataBytes, int frameLimit = MaxFrames);

// Decodes 4-byte frames (left then right, signed 16-bit little-endian) into store entries
// 1..n and the plots, where n = min(frames, frameLimit, MaxFrames). Returns n. The plots are
// cleared and SampleCount is 0 before the store takes room for the n frames (it may move then;
// std::bad_alloc when it cannot).
// `decoded` is told, now and then, how many bytes from the start are decoded and not read again.
int DecodeFrames(const std::uint8_t* bytes, std::uint64_t frames, TChannelPlots* Plots,
                 int frameLimit = MaxFrames, const TProgressStep& progress = {},
                 const std::function<void(std::uint64_t bytes)>& decoded = {});
