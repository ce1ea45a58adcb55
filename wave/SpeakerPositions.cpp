#include "wave/SpeakerPositions.h"

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
    if (channel < 0 || mask == 0)
        return {};
    const std::vector<int> positions = SpeakerPositions(channel + 1, mask);
    return SpeakerName(positions.back());
}

std::string ChannelName(int channel, std::uint32_t mask) {
    const std::string name = MaskedChannelName(channel, mask);
    return name.empty() ? "Channel " + std::to_string(channel + 1) : name;
}
