#ifndef TESTS_SUPPORT_H
#define TESTS_SUPPORT_H

// What the unit tests and the fuzz target share.

#include <cstdint>
#include <cstring>

// A C locale whose decimal point is a comma, as strtod sees it. Windows's C
// runtime has it; for others the tests make it in the build folder
// (comma_locale.cmake), where LOCPATH finds it.
#ifdef _WIN32
constexpr const char *comma_locale = "German_Germany.1252";
#else
constexpr const char *comma_locale = "de_DE.UTF-8";
#endif

// The bit pattern of a double, so that values are compared exactly: the sign
// of zero, infinities and the last bit all count.
inline std::uint64_t bits(double value)
{
    std::uint64_t pattern = 0;
    std::memcpy(&pattern, &value, sizeof pattern);
    return pattern;
}

#endif
