#include "cli/JsonText.h"

#include <charconv>
#include <cmath>

namespace {

// The length of the valid UTF-8 sequence that starts `text`, or 0 where none does.
std::size_t Utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    std::uint32_t code = lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(i) & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

void AppendEscape(std::string& out, unsigned char byte) {
    static const char hex[] = "0123456789abcdef";
    out += "\\u00";
    out += hex[byte >> 4];
    out += hex[byte & 15];
}

} // namespace

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, c);
        } else if (c >= 0x80) {
            const std::size_t length = Utf8Length(bytes.substr(i));
            if (length == 0) {
                AppendEscape(out, c);
            } else {
                out.append(bytes.substr(i, length));
                i += length;
                continue;
            }
        } else {
            out += char(c);
        }
        ++i;
    }
    out += '"';
    return out;
}

void TJsonWriter::Key(std::string_view key) {
    if (!First)
        Out += ',';
    First = false;
    if (!key.empty()) {
        Out += JsonString(key);
        Out += ':';
    }
}

TJsonWriter& TJsonWriter::BeginObject(std::string_view key) {
    Key(key);
    Out += '{';
    First = true;
    return *this;
}

TJsonWriter& TJsonWriter::EndObject() {
    Out += '}';
    First = false;
    return *this;
}

TJsonWriter& TJsonWriter::BeginArray(std::string_view key) {
    Key(key);
    Out += '[';
    First = true;
    return *this;
}

TJsonWriter& TJsonWriter::EndArray() {
    Out += ']';
    First = false;
    return *this;
}

TJsonWriter& TJsonWriter::String(std::string_view key, std::string_view value) {
    Key(key);
    Out += JsonString(value);
    return *this;
}

TJsonWriter& TJsonWriter::Number(std::string_view key, std::int64_t value) {
    Key(key);
    Out += std::to_string(value);
    return *this;
}

TJsonWriter& TJsonWriter::Unsigned(std::string_view key, std::uint64_t value) {
    Key(key);
    Out += std::to_string(value);
    return *this;
}

TJsonWriter& TJsonWriter::Double(std::string_view key, double value) {
    if (!std::isfinite(value))
        return Null(key);
    Key(key);
    char text[32];
    Out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
    return *this;
}

TJsonWriter& TJsonWriter::Bool(std::string_view key, bool value) {
    Key(key);
    Out += value ? "true" : "false";
    return *this;
}

TJsonWriter& TJsonWriter::Raw(std::string_view key, std::string_view json) {
    Key(key);
    Out += json;
    return *this;
}

TJsonWriter& TJsonWriter::Null(std::string_view key) {
    Key(key);
    Out += "null";
    return *this;
}
