#include "meta/MetadataText.h"

#include <cstdio>

namespace {

std::string Number(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void Add(std::vector<std::string>& lines, const std::string& name, const std::string& value) {
    if (!value.empty())
        lines.push_back(name + ": " + value);
}

const char* LoopType(std::uint32_t type) {
    switch (type) {
    case 0:
        return "forward";
    case 1:
        return "alternating";
    case 2:
        return "backward";
    default:
        return "other";
    }
}

} // namespace

std::string SecondsText(std::uint64_t frames, std::uint32_t rate) {
    if (rate == 0)
        return "frame " + std::to_string(frames);
    return Number(double(frames) / rate, 3) + " s";
}

std::vector<TMetaGroup> MetadataText(const TFileMetadata& meta) {
    std::vector<TMetaGroup> groups;
    const std::uint32_t rate = meta.SampleRate;
    if (!meta.Info.empty()) {
        TMetaGroup group{"LIST/INFO", {}};
        for (const TInfoField& field : meta.Info)
            group.Lines.push_back(field.Name + ": " + field.Text +
                                  (field.Encoding == "UTF-8" ? "" : " (" + field.Encoding + ")"));
        groups.push_back(group);
    }
    if (const auto& b = meta.Bext) {
        TMetaGroup group{"bext", {}};
        Add(group.Lines, "Description", b->Description);
        Add(group.Lines, "Originator", b->Originator);
        Add(group.Lines, "Reference", b->OriginatorReference);
        Add(group.Lines, "Origination", b->OriginationDate + " " + b->OriginationTime);
        group.Lines.push_back("Time reference: " + std::to_string(b->TimeReference) + " frames (" +
                              TimeOfDay(b->TimeReference, rate) + ")");
        group.Lines.push_back("Version: " + std::to_string(b->Version));
        Add(group.Lines, "UMID", b->Umid);
        const struct {
            const char* Name;
            const std::optional<double>* Value;
            const char* Unit;
        } loudness[] = {
            {"Loudness value", &b->LoudnessValue, "LUFS"},
            {"Loudness range", &b->LoudnessRange, "LU"},
            {"Max true peak level", &b->MaxTruePeakLevel, "dBTP"},
            {"Max momentary loudness", &b->MaxMomentaryLoudness, "LUFS"},
            {"Max short-term loudness", &b->MaxShortTermLoudness, "LUFS"},
        };
        for (const auto& [name, value, unit] : loudness)
            if (*value)
                group.Lines.push_back(std::string(name) + ": " + Number(**value, 2) + " " + unit);
        Add(group.Lines, "Coding history", b->CodingHistory);
        groups.push_back(group);
    }
    if (!meta.Markers.empty()) {
        TMetaGroup group{"Markers (cue)", {}};
        for (const TMarker& m : meta.Markers) {
            std::string line = "#" + std::to_string(m.Id) + " at frame " + std::to_string(m.Frame) +
                               " (" + SecondsText(m.Frame, rate) + ")";
            if (m.Length)
                line += ", length " + std::to_string(*m.Length) + " frames";
            if (!m.Label.empty())
                line += ": " + m.Label;
            if (!m.Note.empty())
                line += " [" + m.Note + "]";
            group.Lines.push_back(line);
        }
        groups.push_back(group);
    }
    if (const auto& s = meta.Sampler) {
        TMetaGroup group{"smpl", {}};
        group.Lines.push_back("Unity note: " + std::to_string(s->UnityNote));
        group.Lines.push_back("Fine tune: " + Number(s->FineTuneCents, 2) + " cents");
        group.Lines.push_back("Sample period: " + std::to_string(s->SamplePeriod) + " ns");
        for (const TSampleLoop& loop : s->Loops)
            group.Lines.push_back(
                "Loop " + std::to_string(loop.Id) + ": " + LoopType(loop.Type) + ", frames " +
                std::to_string(loop.Start) + " to " + std::to_string(loop.End) + ", played " +
                (loop.PlayCount == 0 ? std::string("for ever")
                                     : std::to_string(loop.PlayCount) + " times"));
        groups.push_back(group);
    }
    if (const auto& i = meta.Instrument)
        groups.push_back(
            {"inst",
             {"Unshifted note: " + std::to_string(i->UnshiftedNote),
              "Fine tune: " + std::to_string(i->FineTune) + " cents",
              "Gain: " + std::to_string(i->Gain) + " dB",
              "Notes: " + std::to_string(i->LowNote) + " to " + std::to_string(i->HighNote),
              "Velocities: " + std::to_string(i->LowVelocity) + " to " +
                  std::to_string(i->HighVelocity)}});
    if (meta.FactSamples)
        groups.push_back({"fact", {"Frames: " + std::to_string(*meta.FactSamples)}});
    if (const auto& p = meta.Peak) {
        TMetaGroup group{"PEAK", {"Version: " + std::to_string(p->Version)}};
        for (std::size_t c = 0; c < p->Peaks.size(); ++c)
            group.Lines.push_back("Channel " + std::to_string(c + 1) + ": " +
                                  Number(p->Peaks[c].first, 6) + " at frame " +
                                  std::to_string(p->Peaks[c].second));
        groups.push_back(group);
    }
    if (const auto& a = meta.Acid)
        groups.push_back(
            {"acid",
             {"Tempo: " + Number(a->Tempo, 3) + " BPM", "Beats: " + std::to_string(a->Beats),
              "Meter: " + std::to_string(a->MeterNumerator) + "/" +
                  std::to_string(a->MeterDenominator),
              "Root note: " + std::to_string(a->RootNote) + (a->RootNoteSet() ? "" : " (not set)"),
              std::string("One-shot: ") + (a->OneShot() ? "yes" : "no")}});
    if (const auto& d = meta.Ds64) {
        TMetaGroup group{"ds64",
                         {"RIFF size: " + std::to_string(d->RiffSize),
                          "Data size: " + std::to_string(d->DataSize),
                          "Frames: " + std::to_string(d->SampleCount)}};
        for (const auto& [id, size] : d->Table)
            group.Lines.push_back(id + ": " + std::to_string(size));
        groups.push_back(group);
    }
    if (const auto& t = meta.Id3) {
        TMetaGroup group{"ID3", {}};
        Add(group.Lines, "Title", t->Title);
        Add(group.Lines, "Artist", t->Artist);
        Add(group.Lines, "Album", t->Album);
        groups.push_back(group);
    }
    for (const auto* xml : {&meta.Ixml, &meta.Axml})
        if (*xml) {
            TMetaGroup group{xml == &meta.Ixml ? "iXML" : "axml", {}};
            std::size_t at = 0;
            while (at < (*xml)->size()) {
                const std::size_t end = (*xml)->find('\n', at);
                group.Lines.push_back((*xml)->substr(at, end - at));
                at = end == std::string::npos ? (*xml)->size() : end + 1;
            }
            groups.push_back(group);
        }
    if (!meta.Other.empty()) {
        TMetaGroup group{"Other chunks", {}};
        for (const TOtherChunk& chunk : meta.Other)
            group.Lines.push_back(chunk.Id + " at " + std::to_string(chunk.Offset) + ", " +
                                  std::to_string(chunk.Size) + " bytes");
        groups.push_back(group);
    }
    return groups;
}
