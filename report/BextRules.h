#pragma once
// The broadcast wave description's fields as archives check them (lengths padded with
// zeros, ASCII, dates and times that exist, the version, the UMID, coding history lines), and
// the creation date of LIST/INFO.

#include <optional>
#include <vector>

#include "meta/Metadata.h"
#include "report/RuleResult.h"

struct TLoudness;

// `chunks`: the file's metadata chunks with their bytes. `measured`: the audio's loudness,
// for the values a version 2 bext states (null when not measured).
std::vector<TFinding> BextFindings(const std::vector<TMetaChunk>& chunks, const TFileMetadata& meta,
                                   const TLoudness* measured);

// Whether `text` is a date that exists: yyyy-mm-dd (or, where allowed, yyyy-mm and yyyy).
bool IsRealDate(const std::string& text, bool allowShort);
// Whether `text` is a time of day that exists: hh:mm:ss.
bool IsRealTime(const std::string& text);
