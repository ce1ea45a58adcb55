#include "LoadCommand.h"

#include <algorithm>

#include "ChartSeries.h"
#include "SampleStore.h"

namespace {

std::int16_t Sample16(const std::uint8_t* bytes) {
    return static_cast<std::int16_t>(std::uint16_t(bytes[0] | bytes[1] << 8));
}

// Clears both series and makes room for the frames to come in one step each.
void ClearSeries(TChartSeries* Series1, TChartSeries* Series2, int frames = 0) {
    for (TChartSeries* series : {Series1, Series2}) {
        if (series != nullptr) {
            series->ClearPoints();
            series->ReservePoints(frames);
        }
    }
}

} // namespace

int DecodeFrames(const std::uint8_t* bytes, std::uint64_t frames, TChartSeries* Series1,
                 TChartSeries* Series2, int frameLimit) {
    const int limit = std::clamp(frameLimit, 0, MaxFrames);
    const int n = static_cast<int>(std::min<std::uint64_t>(frames, std::uint64_t(limit)));
    PrepareStoreForFrames(n);
    ClearSeries(Series1, Series2, n);
    // Frames go to the series a block at a time: each series takes the block's points as
    // that many single adds would.
    constexpr int blockFrames = 4096;
    double xs[blockFrames], lefts[blockFrames], rights[blockFrames];
    for (int first = 1; first <= n; first += blockFrames) {
        const int count = std::min(blockFrames, n - first + 1);
        for (int k = 0; k < count; ++k, bytes += 4) {
            const int i = first + k;
            const std::int32_t left = Sample16(bytes);
            const std::int32_t right = Sample16(bytes + 2);
            LeftSamples[i] = left;
            RightSamples[i] = right;
            xs[k] = i;
            lefts[k] = left;
            rights[k] = right;
        }
        if (Series1 != nullptr)
            Series1->AddPointsXY(xs, lefts, count);
        if (Series2 != nullptr)
            Series2->AddPointsXY(xs, rights, count);
    }
    return n;
}

TLoadResult RunLoadCommand(bool fileChosen, const std::string& dialogFileName,
                           const TWaveLog& Log, TChartSeries* Series1, TChartSeries* Series2,
                           int frameLimit) {
    TLoadResult result;
    result.FileChosen = fileChosen;
    TWaveInfo info;
    if (fileChosen)
        ReadWaveFile(dialogFileName, info, Log);
    WaveFileName = dialogFileName;
    if (!fileChosen) {
        result.FramesLoaded = SampleCount;
        return result;
    }
    result.Status = info.Status;
    if (info.Status != wsOk || !info.Data) {
        // Nothing trustworthy to decode: show and keep nothing rather than stale samples.
        info.Data.reset();
        ClearSeries(Series1, Series2);
        SampleCount = 0;
        return result;
    }
    info.Data->SetPosition(0);
    const std::uint64_t frames = info.Data->Size() / 4;
    const int n = DecodeFrames(info.Data->Bytes(), frames, Series1, Series2, frameLimit);
    info.Data.reset(); // the block is no longer needed: give its memory back at once
    SampleCount = n;
    result.FramesLoaded = n;
    result.FramesLeftOut = frames - static_cast<std::uint64_t>(n);
    return result;
}
