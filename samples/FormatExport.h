#pragma once
// The export of a file's samples as its format says: one line per frame, each channel's value
// after a space, CR LF; integers as decoded, floats in the shortest text that reads back as
// the same value. Written under the same rules as the 16-bit stereo export.

#include <string>

#include "wave/AudioSamples.h"
#include "wave/Progress.h"

// Writes every frame of `samples` to `fileName`. Throws TInOutError on an input/output error,
// TFileChanged when the samples' file changes meanwhile and TCancelled when `progress` says
// stop (the target is then left as the rules say).
void WriteFormatFile(const std::string& fileName, const TAudioSamples& samples,
                     const TProgressStep& progress = {});
