#pragma once
// The conformant reading of a file as members of riffdump's JSON object: `audio` (the format,
// the frames, the duration and every chunk) and `problems` (plain words).

#include <string>
#include <vector>

#include "cli/JsonText.h"
#include "wave/AudioFacts.h"

// Writes "audio" (null for a file that is not a WAV file) and "problems" (the facts' problems
// followed by `more`, the metadata's).
void WriteAudioJson(TJsonWriter& json, const TAudioFacts& facts,
                    const std::vector<std::string>& more = {});
