#include "platform/core/system_error.h"

#include <cstring>

namespace {
// strerror_r comes in two kinds: GNU's returns the text (not always in the buffer), POSIX's
// fills the buffer and returns 0.
[[maybe_unused]] const char* textOf(const char* text, const char*) {
    return text;
}
[[maybe_unused]] const char* textOf(int result, const char* buffer) {
    return result == 0 ? buffer : "Unknown error";
}
} // namespace

std::string systemErrorText(int error) {
    char buffer[256] = {};
    return textOf(strerror_r(error, buffer, sizeof buffer), buffer);
}
