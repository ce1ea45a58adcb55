#pragma once
// What a file marks on its timeline, as the window draws it and the label track lists it: each
// cue point, a region where its associated data gives it a length or where a sampler loop of
// the same id starts at it (a region kept as a cue and a loop), and the sampler loops
// that no cue point names, as regions without a label.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "meta/Metadata.h"

struct TTimelineMark {
    std::uint64_t Frame = 0;  // from 0
    std::uint64_t Length = 0; // the region's frames; 0 for a point
    std::string Label;
    std::optional<std::uint32_t> CueId; // none for a loop that no cue point names
};

// The cue points in their order, then the loops left over in theirs.
std::vector<TTimelineMark> TimelineMarks(const TFileMetadata& meta);
