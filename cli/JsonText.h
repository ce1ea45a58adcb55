#pragma once
// JSON text for riffdump's reports: strings from raw bytes (file names and chunk ids need not
// be UTF-8), and a small writer of one object per line.

#include <cstdint>
#include <string>
#include <string_view>

// `bytes` as a JSON string. Valid UTF-8 passes as it is; any other byte is written as the
// code point of the same value (\u00XX), so every input gives valid JSON.
std::string JsonString(std::string_view bytes);

// Builds one JSON object or array, member by member.
class TJsonWriter {
  public:
    TJsonWriter& BeginObject(std::string_view key = {});
    TJsonWriter& EndObject();
    TJsonWriter& BeginArray(std::string_view key);
    TJsonWriter& EndArray();
    TJsonWriter& String(std::string_view key, std::string_view value);
    TJsonWriter& Number(std::string_view key, std::int64_t value);
    // A count or size as the file gives it, any 64-bit value.
    TJsonWriter& Unsigned(std::string_view key, std::uint64_t value);
    TJsonWriter& Null(std::string_view key);
    // The shortest text that reads back as `value`; null for NaN and infinities.
    TJsonWriter& Double(std::string_view key, double value);
    TJsonWriter& Bool(std::string_view key, bool value);
    // A value already written as JSON text (an object or array built elsewhere).
    TJsonWriter& Raw(std::string_view key, std::string_view json);

    const std::string& Text() const { return Out; }

  private:
    void Key(std::string_view key); // a comma where one is due, then "key": when given
    std::string Out;
    bool First = true;
};
