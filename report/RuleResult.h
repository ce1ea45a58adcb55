#pragma once
// A rule's result: its stable id, how much it weighs (severity), what it found (verdict), a
// sentence for people and the place it speaks of. The report, the policy, the window's list
// and riffdump's outputs all read these.

#include <cstdint>
#include <optional>
#include <string>

enum TSeverity : std::uint8_t { svInfo, svWarning, svError };
enum TVerdict : std::uint8_t { vdPass, vdWarn, vdFail };

// Where a rule's finding is: a chunk and its offset, or a frame (and channel) of the audio.
struct TRulePlace {
    std::string Chunk; // the chunk's id, empty when the finding is not a chunk's
    std::optional<std::uint64_t> Offset;
    std::optional<std::uint64_t> Frame;
    std::optional<int> Channel; // counted from 0
    bool Empty() const { return Chunk.empty() && !Offset && !Frame; }
};

// What a check found, before the policy weighs it.
struct TFinding {
    std::string Id;
    bool Holds = true;
    std::string Message;
    TRulePlace Where;
};

struct TRuleResult {
    std::string Id;
    TSeverity Severity = svInfo;
    TVerdict Verdict = vdPass;
    std::string Message;
    TRulePlace Where;
};

const char* SeverityName(TSeverity severity); // "info", "warning", "error"
const char* VerdictName(TVerdict verdict);    // "pass", "warn", "fail"
