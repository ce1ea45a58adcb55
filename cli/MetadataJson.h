#pragma once
// The metadata for riffdump: a JSON object of every decoded chunk, and the markers as a label
// track (tab-separated start and end in seconds, then the label) that audio editors import.

#include <string>

#include "meta/Metadata.h"

std::string MetadataJson(const TFileMetadata& meta);
std::string CueLabelTrack(const TFileMetadata& meta);
