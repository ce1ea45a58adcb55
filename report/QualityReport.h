#pragma once
// Is this file sound? One pass over the audio gives its MD5, the levels of each channel and
// its loudness; the rules then judge those and what reading the file found, weighed by the
// policy, into one verdict.

#include <optional>
#include <string>
#include <vector>

#include "meta/Metadata.h"
#include "report/AudioDigest.h"
#include "report/LevelMeter.h"
#include "report/LoudnessMeter.h"
#include "report/Policy.h"
#include "report/RuleResult.h"
#include "wave/AudioFile.h"
#include "wave/Progress.h"

struct TMd5Report {
    std::optional<TMd5> Computed; // of the data chunk's bytes present (none without data)
    std::optional<TMd5> Stored;   // an MD5 chunk's
    bool CutShort = false;        // the data chunk ends early: the digest is of the bytes present
    std::uint64_t Bytes = 0;      // digested
    bool Agree() const { return Computed && Stored && *Computed == *Stored; }
};

struct TQualityReport {
    bool Measured = false; // the audio was read and measured
    std::string Refusal;   // why not, where it was not
    TMd5Report Md5;
    TLevels Levels;
    std::optional<TLoudness> Loudness; // where the rate and channels allow
    std::vector<TRuleResult> Rules;    // every rule that reported, in catalogue order
    TVerdict Verdict = vdPass;
    bool FailsRun = false; // a rule the policy makes an error failed
};

struct TReportOptions {
    TPolicy Policy;
    TProgressStep Progress; // false stops the report
    int Threads = 0;        // 0: one per core
};

// The report of a file opened for the conformant reading. Null when the progress stopped it.
// Throws std::bad_alloc when memory runs out.
std::optional<TQualityReport> MakeQualityReport(const TAudioFile& file,
                                                const TReportOptions& options);

// The rules' results from the findings, weighed by the policy; sets the verdict.
void JudgeFindings(const std::vector<TFinding>& findings, const TPolicy& policy,
                   TQualityReport& report);
