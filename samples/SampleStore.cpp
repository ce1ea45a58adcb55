#include "SampleStore.h"

#include "HugePages.h"

int SampleCount = 0;
std::int32_t LeftSamples[MaxFrames + 1];
std::int32_t RightSamples[MaxFrames + 1];
std::string WaveFileName;

void PrepareStoreForFrames(int frames) {
    static int advisedFrames = 0;
    if (frames <= advisedFrames)
        return;
    AdviseHugePages(LeftSamples + 1, sizeof(std::int32_t) * frames);
    AdviseHugePages(RightSamples + 1, sizeof(std::int32_t) * frames);
    advisedFrames = frames;
}
