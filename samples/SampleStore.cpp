#include "SampleStore.h"

int SampleCount = 0;
TSampleChannel LeftSamples;
TSampleChannel RightSamples;
std::string WaveFileName;
bool LoadFailed = false;

std::int32_t* TSampleChannel::Data() {
    if (Entries == nullptr) {
        // A block this large gets a fresh anonymous mapping of its own: it reads as zeros and
        // takes huge pages as it is first written.
        Buffer.Resize(sizeof(std::int32_t) * (std::size_t(MaxFrames) + 1));
        Entries = reinterpret_cast<std::int32_t*>(Buffer.Data());
    }
    return Entries;
}
