#pragma once
// The speaker positions of a WAVE channel mask: one bit a position, lowest first, and the
// channels of a file take the mask's set bits in that order. What a channel is called, and
// what the loudness meter weighs it by, both start here.

#include <cstdint>
#include <string>
#include <vector>

enum TSpeaker : int {
    spFrontLeft,
    spFrontRight,
    spFrontCentre,
    spLowFrequency,
    spBackLeft,
    spBackRight,
    spFrontLeftOfCentre,
    spFrontRightOfCentre,
    spBackCentre,
    spSideLeft,
    spSideRight,
    spTopCentre,
    spTopFrontLeft,
    spTopFrontCentre,
    spTopFrontRight,
    spTopBackLeft,
    spTopBackCentre,
    spTopBackRight,
    spNamedCount, // the bits from here on name no position
    spNone = -1,  // a channel past the mask's set bits
};

// The position of each of `channels` channels: the mask's set bits in order, spNone past them.
std::vector<int> SpeakerPositions(int channels, std::uint32_t mask);

// "Front Left", ..., "LFE"; empty for a bit that names no position.
std::string SpeakerName(int position);

// What channel `channel` (from 0) is called: its position where the mask names one, else
// "Channel N" (N from 1).
std::string ChannelName(int channel, std::uint32_t mask);

// Its position's name alone: empty where the mask names none.
std::string MaskedChannelName(int channel, std::uint32_t mask);
