#pragma once
// Every rule this program knows, by its stable id: what it checks and how much it weighs
// unless a policy says otherwise. Ids are never renumbered or reused.

#include <optional>
#include <string>
#include <vector>

#include "report/RuleResult.h"

struct TRuleInfo {
    const char* Id;
    TSeverity Severity; // by default
    const char* Checks; // one line for people
    // Reported only where a policy names it (an archive's own demand, not a fault).
    bool OffByDefault = false;
};

const std::vector<TRuleInfo>& RuleCatalog();
const TRuleInfo* FindRule(const std::string& id);
