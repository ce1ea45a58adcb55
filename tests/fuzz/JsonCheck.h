#pragma once
// Whether a text is one well-formed JSON value (RFC 8259) in valid UTF-8, with no key twice in
// an object: what every report of riffdump's --json must be, whatever bytes the file held.

#include <string_view>

bool IsWellFormedJson(std::string_view text);
