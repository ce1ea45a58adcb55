#include "app/GoToText.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace {

// A whole number of digits, or a decimal one where `decimal`; false for anything else.
bool Number(const std::string& text, bool decimal, double& value) {
    if (text.empty())
        return false;
    int points = 0;
    for (char c : text) {
        if (c == '.' && decimal && ++points == 1)
            continue;
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    value = std::strtod(text.c_str(), nullptr);
    return text != ".";
}

std::vector<std::string> Split(const std::string& text, char by) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == by)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

} // namespace

TGoTo ParseGoTo(const std::string& input, std::uint32_t rate, int fps, int firstFrame) {
    std::string text;
    for (char c : input)
        if (!std::isspace(static_cast<unsigned char>(c)))
            text += c;
    TGoTo result;
    const std::string usage =
        "Give a time (1:23.5, 83.5), a timecode (00:01:23:12) or a frame (#3683350).";
    if (text.empty()) {
        result.Problem = usage;
        return result;
    }
    if (text[0] == '#') {
        double frame = 0;
        if (!Number(text.substr(1), false, frame) || frame < firstFrame) {
            result.Problem =
                "A frame is a whole number from " + std::to_string(firstFrame) + ": " + usage;
            return result;
        }
        result.Frame = frame - firstFrame + 1;
        return result;
    }
    if (rate == 0) {
        result.Problem = "The file gives no sample rate: go to a frame (#3683350) instead.";
        return result;
    }
    const std::vector<std::string> parts = Split(text, ':');
    double seconds = 0;
    if (parts.size() == 4) {
        // Timecode: hours, minutes, seconds, frames.
        double h, m, s, f;
        if (!Number(parts[0], false, h) || !Number(parts[1], false, m) ||
            !Number(parts[2], false, s) || !Number(parts[3], false, f) || m >= 60 || s >= 60 ||
            f >= fps) {
            result.Problem =
                "Not a timecode at " + std::to_string(fps) + " frames a second: " + usage;
            return result;
        }
        seconds = h * 3600 + m * 60 + s + f / fps;
    } else if (parts.size() <= 3) {
        // [[h:]m:]s, the last part with a fraction.
        double total = 0;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            double value;
            const bool last = i + 1 == parts.size();
            if (!Number(parts[i], last, value) || (i > 0 && value >= 60)) {
                result.Problem = usage;
                return result;
            }
            total = total * 60 + value;
        }
        seconds = total;
    } else {
        result.Problem = usage;
        return result;
    }
    result.Frame = seconds * rate + 1;
    return result;
}
