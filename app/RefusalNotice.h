#pragma once
// The default view's words for a file its reader (16-bit stereo frames, RIFF only) refuses but
// the file's format reads: why it shows nothing, and what the file holds.

#include <cstdint>
#include <string>

#include <QString>

#include "wave/AudioFacts.h"

// Empty where the default view read the file (`status` wsOk), or where its format cannot show
// it either. `reason` is the reader's own words for a failed read.
QString RefusalNotice(const TAudioFacts& facts, std::uint16_t status, const std::string& reason);
