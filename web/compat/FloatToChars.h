// Shortest round-trip std::to_chars for double, which the libc++ of Debian's emscripten 3.1.6
// lacks. Force-included (web/CMakeLists.txt) into the core files that need it, so the core keeps
// the standard call. Scientific form as the standard gives it: the fewest digits that read back
// as the same double ("3e-01" for 0.3). The worker runs in the "C" locale, so the point is ".".
#pragma once

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace std {

inline to_chars_result to_chars(char* first, char* last, double value, chars_format)
{
    char buffer[40];
    int length = 0;
    for (int precision = 0; precision <= 17; ++precision) {
        length = std::snprintf(buffer, sizeof buffer, "%.*e", precision, value);
        if (std::strtod(buffer, nullptr) == value) {
            break;
        }
    }
    if (length < 0 || length > last - first) {
        return {last, errc::value_too_large};
    }
    std::memcpy(first, buffer, static_cast<std::size_t>(length));
    return {first + length, errc()};
}

}  // namespace std
