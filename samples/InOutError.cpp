#include "InOutError.h"

#include <cerrno>

TInOutError::TInOutError(int code) : TInOutError(code, TextOf(code)) {}

TInOutError::TInOutError(int code, const std::string& text)
    : std::runtime_error(text), ErrorCode(code) {}

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
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return TInOutError(3);
    case EMFILE:
    case ENFILE:
        return TInOutError(4);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return TInOutError(5);
    case ENOSPC:
    case EDQUOT:
        return TInOutError(101);
    }
    return TInOutError(error, "I/O error " + std::to_string(error));
}
