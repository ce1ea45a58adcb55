#include "samples/SampleStore.h"

#include <algorithm>
#include <cstring>
#include <new>

int SampleCount = 0;
TSampleChannel LeftSamples;
TSampleChannel RightSamples;
std::string WaveFileName;
bool LoadFailed = false;

namespace {

// The entries a channel takes at least: 1 MiB, small beside any limit, and enough that small
// loads one after another never move the store.
constexpr std::size_t FirstEntries = std::size_t(1) << 18;
// From this size on the buffer is a fresh mapping, which reads as zeros without a pass.
constexpr std::size_t FreshFrom = std::size_t(1) << 20;

} // namespace

void TSampleChannel::Resize(std::size_t entries) {
    const std::size_t bytes = sizeof(std::int32_t) * entries;
    Buffer.Resize(bytes); // keeps the values; a grown mapping's new pages read as zeros
    auto* data = reinterpret_cast<std::int32_t*>(Buffer.Data());
    if (bytes < FreshFrom && entries > std::size_t(EntryCount))
        std::memset(data + EntryCount, 0, sizeof(std::int32_t) * (entries - EntryCount));
    Entries = data;
    EntryCount = int(entries);
}

void TSampleChannel::Grow(int index) {
    const std::size_t most = std::size_t(MaxFrames) + 1;
    const std::size_t doubled = std::min(most, std::size_t(EntryCount) * 2);
    Resize(std::max({std::size_t(index) + 1, doubled, FirstEntries}));
}

void TSampleChannel::Reserve(int frames) {
    const std::size_t entries = std::size_t(std::clamp(frames, 0, MaxFrames)) + 1;
    if (entries > std::size_t(EntryCount))
        Resize(std::max(entries, FirstEntries));
}
