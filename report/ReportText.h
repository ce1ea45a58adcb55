#pragma once
// The report as a person reads it: the verdict first, each channel's levels as a table, the
// loudness, then the rules that did not pass.

#include <string>

#include "report/QualityReport.h"

std::string QualityReportText(const std::string& file, const TQualityReport& report);
// A rule's place in words: "chunk 'bext' at offset 36", "frame 44100, channel 2".
std::string PlaceText(const TRulePlace& where);
