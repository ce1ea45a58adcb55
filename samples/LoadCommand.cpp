#include "samples/LoadCommand.h"

#include <algorithm>

#include "samples/ChannelPlots.h"
#include "samples/SampleStore.h"
#include "wave/Cancelled.h"
#include "wave/LittleEndian.h"

namespace {

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

int DecodeFrames(const std::uint8_t* bytes, std::uint64_t frames, TChannelPlots* Plots,
                 int frameLimit, const TProgressStep& progress,
                 const std::function<void(std::uint64_t bytes)>& decoded) {
    const int n = FramesToLoad(frames * 4, frameLimit);
    // The plots let go of the store before a byte of it changes or it moves, and the count
    // says "nothing" meanwhile (the readout reads the store by it).
    if (Plots != nullptr)
        Plots->Clear();
    SampleCount = 0;
    // Room for this load's frames: the store may move now, never while it is written.
    LeftSamples.Reserve(n);
    RightSamples.Reserve(n);
    std::int32_t* const lefts32 = LeftSamples.Data();
    std::int32_t* const rights32 = RightSamples.Data();
    constexpr int blockFrames = 4096;
    for (int first = 1; first <= n; first += blockFrames) {
        const int count = std::min(blockFrames, n - first + 1);
        for (int k = 0; k < count; ++k, bytes += 4) {
            lefts32[first + k] = ReadI16LE(bytes);
            rights32[first + k] = ReadI16LE(bytes + 2);
        }
        // About a million frames a step: often enough to show, rarely enough to cost nothing.
        const int done = first + count - 1;
        if ((first / blockFrames) % 256 == 255 || done == n) {
            if (decoded)
                decoded(std::uint64_t(done) * 4);
            if (progress && !progress(done, n))
                throw TCancelled();
        }
    }
    if (Plots == nullptr || Plots->ViewStore(lefts32 + 1, rights32 + 1, n))
        return n;
    // Plots that hold their own points take them a block at a time, as that many single adds.
    Plots->Reserve(n);
    double xs[blockFrames], lefts[blockFrames], rights[blockFrames];
    for (int first = 1; first <= n; first += blockFrames) {
        const int count = std::min(blockFrames, n - first + 1);
        for (int k = 0; k < count; ++k) {
            xs[k] = first + k;
            lefts[k] = lefts32[first + k];
            rights[k] = rights32[first + k];
        }
        Plots->AddFrames(xs, lefts, rights, count);
    }
    return n;
}

TLoadResult LoadReadFile(const std::string& fileName, TWaveInfo& info, TChannelPlots* Plots,
                         const TLoadOptions& options) {
    TLoadResult result;
    result.FileChosen = true;
    WaveFileName = fileName;
    result.Status = info.Status;
    result.Problem = info.Problem;
    const bool salvage = options.SalvageCutData && info.DataCutShort && info.Data;
    if ((info.Status != wsOk || !info.Data) && !salvage) {
        // Nothing trustworthy to decode: show and keep nothing rather than stale samples.
        EmptyPlotsAndStore(Plots);
        return result;
    }
    if (salvage) {
        result.Salvaged = true;
        result.DeclaredDataSize = info.DeclaredDataSize;
        result.DataBytesPresent = info.Data->Size();
    }
    const std::uint64_t frames = info.Data->Size() / 4;
    try {
        // The count says "nothing" while the store is half rewritten.
        SampleCount = 0;
        // The block's memory goes back as it is decoded, so that a big file's bytes and its
        // decoded frames are not all held at once.
        TDataBlock& block = *info.Data;
        const int n =
            DecodeFrames(block.Bytes(), frames, Plots, options.FrameLimit, options.Progress,
                         [&block](std::uint64_t bytes) { block.ReleaseBefore(bytes); });
        SampleCount = n;
        LoadFailed = false;
        result.FramesLoaded = n;
        result.FramesLeftOut = frames - static_cast<std::uint64_t>(n);
    } catch (...) {
        info.Data.reset();
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
