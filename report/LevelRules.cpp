#include "report/LevelRules.h"

#include <algorithm>
#include <cmath>

#include "report/ReportNumbers.h"

namespace {

TRulePlace ChunkPlace(const TAudioFacts& facts, const std::string& id) {
    TRulePlace where;
    for (const TAudioChunk& chunk : facts.Chunks)
        if (chunk.Id == id) {
            where.Chunk = id;
            where.Offset = chunk.Offset;
            break;
        }
    return where;
}

TRulePlace FramePlace(std::uint64_t frame, int channel) {
    TRulePlace where;
    where.Frame = frame;
    where.Channel = channel;
    return where;
}

std::string ChannelName(std::size_t c) {
    return "channel " + std::to_string(c + 1);
}

} // namespace

std::vector<TFinding> AudioFindings(const TAudioFacts& facts, const TQualityReport& report,
                                    const TPolicy& policy) {
    std::vector<TFinding> findings;
    const TMd5Report& md5 = report.Md5;
    if (md5.Stored && md5.Computed)
        findings.push_back(
            {"md5.mismatch", md5.Agree(),
             md5.Agree()
                 ? "The MD5 chunk agrees with the audio data: " + Md5Text(*md5.Computed) + "."
                 : "The MD5 chunk says " + Md5Text(*md5.Stored) + " but the audio data's is " +
                       Md5Text(*md5.Computed) +
                       (md5.CutShort ? " (of the bytes present: the data is cut short)." : "."),
             ChunkPlace(facts, "MD5 ")});
    findings.push_back(
        {"md5.missing", md5.Stored.has_value(),
         md5.Stored ? "The file keeps an MD5 chunk." : "The file keeps no MD5 chunk.",
         md5.Stored ? ChunkPlace(facts, "MD5 ") : TRulePlace{}});
    if (!report.Measured)
        return findings;

    const auto& channels = report.Levels.Channels;
    // Clipping: the first run is the place.
    std::uint64_t runs = 0, samples = 0;
    for (const TChannelLevels& c : channels) {
        runs += c.ClippedRuns;
        samples += c.ClippedSamples;
    }
    TRulePlace clipPlace;
    if (!report.Levels.Runs.empty())
        clipPlace =
            FramePlace(report.Levels.Runs.front().First, report.Levels.Runs.front().Channel);
    findings.push_back({"level.clipping", runs == 0,
                        runs == 0
                            ? "No clipped runs of " + std::to_string(policy.ClipRunLength) +
                                  " or more samples at full scale."
                            : std::to_string(runs) + " clipped run" + (runs == 1 ? "" : "s") +
                                  " (" + std::to_string(samples) + " samples at full scale, " +
                                  std::to_string(policy.ClipRunLength) + " or more in a row).",
                        clipPlace});

    for (std::size_t c = 0; c < channels.size(); ++c) {
        const TChannelLevels& level = channels[c];
        if (std::fabs(level.DcOffset) > policy.DcOffsetMax)
            findings.push_back({"level.dc-offset", false,
                                "The DC offset of " + ChannelName(c) + " is " +
                                    Fixed(level.DcOffset, 6) + " of full scale, beyond " +
                                    Fixed(policy.DcOffsetMax, 6) + ".",
                                FramePlace(0, int(c))});
        if (level.BitsInUse && *level.BitsInUse > 0 && facts.Format.Encoding == sePcm &&
            *level.BitsInUse < facts.Format.ValueBits)
            findings.push_back(
                {"level.bits-in-use", false,
                 ChannelName(c) + " uses " + std::to_string(*level.BitsInUse) + " of its " +
                     std::to_string(facts.Format.ValueBits) + " bits: the lowest " +
                     std::to_string(facts.Format.ValueBits - *level.BitsInUse) + " are always 0.",
                 FramePlace(0, int(c))});
        if (level.SilenceHeadFrames == facts.Frames && facts.Frames > 0)
            findings.push_back({"level.silence", false,
                                ChannelName(c) + " holds digital silence only.",
                                FramePlace(0, int(c))});
        if (level.NaN + level.Inf > 0)
            findings.push_back({"level.float-invalid", false,
                                ChannelName(c) + " holds " + std::to_string(level.NaN) +
                                    " NaN and " + std::to_string(level.Inf) + " infinite values.",
                                FramePlace(0, int(c))});
        if (level.Overs > 0)
            findings.push_back({"level.float-overs", false,
                                ChannelName(c) + " holds " + std::to_string(level.Overs) +
                                    " values beyond full scale.",
                                FramePlace(0, int(c))});
    }
    const auto passed = [&](const char* id, const std::string& text) {
        const bool said = std::any_of(findings.begin(), findings.end(),
                                      [&](const TFinding& f) { return f.Id == id; });
        if (!said)
            findings.push_back({id, true, text, {}});
    };
    passed("level.dc-offset", "Every channel's DC offset is within " +
                                  Fixed(policy.DcOffsetMax, 6) + " of full scale.");
    passed("level.silence", "Every channel holds more than digital silence.");
    if (facts.Format.Encoding == sePcm)
        passed("level.bits-in-use",
               "Every channel uses all its " + std::to_string(facts.Format.ValueBits) + " bits.");
    if (facts.Format.Encoding == seFloat) {
        passed("level.float-invalid", "No NaN or infinite values.");
        passed("level.float-overs", "No values beyond full scale.");
    }

    if (report.Loudness) {
        const TLoudness& loud = *report.Loudness;
        std::size_t worst = 0;
        for (std::size_t c = 1; c < loud.TruePeakDbtp.size(); ++c)
            if (loud.TruePeakDbtp[c] > loud.TruePeakDbtp[worst])
                worst = c;
        if (!loud.TruePeakDbtp.empty()) {
            const double peak = loud.TruePeakDbtp[worst];
            const bool ok = !(peak > policy.TruePeakMax);
            findings.push_back({"level.true-peak", ok,
                                "The true peak is " + Fixed(peak, 2) + " dBTP (" +
                                    ChannelName(worst) + "); at most " +
                                    Fixed(policy.TruePeakMax, 2) + " dBTP is allowed.",
                                ok ? TRulePlace{} : FramePlace(0, int(worst))});
        }
        if (policy.LoudnessTarget) {
            const double off = loud.Integrated - *policy.LoudnessTarget;
            const bool ok = std::fabs(off) <= policy.LoudnessTolerance;
            findings.push_back({"loudness.integrated",
                                ok,
                                "Integrated loudness is " + Fixed(loud.Integrated, 1) +
                                    " LUFS; the target is " + Fixed(*policy.LoudnessTarget, 1) +
                                    " LUFS +/- " + Fixed(policy.LoudnessTolerance, 1) + " LU.",
                                {}});
        } else {
            findings.push_back({"loudness.integrated",
                                true,
                                "Integrated loudness is " + Fixed(loud.Integrated, 1) +
                                    " LUFS (no target is set).",
                                {}});
        }
        if (policy.LoudnessRangeMax)
            findings.push_back({"loudness.range",
                                !(loud.Range > *policy.LoudnessRangeMax),
                                "Loudness range is " + Fixed(loud.Range, 1) + " LU; at most " +
                                    Fixed(*policy.LoudnessRangeMax, 1) + " LU is allowed.",
                                {}});
    }
    return findings;
}

