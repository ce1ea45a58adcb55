#pragma once

#include <utility>
// The window's view (16-bit stereo frames, or the file's format) and whether its plots move
// together, kept across runs.

bool RememberedAsFormat();
void RememberAsFormat(bool asFormat);

// Horizontal and vertical links of the plots.
std::pair<bool, bool> RememberedLinks();
void RememberLinks(bool horizontal, bool vertical);
