#pragma once
// The compressed encodings (A-law, mu-law, IMA and MS ADPCM, GSM 6.10) are decoded by the
// field's well-kept codec library rather than by hand: a small RIFF header is put in front of
// the data chunk's bytes (where they lie, not copied), whatever container the file had.

#include <cstdint>

#include "memory/LargeBuffer.h"
#include "wave/AudioFacts.h"
#include "wave/FileBytes.h"
#include "wave/Progress.h"

// Decodes the data of `file` to interleaved 16-bit values in `out`; returns the frames.
// Throws std::runtime_error saying why when the codec refuses the data, TCancelled when
// `progress` asks to stop.
std::uint64_t DecodeWithCodec(const TFileBytes& file, const TAudioFacts& facts, TLargeBuffer& out,
                              const TProgressStep& progress);
