#include "samples/LoadCommand.h"

#include <algorithm>
#include <new>

#include "samples/ChannelPlots.h"
#include "samples/SampleStore.h"
#include "wave/Cancelled.h"
#include "wave/LittleEndian.h"

namespace {

constexpr int DecodeBlockFrames = 4096;

// Empties the plots and the store's count: how every load that brings no frames ends.
void EmptyPlotsAndStore(TChannelPlots* Plots) noexcept {
    if (Plots != nullptr)
        Plots->Clear();
    SampleCount = 0;
    LoadFailed = true;
}

} // namespace

int FramesToLoad(std::uint64_t dataBytes, int frameLimit) {
    const int limit = std::clamp(frameLimit, 0, MaxFrames);
    return static_cast<int>(std::min<std::uint64_t>(dataBytes / 4, std::uint64_t(limit)));
}

namespace {

// Decodes 4-byte frames into entries 1..n of `left` and `right`, after making room for them.
void DecodeInto(TSampleChannel& left, TSampleChannel& right, const std::uint8_t* bytes, int n,
                const TProgressStep& progress,
                const std::function<void(std::uint64_t bytes)>& decoded) {
    // Room for this load's frames: the channels may move now, never while they are written.
    left.Reserve(n);
    right.Reserve(n);
    std::int32_t* const lefts32 = left.Data();
    std::int32_t* const rights32 = right.Data();
    for (int first = 1; first <= n; first += DecodeBlockFrames) {
        const int count = std::min(DecodeBlockFrames, n - first + 1);
        for (int k = 0; k < count; ++k, bytes += 4) {
            lefts32[first + k] = ReadI16LE(bytes);
            rights32[first + k] = ReadI16LE(bytes + 2);
        }
        // About a million frames a step: often enough to show, rarely enough to cost nothing.
        const int done = first + count - 1;
        if ((first / DecodeBlockFrames) % 256 == 255 || done == n) {
            if (decoded)
                decoded(std::uint64_t(done) * 4);
            if (progress && !progress(done, n))
                throw TCancelled();
        }
    }
}

// Shows the store's first n frames in the plots, which hold nothing now.
void ShowStore(TChannelPlots* Plots, int n) {
    std::int32_t* const lefts32 = LeftSamples.Data();
    std::int32_t* const rights32 = RightSamples.Data();
    if (Plots == nullptr || Plots->ViewStore(lefts32 + 1, rights32 + 1, n))
        return;
    // Plots that hold their own points take them a block at a time, as that many single adds.
    Plots->Reserve(n);
    double xs[DecodeBlockFrames], lefts[DecodeBlockFrames], rights[DecodeBlockFrames];
    for (int first = 1; first <= n; first += DecodeBlockFrames) {
        const int count = std::min(DecodeBlockFrames, n - first + 1);
        for (int k = 0; k < count; ++k) {
            xs[k] = first + k;
            lefts[k] = lefts32[first + k];
            rights[k] = rights32[first + k];
        }
        Plots->AddFrames(xs, lefts, rights, count);
    }
}

// Decodes the frames beside the store, then puts them in its place: until then the store and the
// plots are the earlier file's. False (nothing changed) when the room for them cannot be had.
bool DecodeBesideStore(const std::uint8_t* bytes, int n, TChannelPlots* Plots,
                       const TLoadOptions& options,
                       const std::function<void(std::uint64_t bytes)>& decoded) {
    TSampleChannel left, right;
    try {
        left.Reserve(n);
        right.Reserve(n);
    } catch (const std::bad_alloc&) {
        return false;
    }
    DecodeInto(left, right, bytes, n, options.Progress, decoded);
    if (Plots != nullptr)
        Plots->Clear();
    SampleCount = 0;
    LeftSamples.Swap(left);
    RightSamples.Swap(right);
    return true; // the earlier frames go with `left` and `right`
}

} // namespace

