#pragma once
// What riffdump keeps of one file in a results database: the file as it was found (path, size,
// modification time), how it read, its format, its chunks, its metadata and, with --report,
// its quality report. Plain data, made while the file is read, written in one transaction.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "meta/Metadata.h"
#include "report/QualityReport.h"
#include "wave/AudioFacts.h"

struct TMetadataRow {
    std::string Chunk, Key, Value;
};

struct TFileRecord {
    std::string Path;
    std::optional<std::uint64_t> Size;   // null for a stream
    std::optional<std::int64_t> MtimeNs; // null for a stream
    std::string Status;                  // the log's reader's (wsOk, ...)
    std::string Reason;                  // why it did not read, or why its audio cannot be
    TAudioFacts Facts;                   // the file as its format says
    std::vector<TMetadataRow> Metadata;
    std::optional<TQualityReport> Report;
};

// The size and modification time of a regular file `path`; false for anything else.
bool FileStamp(const std::string& path, std::uint64_t& size, std::int64_t& mtimeNs);

// The metadata as rows of chunk, key and value: LIST/INFO fields, bext fields, iXML and axml
// texts, markers.
std::vector<TMetadataRow> MetadataRows(const TFileMetadata& meta);
