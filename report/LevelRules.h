#pragma once
// Rules over what the audio pass measured (the digest, levels, loudness) and the policy's
// expectations of the format and the chunks.

#include <vector>

#include "report/QualityReport.h"
#include "wave/AudioFacts.h"

std::vector<TFinding> AudioFindings(const TAudioFacts& facts, const TQualityReport& report,
                                    const TPolicy& policy);
std::vector<TFinding> ExpectationFindings(const TAudioFacts& facts, const TPolicy& policy);
