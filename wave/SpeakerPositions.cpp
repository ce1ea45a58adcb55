#include "wave/SpeakerPositions.h"

#include <bit>

namespace {

const char* const Names[spNamedCount] = {
    "Front Left",
    "Front Right",
    "Centre",
    "LFE",
    "Back Left",
    "Back Right",
    "Front Left of Centre",
    "Front Right of Centre",
    "Back Centre",
    "Side Left",
    "Side Right",
    "Top Centre",
    "Top Front Left",
    "Top Front Centre",
    "Top Front Right",
    "Top Back Left",
    "Top Back Centre",
    "Top Back Right",
};

} // namespace

std::vector<int> SpeakerPositions(int channels, std::uint32_t mask) {
    std::vector<int> positions;
    if (channels <= 0)
        return positions;
    for (int bit = 0; bit < 32 && int(positions.size()) < channels; ++bit)
        if (mask & (1u << bit))
            positions.push_back(bit);
    positions.resize(std::size_t(channels), spNone);
    return positions;
}

std::string SpeakerName(int position) {
    return position >= 0 && position < spNamedCount ? Names[position] : "";
}

std::string MaskedChannelName(int channel, std::uint32_t mask) {
    if (channel < 0 || channel >= std::popcount(mask))
        return {};
    // The channel's position is the mask's set bit of its number: drop the lower ones.
    for (int lower = 0; lower < channel; ++lower)
        mask &= mask - 1;
    return SpeakerName(std::countr_zero(mask));
}

std::string ChannelName(int channel, std::uint32_t mask) {
    const std::string name = MaskedChannelName(channel, mask);
    return name.empty() ? "Channel " + std::to_string(channel + 1) : name;
}
