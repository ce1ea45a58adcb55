#pragma once
// How an error that ends a command is worded for the user, wherever it is shown.

#include <exception>
#include <string>

// A full stop is added when the text's last character sorts after the full stop (a letter or
// a digit does; a text already ending in one is left alone).
std::string MessageWithFullStop(const std::string& text);

// The error's own message; "Out of memory" for a failed allocation.
std::string ErrorText(const std::exception_ptr& error);
