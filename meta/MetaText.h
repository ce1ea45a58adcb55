#pragma once
// Text fields of metadata chunks: fixed-size fields padded with zeros, strings that should end
// with a zero, and text in UTF-8 or Latin-1.

#include <string>

// A fixed field's text up to its first zero byte.
std::string FieldText(const std::string& raw);

// Text as UTF-8: kept when it is valid UTF-8 (then `encoding` is "UTF-8"), else read as
// Latin-1 and converted ("Latin-1").
std::string AsUtf8(const std::string& raw, std::string& encoding);

// Whether `raw` is valid UTF-8.
bool IsUtf8(const std::string& raw);
