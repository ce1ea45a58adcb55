#include "cli/MetadataJson.h"

#include <cstdio>
#include <utility>

#include "cli/JsonText.h"
#include "meta/MetadataText.h"
#include "meta/TimelineMarks.h"

namespace {

double Seconds(std::uint64_t frames, std::uint32_t rate) {
    return rate == 0 ? 0 : double(frames) / rate;
}

} // namespace

std::string MetadataJson(const TFileMetadata& meta) {
    TJsonWriter json;
    json.BeginObject();
    if (!meta.Info.empty()) {
        // A list, not an object by name: a file may hold a field twice, and both are shown.
        json.BeginArray("info");
        for (const TInfoField& field : meta.Info)
            json.BeginObject()
                .String("id", field.Id)
                .String("name", field.Name)
                .String("text", field.Text)
                .String("encoding", field.Encoding)
                .EndObject();
        json.EndArray();
    }
    if (const auto& b = meta.Bext) {
        json.BeginObject("bext")
            .String("description", b->Description)
            .String("originator", b->Originator)
            .String("originatorReference", b->OriginatorReference)
            .String("originationDate", b->OriginationDate)
            .String("originationTime", b->OriginationTime)
            .Unsigned("timeReference", b->TimeReference)
            .String("timeOfDay", TimeOfDay(b->TimeReference, meta.SampleRate))
            .Number("version", b->Version)
            .String("umid", b->Umid);
        const std::pair<const char*, const std::optional<double>*> loudness[] = {
            {"loudnessValue", &b->LoudnessValue},
            {"loudnessRange", &b->LoudnessRange},
            {"maxTruePeakLevel", &b->MaxTruePeakLevel},
            {"maxMomentaryLoudness", &b->MaxMomentaryLoudness},
            {"maxShortTermLoudness", &b->MaxShortTermLoudness},
        };
        for (const auto& [name, value] : loudness)
            if (*value)
                json.Double(name, **value);
        json.String("codingHistory", b->CodingHistory).EndObject();
    }
    if (meta.Ixml)
        json.String("ixml", *meta.Ixml);
    if (meta.Axml)
        json.String("axml", *meta.Axml);
    if (!meta.Markers.empty()) {
        json.BeginArray("cues");
        for (const TMarker& m : meta.Markers) {
            json.BeginObject()
                .Number("id", m.Id)
                .Unsigned("frame", m.Frame)
                .Double("seconds", Seconds(m.Frame, meta.SampleRate))
                .String("label", m.Label)
                .String("note", m.Note);
            if (m.Length)
                json.Unsigned("length", *m.Length);
            else
                json.Null("length");
            json.EndObject();
        }
        json.EndArray();
    }
    if (const auto& s = meta.Sampler) {
        json.BeginObject("smpl")
            .Number("manufacturer", s->Manufacturer)
            .Number("product", s->Product)
            .Number("samplePeriod", s->SamplePeriod)
            .Number("unityNote", s->UnityNote)
            .Double("fineTuneCents", s->FineTuneCents)
            .Number("smpteFormat", s->SmpteFormat)
            .Number("smpteOffset", s->SmpteOffset)
            .BeginArray("loops");
        for (const TSampleLoop& loop : s->Loops)
            json.BeginObject()
                .Number("id", loop.Id)
                .Number("type", loop.Type)
                .Number("start", loop.Start)
                .Number("end", loop.End)
                .Number("fraction", loop.Fraction)
                .Number("playCount", loop.PlayCount)
                .EndObject();
        json.EndArray().EndObject();
    }
    if (const auto& i = meta.Instrument)
        json.BeginObject("inst")
            .Number("unshiftedNote", i->UnshiftedNote)
            .Number("fineTune", i->FineTune)
            .Number("gain", i->Gain)
            .Number("lowNote", i->LowNote)
            .Number("highNote", i->HighNote)
            .Number("lowVelocity", i->LowVelocity)
            .Number("highVelocity", i->HighVelocity)
            .EndObject();
    if (meta.FactSamples)
        json.BeginObject("fact").Number("sampleLength", *meta.FactSamples).EndObject();
    if (const auto& p = meta.Peak) {
        json.BeginObject("peak").Number("version", p->Version).Number("timestamp", p->Timestamp);
        json.BeginArray("channels");
        for (const auto& [value, position] : p->Peaks)
            json.BeginObject().Double("value", value).Number("position", position).EndObject();
        json.EndArray().EndObject();
    }
    if (const auto& a = meta.Acid)
        json.BeginObject("acid")
            .Bool("oneShot", a->OneShot())
            .Bool("rootNoteSet", a->RootNoteSet())
            .Bool("stretch", a->Stretch())
            .Bool("diskBased", a->DiskBased())
            .Number("rootNote", a->RootNote)
            .Number("beats", a->Beats)
            .Number("meterNumerator", a->MeterNumerator)
            .Number("meterDenominator", a->MeterDenominator)
            .Double("tempo", a->Tempo)
            .EndObject();
    if (const auto& d = meta.Ds64) {
        json.BeginObject("ds64")
            .Unsigned("riffSize", d->RiffSize)
            .Unsigned("dataSize", d->DataSize)
            .Unsigned("sampleCount", d->SampleCount)
            .BeginArray("table");
        for (const auto& [id, size] : d->Table)
            json.BeginObject().String("id", id).Unsigned("size", size).EndObject();
        json.EndArray().EndObject();
    }
    if (const auto& t = meta.Id3) {
        // The frames the tag has; one it lacks is left out rather than shown empty.
        json.BeginObject("id3");
        for (const auto& [key, text] :
             {std::pair{"title", &t->Title}, std::pair{"artist", &t->Artist},
              std::pair{"album", &t->Album}})
            if (!text->empty())
                json.String(key, *text);
        json.EndObject();
    }
    if (!meta.Other.empty()) {
        json.BeginArray("other");
        for (const TOtherChunk& chunk : meta.Other)
            json.BeginObject()
                .String("id", chunk.Id)
                .Unsigned("offset", chunk.Offset)
                .Unsigned("size", chunk.Size)
                .EndObject();
        json.EndArray();
    }
    json.EndObject();
    return json.Text();
}

std::string CueLabelTrack(const TFileMetadata& meta) {
    std::string track;
    // The cue points, as the window draws them: a region where one spans frames.
    for (const TTimelineMark& m : TimelineMarks(meta)) {
        if (!m.CueId)
            continue;
        const double start = Seconds(m.Frame, meta.SampleRate);
        const double end = Seconds(m.Frame + m.Length, meta.SampleRate);
        char times[64];
        std::snprintf(times, sizeof times, "%.6f\t%.6f\t", start, end);
        std::string label = m.Label;
        for (char& c : label)
            if (c == '\t' || c == '\n' || c == '\r')
                c = ' ';
        track += times + label + "\n";
    }
    return track;
}
