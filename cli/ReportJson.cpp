#include "cli/ReportJson.h"

#include "cli/JsonText.h"

namespace {

void Md5Member(TJsonWriter& json, const char* key, const std::optional<TMd5>& md5) {
    if (md5)
        json.String(key, Md5Text(*md5));
    else
        json.Null(key);
}

void Place(TJsonWriter& json, const TRulePlace& where) {
    if (where.Empty()) {
        json.Null("where");
        return;
    }
    json.BeginObject("where");
    if (!where.Chunk.empty())
        json.String("chunk", where.Chunk);
    if (where.Offset)
        json.Unsigned("offset", *where.Offset);
    if (where.Frame)
        json.Unsigned("frame", *where.Frame);
    if (where.Channel)
        json.Number("channel", *where.Channel + 1);
    json.EndObject();
}

} // namespace

std::string QualityReportJson(const TQualityReport& report) {
    TJsonWriter json;
    json.BeginObject();
    json.BeginObject("md5");
    Md5Member(json, "computed", report.Md5.Computed);
    Md5Member(json, "stored", report.Md5.Stored);
    if (report.Md5.Computed && report.Md5.Stored)
        json.Bool("agree", report.Md5.Agree());
    else
        json.Null("agree");
    json.Bool("cutShort", report.Md5.CutShort);
    json.EndObject();
    if (!report.Measured)
        json.String("refusal", report.Refusal);
    json.BeginArray("channels");
    for (std::size_t c = 0; c < report.Levels.Channels.size(); ++c) {
        const TChannelLevels& l = report.Levels.Channels[c];
        json.BeginObject();
        if (l.Name.empty())
            json.Null("name"); // the channel mask names no position for it
        else
            json.String("name", l.Name);
        json.Double("min", l.Min)
            .Double("max", l.Max)
            .Double("peakDbfs", l.PeakDbfs)
            .Double("rmsDbfs", l.RmsDbfs)
            .Double("dcOffset", l.DcOffset)
            .Double("crest", l.Crest)
            .Unsigned("clippedSamples", l.ClippedSamples)
            .Unsigned("clippedRuns", l.ClippedRuns)
            .Unsigned("silenceHeadFrames", l.SilenceHeadFrames)
            .Unsigned("silenceTailFrames", l.SilenceTailFrames);
        if (l.BitsInUse) {
            json.Number("bitsInUse", *l.BitsInUse);
        } else {
            json.Null("bitsInUse");
            json.Unsigned("nan", l.NaN).Unsigned("inf", l.Inf).Unsigned("overs", l.Overs);
        }
        json.EndObject();
    }
    json.EndArray();
    if (report.Loudness) {
        const TLoudness& l = *report.Loudness;
        json.BeginObject("loudness")
            .Double("integrated", l.Integrated)
            .Double("range", l.Range)
            .Double("momentaryMax", l.MomentaryMax)
            .Double("shortTermMax", l.ShortTermMax);
        json.BeginArray("truePeakDbtp");
        for (double peak : l.TruePeakDbtp)
            json.Double({}, peak);
        json.EndArray().EndObject();
    } else {
        json.Null("loudness");
    }
    json.BeginArray("rules");
    for (const TRuleResult& rule : report.Rules) {
        json.BeginObject()
            .String("id", rule.Id)
            .String("severity", SeverityName(rule.Severity))
            .String("verdict", VerdictName(rule.Verdict))
            .String("message", rule.Message);
        Place(json, rule.Where);
        json.EndObject();
    }
    json.EndArray();
    json.String("verdict", VerdictName(report.Verdict));
    json.EndObject();
    return json.Text();
}
