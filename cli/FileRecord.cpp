#include "cli/FileRecord.h"

#include <string>

std::vector<TMetadataRow> MetadataRows(const TFileMetadata& meta) {
    std::vector<TMetadataRow> rows;
    for (const TInfoField& field : meta.Info)
        rows.push_back({"LIST", field.Id, field.Text});
    if (const auto& b = meta.Bext) {
        const std::pair<const char*, std::string> fields[] = {
            {"Description", b->Description},
            {"Originator", b->Originator},
            {"OriginatorReference", b->OriginatorReference},
            {"OriginationDate", b->OriginationDate},
            {"OriginationTime", b->OriginationTime},
            {"TimeReference", std::to_string(b->TimeReference)},
            {"Version", std::to_string(b->Version)},
            {"UMID", b->Umid},
            {"CodingHistory", b->CodingHistory}};
        for (const auto& [key, value] : fields)
            rows.push_back({"bext", key, value});
    }
    if (meta.Ixml)
        rows.push_back({"iXML", "text", *meta.Ixml});
    if (meta.Axml)
        rows.push_back({"axml", "text", *meta.Axml});
    // A marker as its frame (from 0), its length where it is a region, and its label.
    for (const TMarker& m : meta.Markers)
        rows.push_back({"cue ", "marker " + std::to_string(m.Id),
                        std::to_string(m.Frame) +
                            (m.Length ? "+" + std::to_string(*m.Length) : std::string()) +
                            (m.Label.empty() ? std::string() : " " + m.Label)});
    return rows;
}
