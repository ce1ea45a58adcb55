// iXML and axml: XML text, laid out one element to a line for reading.
#include <algorithm>
#include <vector>

#include "meta/MetaText.h"
#include "meta/Metadata.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trimmed(const std::string& text) {
    std::size_t a = 0, b = text.size();
    while (a < b && IsSpace(text[a]))
        ++a;
    while (b > a && IsSpace(text[b - 1]))
        --b;
    return text.substr(a, b - a);
}

std::string TagName(const std::string& tag) {
    std::size_t end = 1;
    while (end < tag.size() && !IsSpace(tag[end]) && tag[end] != '>' && tag[end] != '/')
        ++end;
    return tag.substr(1, end - 1);
}

// Lines are indented by their depth up to this many levels and no further: a chunk nested
// thousands deep would otherwise pad every line by its depth and grow with the square of its
// size, in time and memory. Past this depth the nesting is already beyond reading by eye.
constexpr std::size_t MostIndentLevels = 32;

} // namespace

std::string IndentXml(const std::string& raw, const std::string& chunk, TProblems& problems) {
    std::string encoding;
    const std::string text = AsUtf8(FieldText(raw), encoding);
    std::string out;
    std::vector<std::string> open;
    const auto line = [&](const std::string& content) {
        out.append(2 * std::min(open.size(), MostIndentLevels), ' ');
        out += content;
        out += '\n';
    };
    std::size_t at = 0;
    bool wellFormed = true;
    while (at < text.size() && wellFormed) {
        if (IsSpace(text[at])) {
            ++at;
            continue;
        }
        if (text[at] != '<') {
            const std::size_t next = text.find('<', at);
            line(Trimmed(text.substr(at, next - at)));
            at = next == std::string::npos ? text.size() : next;
            continue;
        }
        const std::string ender = text.compare(at, 4, "<!--") == 0 ? "-->" : ">";
        const std::size_t end = text.find(ender, at);
        if (end == std::string::npos) {
            wellFormed = false;
            break;
        }
        const std::string tag = text.substr(at, end + ender.size() - at);
        at = end + ender.size();
        if (tag[1] == '?' || tag[1] == '!' || tag[tag.size() - 2] == '/') {
            line(tag);
        } else if (tag[1] == '/') {
            if (open.empty() || open.back() != TagName(tag.substr(1))) {
                wellFormed = false;
                break;
            }
            open.pop_back();
            line(tag);
        } else {
            // An element that holds only text stays on one line.
            const std::string name = TagName(tag);
            const std::size_t close = text.find('<', at);
            if (close != std::string::npos &&
                text.compare(close, name.size() + 3, "</" + name + ">") == 0) {
                line(tag + Trimmed(text.substr(at, close - at)) + "</" + name + ">");
                at = close + name.size() + 3;
            } else {
                line(tag);
                open.push_back(name);
            }
        }
    }
    if (!wellFormed || !open.empty()) {
        problems.push_back("The " + chunk + " text is not well-formed XML; it is shown as it is.");
        return text;
    }
    return out;
}
