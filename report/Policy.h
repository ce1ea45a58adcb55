#pragma once
// What an archive or a broadcaster asks of its files: which rules count and how much, the
// thresholds the level rules use, and what the files are expected to be. Read from a JSON
// file; every key is optional. Without a policy every rule reports at its own severity and
// none fails the run.

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "report/RuleResult.h"

struct TPolicy {
    bool Given = false; // read from a file (else the defaults, which fail no run)
    // Severities by rule id; a null severity turns the rule off. Keys may end in ".*" for
    // every rule of that family; an exact id wins over its family.
    std::map<std::string, std::optional<TSeverity>> Rules;

    // Expectations.
    std::optional<std::uint32_t> SampleRate;
    std::optional<int> BitsPerSample, Channels;
    std::optional<std::string> Encoding; // "pcm", "float", ...
    std::vector<std::string> Chunks;     // ids that must be there ("bext", "LIST", "MD5 ")
    std::optional<double> LoudnessTarget;
    double LoudnessTolerance = 1.0;
    std::optional<double> LoudnessRangeMax;
    double TruePeakMax = -1.0;    // dBTP
    std::optional<bool> Clipping; // false: a clipped run is an error
    bool TruePeakMaxGiven = false;

    // Thresholds.
    std::uint64_t ClipRunLength = 3;
    double DcOffsetMax = 0.01; // fraction of full scale

    // The severity rule `id` has under this policy; null when it is off.
    std::optional<TSeverity> SeverityOf(const std::string& id, TSeverity byDefault) const;
    // Whether a failing rule of this severity fails the run.
    bool FailsRun(TSeverity severity) const { return Given && severity == svError; }
};

// A policy file that cannot be taken: where and why.
class TPolicyError : public std::runtime_error {
  public:
    TPolicyError(int line, const std::string& reason) : std::runtime_error(reason), Line(line) {}
    int Line; // 0 when the file could not be read at all
};

TPolicy ParsePolicy(const std::string& text);    // throws TPolicyError
TPolicy ReadPolicyFile(const std::string& path); // throws TPolicyError
