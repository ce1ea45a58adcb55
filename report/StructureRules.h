#pragma once
// Rules from what reading the file already finds: every problem of the structure and of the
// metadata under a stable id, and the format chunk's own arithmetic.

#include <string>
#include <vector>

#include "meta/Metadata.h"
#include "report/RuleResult.h"
#include "wave/AudioFacts.h"

// The rule id a problem of the reading belongs to ("structure.*" or "meta.*").
std::string ProblemRuleId(const std::string& problem, bool fromMetadata);

std::vector<TFinding> StructureFindings(const TAudioFacts& facts, const TFileMetadata& meta);
