#include "samples/NameText.h"

namespace {

void AppendEscaped(std::string& out, unsigned char c) {
    constexpr char Hex[] = "0123456789ABCDEF";
    switch (c) {
    case '\n':
        out += "\\n";
        return;
    case '\t':
        out += "\\t";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\\':
        out += "\\\\";
        return;
    default:
        out += "\\x";
        out += Hex[c >> 4];
        out += Hex[c & 0xF];
    }
}

} // namespace

std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c < 0x80)
        return 1;
    const std::size_t length = c >= 0xC2 && c <= 0xDF   ? 2
                               : c >= 0xE0 && c <= 0xEF ? 3
                               : c >= 0xF0 && c <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80)
            return 0;
    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF are not UTF-8.
    const auto second = static_cast<unsigned char>(text[at + 1]);
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second >= 0xA0) ||
        (c == 0xF0 && second < 0x90) || (c == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

std::string NameText(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        const auto c = static_cast<unsigned char>(name[at]);
        const std::size_t length = Utf8Length(name, at);
        if (c < 0x20 || c == 0x7F || c == '\\' || length == 0) {
            AppendEscaped(out, c);
            ++at;
        } else {
            out.append(name, at, length);
            at += length;
        }
    }
    return out;
}
