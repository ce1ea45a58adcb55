#pragma once
// The window's view (16-bit stereo frames, or the file's format), kept across runs.

bool RememberedAsFormat();
void RememberAsFormat(bool asFormat);
