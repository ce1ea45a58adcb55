#include "report/JsonValue.h"

#include <cstdlib>

namespace {

class TJsonReader {
  public:
    explicit TJsonReader(const std::string& text) : Text(text) {}

    TJsonValue Document() {
        TJsonValue value = Value(0);
        Space();
        if (At < Text.size())
            Fail("there is more after the end of the JSON value");
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& reason) const { throw TJsonError(Line, reason); }

    void Space() {
        while (At < Text.size() &&
               (Text[At] == ' ' || Text[At] == '\t' || Text[At] == '\r' || Text[At] == '\n')) {
            if (Text[At] == '\n')
                ++Line;
            ++At;
        }
    }

    TJsonValue Value(int depth) {
        if (depth > 64)
            Fail("values are nested more than 64 deep");
        Space();
        if (At >= Text.size())
            Fail("the text ends where a value is due");
        TJsonValue value;
        value.Line = Line;
        const char c = Text[At];
        if (c == '{') {
            value.Kind = TJsonValue::jkObject;
            ++At;
            Space();
            if (Peek('}'))
                return value;
            for (;;) {
                Space();
                if (At >= Text.size() || Text[At] != '"')
                    Fail("a member's name in double quotes is due");
                std::string key = String();
                Space();
                Expect(':');
                value.Members.push_back({std::move(key), Value(depth + 1)});
                Space();
                if (Peek('}'))
                    return value;
                Expect(',');
            }
        }
        if (c == '[') {
            value.Kind = TJsonValue::jkArray;
            ++At;
            Space();
            if (Peek(']'))
                return value;
            for (;;) {
                value.Items.push_back(Value(depth + 1));
                Space();
                if (Peek(']'))
                    return value;
                Expect(',');
            }
        }
        if (c == '"') {
            value.Kind = TJsonValue::jkString;
            value.String = String();
            return value;
        }
        if (Word("true") || Word("false")) {
            value.Kind = TJsonValue::jkBool;
            value.Bool = Text[At - 1] == 'e' && Text[At - 2] == 'u';
            return value;
        }
        if (Word("null"))
            return value;
        if (c == '-' || (c >= '0' && c <= '9')) {
            value.Kind = TJsonValue::jkNumber;
            value.Number = Number();
            return value;
        }
        Fail(std::string("unexpected character '") + c + "'");
    }

    bool Peek(char c) {
        if (At < Text.size() && Text[At] == c) {
            ++At;
            return true;
        }
        return false;
    }
    void Expect(char c) {
        if (!Peek(c))
            Fail(std::string("'") + c + "' is due");
    }
    bool Word(const char* word) {
        const std::string w = word;
        if (Text.compare(At, w.size(), w) != 0)
            return false;
        At += w.size();
        return true;
    }

    double Number() {
        const std::size_t start = At;
        if (Text[At] == '-')
            ++At;
        const auto digits = [&] {
            const std::size_t from = At;
            while (At < Text.size() && Text[At] >= '0' && Text[At] <= '9')
                ++At;
            return At > from;
        };
        if (!digits())
            Fail("a number needs digits");
        if (At < Text.size() && Text[At] == '.') {
            ++At;
            if (!digits())
                Fail("a number needs digits after its point");
        }
        if (At < Text.size() && (Text[At] == 'e' || Text[At] == 'E')) {
            ++At;
            if (At < Text.size() && (Text[At] == '+' || Text[At] == '-'))
                ++At;
            if (!digits())
                Fail("a number needs digits in its exponent");
        }
        return std::strtod(Text.substr(start, At - start).c_str(), nullptr);
    }

    static void Utf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += char(code);
        } else if (code < 0x800) {
            out += char(0xC0 | code >> 6);
            out += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += char(0xE0 | code >> 12);
            out += char(0x80 | (code >> 6 & 0x3F));
            out += char(0x80 | (code & 0x3F));
        } else {
            out += char(0xF0 | code >> 18);
            out += char(0x80 | (code >> 12 & 0x3F));
            out += char(0x80 | (code >> 6 & 0x3F));
            out += char(0x80 | (code & 0x3F));
        }
    }
    unsigned Hex4() {
        if (At + 4 > Text.size())
            Fail("a \\u escape needs four hexadecimal digits");
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = Text[At++];
            code <<= 4;
            if (h >= '0' && h <= '9')
                code |= unsigned(h - '0');
            else if (h >= 'a' && h <= 'f')
                code |= unsigned(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                code |= unsigned(h - 'A' + 10);
            else
                Fail("a \\u escape needs four hexadecimal digits");
        }
        return code;
    }

    std::string String() {
        ++At; // the opening quote
        std::string out;
        for (;;) {
            if (At >= Text.size())
                Fail("a string is not closed");
            const char c = Text[At++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                Fail("a string holds a control character; write it escaped");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (At >= Text.size())
                Fail("a string is not closed");
            const char e = Text[At++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned code = Hex4();
                if (code >= 0xD800 && code < 0xDC00 && Text.compare(At, 2, "\\u") == 0) {
                    At += 2;
                    const unsigned low = Hex4();
                    if (low >= 0xDC00 && low < 0xE000)
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                Utf8(out, code);
                break;
            }
            default:
                Fail(std::string("unknown escape \\") + e);
            }
        }
    }

    const std::string& Text;
    std::size_t At = 0;
    int Line = 1;
};

} // namespace

TJsonValue ParseJson(const std::string& text) {
    return TJsonReader(text).Document();
}

const char* JsonKindName(TJsonValue::TKind kind) {
    switch (kind) {
    case TJsonValue::jkNull:
        return "null";
    case TJsonValue::jkBool:
        return "true or false";
    case TJsonValue::jkNumber:
        return "a number";
    case TJsonValue::jkString:
        return "a string";
    case TJsonValue::jkArray:
        return "a list";
    case TJsonValue::jkObject:
        break;
    }
    return "an object";
}
