#include "report/ReportText.h"

#include <algorithm>
#include <cstdio>

#include "report/ReportNumbers.h"

namespace {

std::string Upper(const char* text) {
    std::string out = text;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return char(std::toupper(c)); });
    return out;
}

// Rows of cells with each column as wide as its widest cell: the first column left-aligned,
// the numbers right-aligned.
std::string Table(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths.resize(std::max(widths.size(), row.size()));
            widths[c] = std::max(widths[c], row[c].size());
        }
    std::string out;
    for (const auto& row : rows) {
        std::string line = "  ";
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(widths[c] - row[c].size(), ' ');
            line += c == 0 ? row[c] + pad : "  " + pad + row[c];
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line + "\n";
    }
    return out;
}

std::string Value(double value, bool isFloat) {
    if (isFloat)
        return Fixed(value, 6);
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

} // namespace

std::string PlaceText(const TRulePlace& where) {
    std::string text;
    if (!where.Chunk.empty()) {
        text = "chunk '" + where.Chunk + "'";
        if (where.Offset)
            text += " at offset " + std::to_string(*where.Offset);
    } else if (where.Offset) {
        text = "offset " + std::to_string(*where.Offset);
    }
    if (where.Frame) {
        text += (text.empty() ? "" : ", ") + std::string("frame ") + std::to_string(*where.Frame);
        if (where.Channel)
            text += ", channel " + std::to_string(*where.Channel + 1);
    }
    return text;
}

std::string QualityReportText(const std::string& file, const TQualityReport& report) {
    std::string out = file + ": " + Upper(VerdictName(report.Verdict));
    std::size_t notPassed = 0;
    for (const TRuleResult& rule : report.Rules)
        notPassed += rule.Verdict != vdPass;
    out += notPassed == 0 ? " (every rule passed)\n"
                          : " (" + std::to_string(notPassed) + " rule" +
                                (notPassed == 1 ? "" : "s") + " did not pass)\n";
    if (!report.Measured)
        out += "  The audio is not measured: " + report.Refusal + "\n";
    if (report.Md5.Computed) {
        out += "  MD5 of the audio data: " + Md5Text(*report.Md5.Computed);
        if (report.Md5.Stored)
            out += report.Md5.Agree() ? " (agrees with the MD5 chunk)"
                                      : " (the MD5 chunk says " + Md5Text(*report.Md5.Stored) + ")";
        if (report.Md5.CutShort)
            out += " (of the " + std::to_string(report.Md5.Bytes) + " bytes present)";
        out += "\n";
    }
    if (report.Measured) {
        const auto& channels = report.Levels.Channels;
        const bool isFloat = std::any_of(channels.begin(), channels.end(),
                                         [](const TChannelLevels& c) { return !c.BitsInUse; });
        std::vector<std::vector<std::string>> rows;
        std::vector<std::string> head = {"Channel",  "Min",         "Max",        "Peak dBFS",
                                         "RMS dBFS", "DC offset",   "Crest",      "Clipped",
                                         "Runs",     "Silent head", "Silent tail"};
        head.push_back(isFloat ? "NaN/Inf/Over" : "Bits");
        if (report.Loudness)
            head.push_back("True peak dBTP");
        rows.push_back(head);
        for (std::size_t c = 0; c < channels.size(); ++c) {
            const TChannelLevels& l = channels[c];
            std::vector<std::string> row = {std::to_string(c + 1) +
                                                (l.Name.empty() ? "" : " " + l.Name),
                                            Value(l.Min, isFloat),
                                            Value(l.Max, isFloat),
                                            Fixed(l.PeakDbfs, 2),
                                            Fixed(l.RmsDbfs, 2),
                                            Fixed(l.DcOffset, 6),
                                            Fixed(l.Crest, 2),
                                            std::to_string(l.ClippedSamples),
                                            std::to_string(l.ClippedRuns),
                                            std::to_string(l.SilenceHeadFrames),
                                            std::to_string(l.SilenceTailFrames)};
            row.push_back(isFloat ? std::to_string(l.NaN) + "/" + std::to_string(l.Inf) + "/" +
                                        std::to_string(l.Overs)
                                  : std::to_string(l.BitsInUse.value_or(0)));
            if (report.Loudness)
                row.push_back(c < report.Loudness->TruePeakDbtp.size()
                                  ? Fixed(report.Loudness->TruePeakDbtp[c], 2)
                                  : "");
            rows.push_back(row);
        }
        out += Table(rows);
        if (report.Loudness) {
            const TLoudness& l = *report.Loudness;
            out += "  Loudness: integrated " + Fixed(l.Integrated, 1) + " LUFS, range " +
                   Fixed(l.Range, 1) + " LU, momentary max " + Fixed(l.MomentaryMax, 1) +
                   " LUFS, short-term max " + Fixed(l.ShortTermMax, 1) + " LUFS\n";
        }
    }
    for (const TRuleResult& rule : report.Rules) {
        if (rule.Verdict == vdPass)
            continue;
        out += "  " + std::string(VerdictName(rule.Verdict)) + " " + rule.Id + " (" +
               SeverityName(rule.Severity) + "): " + rule.Message;
        const std::string where = PlaceText(rule.Where);
        if (!where.empty())
            out += " [" + where + "]";
        out += "\n";
    }
    return out;
}