int DecodeFrames(const std::uint8_t* bytes, std::uint64_t frames, TChannelPlots* Plots,
                 int frameLimit, const TProgressStep& progress,
                 const std::function<void(std::uint64_t bytes)>& decoded) {
    const int n = FramesToLoad(frames * 4, frameLimit);
    // The plots let go of the store before a byte of it changes or it moves, and the count
    // says "nothing" meanwhile (the readout reads the store by it).
    if (Plots != nullptr)
        Plots->Clear();
    SampleCount = 0;
    DecodeInto(LeftSamples, RightSamples, bytes, n, progress, decoded);
    ShowStore(Plots, n);
    return n;
}

TLoadResult LoadReadFile(const std::string& fileName, TWaveInfo& info, TChannelPlots* Plots,
                         const TLoadOptions& options) {
    // Frames of an earlier file that stay until this one's are all there.
    const bool keepEarlier = options.KeepEarlierUntilDone && SampleCount > 0;
    if (info.Cancelled && keepEarlier)
        throw TCancelled();
    TLoadResult result;
    result.FileChosen = true;
    result.Status = info.Status;
    result.Problem = info.Problem;
    result.Reason = info.Reason;
    const bool salvage = options.SalvageCutData && info.DataCutShort && info.Data;
    if ((info.Status != wsOk || !info.Data) && !salvage) {
        // Nothing trustworthy to decode: show and keep nothing rather than stale samples.
        WaveFileName = fileName;
        EmptyPlotsAndStore(Plots);
        if (info.Cancelled)
            throw TCancelled();
        return result;
    }
    if (salvage) {
        result.Salvaged = true;
        result.DeclaredDataSize = info.DeclaredDataSize;
        result.DataBytesPresent = info.Data->Size();
    }
    const std::uint64_t frames = info.Data->Size() / 4;
    const int n = FramesToLoad(frames * 4, options.FrameLimit);
    // The block's memory goes back as it is decoded, so that a big file's bytes and its
    // decoded frames are not all held at once.
    TDataBlock& block = *info.Data;
    const auto decoded = [&block](std::uint64_t bytes) { block.ReleaseBefore(bytes); };
    bool storeChanged = false; // from then on a failure empties the store and the plots
    try {
        // Beside the store, a failure or a cancel leaves the earlier file as it was.
        const bool besideStore =
            keepEarlier && DecodeBesideStore(block.Bytes(), n, Plots, options, decoded);
        if (keepEarlier && !besideStore && options.NoRoomToKeep)
            options.NoRoomToKeep();
        storeChanged = true;
        WaveFileName = fileName;
        if (besideStore) {
            ShowStore(Plots, n);
        } else {
            // The count says "nothing" while the store is half rewritten.
            SampleCount = 0;
            DecodeFrames(block.Bytes(), frames, Plots, options.FrameLimit, options.Progress,
                         decoded);
        }
        SampleCount = n;
        LoadFailed = false;
        result.FramesLoaded = n;
        result.FramesLeftOut = frames - static_cast<std::uint64_t>(n);
    } catch (...) {
        info.Data.reset();
        if (storeChanged)
            EmptyPlotsAndStore(Plots);
        throw;
    }
    info.Data.reset(); // decoded: its memory goes back at once
    return result;
}

TLoadResult RunLoadCommand(bool fileChosen, const std::string& dialogFileName, const TWaveLog& Log,
                           TChannelPlots* Plots, const TLoadOptions& options) {
    if (!fileChosen) {
        WaveFileName = dialogFileName;
        TLoadResult result;
        result.FramesLoaded = SampleCount;
        return result;
    }
    TWaveInfo info;
    ReadWaveFile(dialogFileName, info, Log, options.Read);
    return LoadReadFile(dialogFileName, info, Plots, options);
}

TLoadResult RunLoadCommand(bool fileChosen, const std::string& dialogFileName, const TWaveLog& Log,
                           TChannelPlots* Plots, int frameLimit, const TWaveReadOptions& options) {
    TLoadOptions loadOptions;
    loadOptions.FrameLimit = frameLimit;
    loadOptions.Read = options;
    return RunLoadCommand(fileChosen, dialogFileName, Log, Plots, loadOptions);
}
