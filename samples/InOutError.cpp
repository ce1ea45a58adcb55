#include "samples/InOutError.h"

#include <cerrno>

TInOutError::TInOutError(int code) : TInOutError(code, 0, TextOf(code)) {}

TInOutError::TInOutError(int code, int error, const std::string& text)
    : std::runtime_error(text), ErrorCode(code), Errno(error) {}

std::string TInOutError::TextOf(int code) {
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    case 106:
        return "Invalid numeric input";
    }
    return "I/O error " + std::to_string(code);
}

TInOutError TInOutError::FromErrno(int error) {
    int code = OtherError;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        code = 3;
        break;
    case EMFILE:
    case ENFILE:
        code = 4;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        code = 5;
        break;
    case ENOSPC:
    case EDQUOT:
        code = 101;
        break;
    }
    if (code == OtherError)
        return TInOutError(code, error, "I/O error " + std::to_string(error));
    return TInOutError(code, error, TextOf(code));
}
