#pragma once
// The metadata as text for people: a group per chunk, a line per value, to be shown and
// copied as it is.

#include <string>
#include <vector>

#include "meta/Metadata.h"

struct TMetaGroup {
    std::string Title; // "LIST/INFO", "bext", "Markers", ...
    std::vector<std::string> Lines;
};

std::vector<TMetaGroup> MetadataText(const TFileMetadata& meta);

// Seconds from frames at `rate`, with milliseconds: "83.500 s"; "frame N" when the rate is 0.
std::string SecondsText(std::uint64_t frames, std::uint32_t rate);
