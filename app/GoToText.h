#pragma once
// What the go-to box takes: a time from the start ("1:23.5", "1:02:03.25", "83.5"), a
// timecode ("00:01:23:12" at the given frames a second) or a frame ("#3683350", counted from
// `firstFrame`: the plot's own X from 1, or the file's frames from 0). The answer is the plot's
// X, or why the text is none of these.

#include <cstdint>
#include <optional>
#include <string>

struct TGoTo {
    std::optional<double> Frame; // the plot's X: frame 1 at 0 s
    std::string Problem;         // when the text is not understood
};

TGoTo ParseGoTo(const std::string& text, std::uint32_t rate, int fps, int firstFrame = 1);
