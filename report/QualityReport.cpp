#include "report/QualityReport.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "report/AudioPass.h"
#include "report/BextRules.h"
#include "report/LevelRules.h"
#include "report/RuleCatalog.h"
#include "report/StructureRules.h"
#include "wave/AudioSamples.h"

namespace {

// The data chunk as declared, and how much of it is there.
struct TDataBytes {
    bool Found = false;
    std::uint64_t Offset = 0, Present = 0;
    bool CutShort = false;
};

TDataBytes DataBytesOf(const TAudioFacts& facts) {
    TDataBytes data;
    for (const TAudioChunk& chunk : facts.Chunks)
        if (chunk.Id == "data") {
            data.Found = true;
            data.Offset = chunk.Offset + 8;
            const std::uint64_t room =
                facts.FileSize > data.Offset ? facts.FileSize - data.Offset : 0;
            data.Present = std::min(chunk.Size, room);
            data.CutShort = chunk.Size > room;
            break;
        }
    return data;
}

std::optional<TMd5> StoredMd5(const std::vector<TMetaChunk>& chunks) {
    for (const TMetaChunk& chunk : chunks)
        if (chunk.Id == "MD5 " && chunk.BodySize >= 16) {
            TMd5 md5;
            std::memcpy(md5.data(), chunk.Body, 16);
            return md5;
        }
    return std::nullopt;
}

// Severity a rule has by default under the policy: its expectations make the rules they
// speak of errors.
TSeverity DefaultSeverity(const TRuleInfo& rule, const TPolicy& policy) {
    const std::string id = rule.Id;
    if ((id == "level.clipping" && policy.Clipping == false) ||
        (id == "level.true-peak" && policy.TruePeakMaxGiven) ||
        (id == "loudness.integrated" && policy.LoudnessTarget) ||
        (id == "loudness.range" && policy.LoudnessRangeMax))
        return svError;
    return rule.Severity;
}

} // namespace

void JudgeFindings(const std::vector<TFinding>& findings, const TPolicy& policy,
                   TQualityReport& report) {
    report.Rules.clear();
    report.Verdict = vdPass;
    report.FailsRun = false;
    for (const TRuleInfo& rule : RuleCatalog()) {
        const bool named = policy.Rules.count(rule.Id) != 0;
        if (rule.OffByDefault && !named)
            continue;
        const std::optional<TSeverity> severity =
            policy.SeverityOf(rule.Id, DefaultSeverity(rule, policy));
        if (!severity)
            continue; // turned off
        for (const TFinding& finding : findings) {
            if (finding.Id != rule.Id)
                continue;
            TRuleResult result;
            result.Id = finding.Id;
            result.Severity = *severity;
            result.Verdict = finding.Holds ? vdPass : *severity == svError ? vdFail : vdWarn;
            result.Message = finding.Message;
            result.Where = finding.Where;
            report.Verdict = std::max(report.Verdict, result.Verdict);
            report.FailsRun = report.FailsRun || (!finding.Holds && policy.FailsRun(*severity));
            report.Rules.push_back(std::move(result));
        }
    }
}

std::optional<TQualityReport> MakeQualityReport(const TAudioFile& file,
                                                const TReportOptions& options) {
    TQualityReport report;
    const TAudioFacts& facts = file.Facts;
    const std::vector<TMetaChunk> chunks =
        file.Bytes ? MetadataChunks(file) : std::vector<TMetaChunk>{};
    const TFileMetadata meta = file.Bytes ? MetadataOf(file) : TFileMetadata{};

    std::shared_ptr<const TAudioSamples> samples = options.Samples;
    if (facts.Decodable && !samples) {
        try {
            samples = std::make_shared<const TAudioSamples>(file.Bytes, facts);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& error) {
            report.Refusal = error.what();
        }
    } else if (!facts.Decodable) {
        report.Refusal = facts.Refusal;
    }

    TAudioDigest digest;
    const TDataBytes data = file.Bytes ? DataBytesOf(facts) : TDataBytes{};
    TLevelMeter levels(options.Policy.ClipRunLength);
    const TWaveFormat& format = facts.Format;
    const bool loudnessMeasured = samples && format.SampleRate > 0 && samples->Frames() > 0;
    std::unique_ptr<TLoudnessMeter> loudness;
    if (loudnessMeasured)
        loudness =
            std::make_unique<TLoudnessMeter>(LoudnessWeights(format.Channels, format.ChannelMask));

    TPassSetup pass;
    pass.Samples = samples.get();
    if (samples) {
        pass.Listeners.push_back(&levels);
        if (loudness)
            pass.Listeners.push_back(loudness.get());
    }
    if (data.Found) {
        pass.ByteListeners.push_back(&digest);
        pass.Bytes = {file.Bytes.get(), data.Offset, data.Present};
    }
    pass.Progress = options.Progress;
    pass.Threads = options.Threads;
    const TPassFormat passFormat = samples ? PassFormatOf(*samples, format) : TPassFormat{};
    if (!RunAudioPass(pass, passFormat))
        return std::nullopt;

    if (data.Found) {
        report.Md5.Computed = digest.Result();
        report.Md5.Bytes = data.Present;
        report.Md5.CutShort = data.CutShort;
    }
    report.Md5.Stored = StoredMd5(chunks);
    if (samples) {
        report.Measured = true;
        report.Levels = levels.Result();
        if (loudness)
            report.Loudness = loudness->Result();
    }

    std::vector<TFinding> findings = StructureFindings(facts, meta, file.Bytes != nullptr);
    for (TFinding& finding :
         BextFindings(chunks, meta, report.Loudness ? &*report.Loudness : nullptr))
        findings.push_back(std::move(finding));
    for (TFinding& finding : AudioFindings(facts, report, options.Policy))
        findings.push_back(std::move(finding));
    for (TFinding& finding : ExpectationFindings(facts, options.Policy))
        findings.push_back(std::move(finding));
    JudgeFindings(findings, options.Policy, report);
    return report;
}
