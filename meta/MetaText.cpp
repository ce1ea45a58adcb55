#include "meta/MetaText.h"

std::string FieldText(const std::string& raw) {
    const std::size_t zero = raw.find('\0');
    return zero == std::string::npos ? raw : raw.substr(0, zero);
}

bool IsUtf8(const std::string& raw) {
    std::size_t i = 0;
    while (i < raw.size()) {
        const auto c = static_cast<unsigned char>(raw[i]);
        const int follow = c < 0x80         ? 0
                           : (c >> 5) == 6  ? 1
                           : (c >> 4) == 14 ? 2
                           : (c >> 3) == 30 ? 3
                                            : -1;
        if (follow < 0 || (c >= 0x80 && c < 0xC2) || c > 0xF4)
            return false;
        if (i + std::size_t(follow) >= raw.size() && follow > 0)
            return false;
        for (int k = 1; k <= follow; ++k)
            if ((static_cast<unsigned char>(raw[i + std::size_t(k)]) >> 6) != 2)
                return false;
        i += std::size_t(follow) + 1;
    }
    return true;
}

std::string AsUtf8(const std::string& raw, std::string& encoding) {
    if (IsUtf8(raw)) {
        encoding = "UTF-8";
        return raw;
    }
    encoding = "Latin-1";
    std::string text;
    for (char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            text += ch;
        } else {
            text += char(0xC0 | (c >> 6));
            text += char(0x80 | (c & 0x3F));
        }
    }
    return text;
}
