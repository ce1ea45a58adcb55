#pragma once
// An input/output error of the export: the kind of message the user is shown (its code) and,
// apart from it, the system's own error number it came from.

#include <stdexcept>
#include <string>

class TInOutError : public std::runtime_error {
  public:
    // An error of the given code, with that code's text.
    explicit TInOutError(int code);
    // From a failed system call's errno: the errors with a meaning of their own take its code
    // and text; any other has code OtherError and shows as "I/O error N" with the errno value.
    static TInOutError FromErrno(int error);

    // The code of an error that has no meaning of its own, only its errno.
    static constexpr int OtherError = 0;

    int Code() const { return ErrorCode; }
    // The errno the error came from; 0 when it did not come from the system.
    int SystemError() const { return Errno; }

    // The text for an input/output error code ("File access denied", "I/O error 13", ...).
    static std::string TextOf(int code);

  private:
    TInOutError(int code, int error, const std::string& text);
    int ErrorCode;
    int Errno;
};
