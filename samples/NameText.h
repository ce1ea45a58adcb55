#pragma once
// A file name as a line of text shows it. A name is any bytes but '/' and NUL: a newline in
// one would end a status line early and let the rest pass for another file's line, and bytes
// that are not UTF-8 would garble a terminal. Such bytes are written escaped, so every name
// reads back unambiguously.

#include <cstddef>
#include <string>

// `name` with control characters written as \n, \t, \r or \xNN, bytes that are not part of
// valid UTF-8 as \xNN and a backslash as \\; any other name is returned as it is.
std::string NameText(const std::string& name);

// How many bytes of valid UTF-8 start at byte `at` of `text`; 0 when the byte there starts
// none (a stray continuation byte, an overlong form, a surrogate, a cut sequence).
std::size_t Utf8Length(const std::string& text, std::size_t at);
