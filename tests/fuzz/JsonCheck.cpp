#include "tests/fuzz/JsonCheck.h"

#include <cstdint>
#include <set>

namespace {

class TJsonCheck {
  public:
    explicit TJsonCheck(std::string_view text) : Text(text) {}

    bool Document() {
        Space();
        if (!Value(0))
            return false;
        Space();
        return At == Text.size();
    }

  private:
    // Deep enough for any report; a deeper text is a fault of the writer anyway.
    static constexpr int MostDepth = 64;

    bool Value(int depth) {
        if (depth > MostDepth || At >= Text.size())
            return false;
        switch (Text[At]) {
        case '{':
            return Object(depth);
        case '[':
            return Array(depth);
        case '"':
            return String();
        case 't':
            return Word("true");
        case 'f':
            return Word("false");
        case 'n':
            return Word("null");
        default:
            return Number();
        }
    }

    bool Object(int depth) {
        ++At;
        Space();
        if (Take('}'))
            return true;
        // Keys are unique: a reader keeps one value of a key written twice and loses the other.
        std::set<std::string_view> keys;
        for (;;) {
            Space();
            const std::size_t keyStart = At;
            if (At >= Text.size() || Text[At] != '"' || !String())
                return false;
            if (!keys.insert(Text.substr(keyStart, At - keyStart)).second)
                return false;
            Space();
            if (!Take(':'))
                return false;
            Space();
            if (!Value(depth + 1))
                return false;
            Space();
            if (Take('}'))
                return true;
            if (!Take(','))
                return false;
        }
    }

    bool Array(int depth) {
        ++At;
        Space();
        if (Take(']'))
            return true;
        for (;;) {
            Space();
            if (!Value(depth + 1))
                return false;
            Space();
            if (Take(']'))
                return true;
            if (!Take(','))
                return false;
        }
    }

    bool String() {
        ++At; // the opening quote
        while (At < Text.size()) {
            const auto c = static_cast<std::uint8_t>(Text[At]);
            if (c == '"') {
                ++At;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c == '\\') {
                if (!Escape())
                    return false;
                continue;
            }
            if (!Utf8Character())
                return false;
        }
        return false;
    }

    bool Escape() {
        ++At;
        if (At >= Text.size())
            return false;
        const char c = Text[At++];
        if (c == 'u') {
            for (int i = 0; i < 4; ++i, ++At)
                if (At >= Text.size() || !IsHex(Text[At]))
                    return false;
            return true;
        }
        return std::string_view("\"\\/bfnrt").find(c) != std::string_view::npos;
    }

    // One character of valid UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
    bool Utf8Character() {
        const auto lead = static_cast<std::uint8_t>(Text[At]);
        int more = 0;
        std::uint32_t code = 0, least = 0;
        if (lead < 0x80) {
            ++At;
            return true;
        } else if ((lead & 0xE0) == 0xC0) {
            more = 1, code = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            more = 2, code = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            more = 3, code = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        ++At;
        for (int i = 0; i < more; ++i, ++At) {
            if (At >= Text.size() || (static_cast<std::uint8_t>(Text[At]) & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (static_cast<std::uint8_t>(Text[At]) & 0x3F);
        }
        return code >= least && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    }

    bool Number() {
        Take('-');
        if (Take('0')) {
        } else if (!Digits()) {
            return false;
        }
        if (Take('.') && !Digits())
            return false;
        if (Take('e') || Take('E')) {
            if (!Take('+'))
                Take('-');
            if (!Digits())
                return false;
        }
        return true;
    }

    bool Digits() {
        const std::size_t from = At;
        while (At < Text.size() && Text[At] >= '0' && Text[At] <= '9')
            ++At;
        return At > from;
    }

    bool Word(std::string_view word) {
        if (Text.substr(At, word.size()) != word)
            return false;
        At += word.size();
        return true;
    }

    bool Take(char c) {
        if (At < Text.size() && Text[At] == c) {
            ++At;
            return true;
        }
        return false;
    }

    void Space() {
        while (At < Text.size() &&
               (Text[At] == ' ' || Text[At] == '\t' || Text[At] == '\n' || Text[At] == '\r'))
            ++At;
    }

    static bool IsHex(char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }

    std::string_view Text;
    std::size_t At = 0;
};

} // namespace

bool IsWellFormedJson(std::string_view text) {
    return TJsonCheck(text).Document();
}
