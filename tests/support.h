#ifndef TESTS_SUPPORT_H
#define TESTS_SUPPORT_H

// What the unit tests and the fuzz target share.

#include <cstdint>
#include <cstring>

// A C locale whose decimal point is a comma, as strtod sees it. The tests
// make it in the build folder (comma_locale.cmake), where LOCPATH finds it.
constexpr const char *comma_locale = "de_DE.UTF-8";

// The bit pattern of a double, so that values are compared exactly: the sign
// of zero, infinities and the last bit all count.
inline std::uint64_t bits(double value)
{
    std::uint64_t pattern = 0;
    std::memcpy(&pattern, &value, sizeof pattern);
    return pattern;
}

#endif