std::vector<TFinding> ExpectationFindings(const TAudioFacts& facts, const TPolicy& policy) {
    std::vector<TFinding> findings;
    const TWaveFormat& f = facts.Format;
    const TRulePlace format = ChunkPlace(facts, "fmt ");
    if (policy.SampleRate)
        findings.push_back({"expect.sample-rate",
                            facts.HasFormat && f.SampleRate == *policy.SampleRate,
                            "The sample rate is " + std::to_string(f.SampleRate) + " Hz; " +
                                std::to_string(*policy.SampleRate) + " Hz is expected.",
                            format});
    if (policy.BitsPerSample)
        findings.push_back({"expect.bits-per-sample",
                            facts.HasFormat && f.BitsPerSample == *policy.BitsPerSample,
                            "The samples have " + std::to_string(f.BitsPerSample) + " bits; " +
                                std::to_string(*policy.BitsPerSample) + " are expected.",
                            format});
    if (policy.Channels)
        findings.push_back({"expect.channels", facts.HasFormat && f.Channels == *policy.Channels,
                            "The file has " + std::to_string(f.Channels) + " channels; " +
                                std::to_string(*policy.Channels) + " are expected.",
                            format});
    if (policy.Encoding)
        findings.push_back(
            {"expect.encoding", facts.HasFormat && EncodingKey(f) == *policy.Encoding,
             "The encoding is " + EncodingKey(f) + "; " + *policy.Encoding + " is expected.",
             format});
    for (const std::string& id : policy.Chunks) {
        const TRulePlace where = ChunkPlace(facts, id);
        std::string shown = id;
        while (!shown.empty() && shown.back() == ' ')
            shown.pop_back();
        findings.push_back({"expect.chunks", !where.Chunk.empty(),
                            where.Chunk.empty()
                                ? "There is no " + shown + " chunk; one is expected."
                                : "The " + shown + " chunk is there.",
                            where});
    }
    return findings;
}
