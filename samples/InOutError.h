#pragma once
// An input/output error of the export, with its code and the text the user is shown.

#include <stdexcept>
#include <string>

class TInOutError : public std::runtime_error {
public:
    explicit TInOutError(int code);
    // From a failed system call's errno: the errors with a meaning of their own take its code
    // and text; any other shows as "I/O error N" with the errno value.
    static TInOutError FromErrno(int error);

    int Code() const { return ErrorCode; }

    // The text for an input/output error code ("File access denied", "I/O error 13", ...).
    static std::string TextOf(int code);

private:
    TInOutError(int code, const std::string& text);
    int ErrorCode;
};
