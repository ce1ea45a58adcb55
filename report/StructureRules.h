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

// `opened`: whether the file's bytes could be had at all; if not, its problems say why not
// (the system's own words, which no pattern of ours can pick out).
std::vector<TFinding> StructureFindings(const TAudioFacts& facts, const TFileMetadata& meta,
                                        bool opened);
