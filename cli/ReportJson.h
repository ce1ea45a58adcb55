#pragma once
// The quality report as riffdump's JSON member `report`.

#include <string>

#include "report/QualityReport.h"

// The report as one JSON object.
std::string QualityReportJson(const TQualityReport& report);
