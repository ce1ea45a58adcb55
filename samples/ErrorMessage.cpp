#include "samples/ErrorMessage.h"

#include <new>
#include <stdexcept>

std::string MessageWithFullStop(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        return text + '.';
    return text;
}

std::string ErrorText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}
