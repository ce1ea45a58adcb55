#include "report/Policy.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "report/JsonValue.h"
#include "report/RuleCatalog.h"
#include "wave/WaveFormat.h"

namespace {

[[noreturn]] void Refuse(const TJsonValue& at, const std::string& reason) {
    throw TPolicyError(at.Line, reason);
}

const TJsonValue& Need(const TJsonValue& value, TJsonValue::TKind kind, const std::string& key) {
    if (value.Kind != kind)
        Refuse(value, "\"" + key + "\" must be " + JsonKindName(kind) + ", not " +
                          JsonKindName(value.Kind));
    return value;
}

double NumberOf(const TJsonValue& value, const std::string& key, double low, double high) {
    const double number = Need(value, TJsonValue::jkNumber, key).Number;
    if (!(number >= low && number <= high))
        Refuse(value, "\"" + key + "\" must be from " + std::to_string(low).substr(0, 8) + " to " +
                          std::to_string(high).substr(0, 12));
    return number;
}

double WholeOf(const TJsonValue& value, const std::string& key, double low, double high) {
    const double number = NumberOf(value, key, low, high);
    if (number != std::floor(number))
        Refuse(value, "\"" + key + "\" must be a whole number");
    return number;
}

void ReadRules(const TJsonValue& rules, TPolicy& policy) {
    Need(rules, TJsonValue::jkObject, "rules");
    for (const auto& [id, value] : rules.Members) {
        bool known = FindRule(id) != nullptr;
        if (!known && id.size() > 2 && id.compare(id.size() - 2, 2, ".*") == 0) {
            const std::string family = id.substr(0, id.size() - 1);
            for (const TRuleInfo& rule : RuleCatalog())
                known = known || std::string(rule.Id).rfind(family, 0) == 0;
        }
        if (!known)
            Refuse(value, "unknown rule \"" + id + "\"");
        const std::string name = value.Kind == TJsonValue::jkString ? value.String : "";
        if (name == "off")
            policy.Rules[id] = std::nullopt;
        else if (name == "error")
            policy.Rules[id] = svError;
        else if (name == "warning" || name == "warn")
            policy.Rules[id] = svWarning;
        else if (name == "info")
            policy.Rules[id] = svInfo;
        else
            Refuse(value, "rule \"" + id + "\" takes \"error\", \"warning\", \"info\" or \"off\"");
    }
}

// An encoding by the name the reading gives it; a name no file can have would fail every file.
std::string EncodingOf(const TJsonValue& value, const std::string& key) {
    const std::string name = Need(value, TJsonValue::jkString, key).String;
    std::string known;
    for (int e = sePcm; e <= seGsm610; ++e) {
        TWaveFormat format;
        format.Encoding = TSampleEncoding(e);
        if (EncodingKey(format) == name)
            return name;
        known += (known.empty() ? "" : ", ") + EncodingKey(format);
    }
    Refuse(value, "unknown encoding \"" + name + "\" (" + known + ")");
}

void ReadExpect(const TJsonValue& expect, TPolicy& policy) {
    Need(expect, TJsonValue::jkObject, "expect");
    for (const auto& [key, value] : expect.Members) {
        if (key == "sampleRate") {
            policy.SampleRate = std::uint32_t(WholeOf(value, key, 1, 4294967295.0));
        } else if (key == "bitsPerSample") {
            policy.BitsPerSample = int(WholeOf(value, key, 1, 64));
        } else if (key == "channels") {
            policy.Channels = int(WholeOf(value, key, 1, 65535));
        } else if (key == "encoding") {
            policy.Encoding = EncodingOf(value, key);
        } else if (key == "chunks") {
            for (const TJsonValue& item : Need(value, TJsonValue::jkArray, key).Items) {
                std::string id = Need(item, TJsonValue::jkString, "chunks").String;
                if (id.empty() || id.size() > 4)
                    Refuse(item, "a chunk id has 1 to 4 characters (\"" + id + "\")");
                id.resize(4, ' ');
                policy.Chunks.push_back(id);
            }
        } else if (key == "loudness") {
            Need(value, TJsonValue::jkObject, key);
            for (const auto& [name, v] : value.Members) {
                if (name == "target")
                    policy.LoudnessTarget = NumberOf(v, name, -100, 0);
                else if (name == "tolerance")
                    policy.LoudnessTolerance = NumberOf(v, name, 0, 100);
                else if (name == "rangeMax")
                    policy.LoudnessRangeMax = NumberOf(v, name, 0, 100);
                else
                    Refuse(v, "unknown key \"" + name +
                                  "\" in \"loudness\" (target, tolerance, rangeMax)");
            }
        } else if (key == "truePeakMax") {
            policy.TruePeakMax = NumberOf(value, key, -100, 20);
            policy.TruePeakMaxGiven = true;
        } else if (key == "clipping") {
            policy.Clipping = Need(value, TJsonValue::jkBool, key).Bool;
        } else {
            Refuse(value, "unknown expectation \"" + key +
                              "\" (sampleRate, bitsPerSample, channels, encoding, chunks, "
                              "loudness, truePeakMax, clipping)");
        }
    }
}

void ReadThresholds(const TJsonValue& thresholds, TPolicy& policy) {
    Need(thresholds, TJsonValue::jkObject, "thresholds");
    for (const auto& [key, value] : thresholds.Members) {
        if (key == "clipRunLength")
            policy.ClipRunLength = std::uint64_t(WholeOf(value, key, 1, 1e9));
        else if (key == "dcOffsetMax")
            policy.DcOffsetMax = NumberOf(value, key, 0, 1);
        else
            Refuse(value, "unknown threshold \"" + key + "\" (clipRunLength, dcOffsetMax)");
    }
}

} // namespace

std::optional<TSeverity> TPolicy::SeverityOf(const std::string& id, TSeverity byDefault) const {
    if (const auto exact = Rules.find(id); exact != Rules.end())
        return exact->second;
    const std::size_t dot = id.find('.');
    if (dot != std::string::npos)
        if (const auto family = Rules.find(id.substr(0, dot) + ".*"); family != Rules.end())
            return family->second;
    return byDefault;
}

TPolicy ParsePolicy(const std::string& text) {
    TJsonValue document;
    try {
        document = ParseJson(text);
    } catch (const TJsonError& error) {
        throw TPolicyError(error.Line, std::string("not valid JSON: ") + error.what());
    }
    if (document.Kind != TJsonValue::jkObject)
        Refuse(document, "a policy is a JSON object");
    TPolicy policy;
    policy.Given = true;
    for (const auto& [key, value] : document.Members) {
        if (key == "rules")
            ReadRules(value, policy);
        else if (key == "expect")
            ReadExpect(value, policy);
        else if (key == "thresholds")
            ReadThresholds(value, policy);
        else
            Refuse(value, "unknown key \"" + key + "\" (rules, expect, thresholds)");
    }
    return policy;
}

TPolicy ReadPolicyFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw TPolicyError(0, std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (text.str().size() > (std::size_t(1) << 20))
        throw TPolicyError(0, "a policy file is at most 1 MiB");
    return ParsePolicy(text.str());
}
