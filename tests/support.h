#ifndef TESTS_SUPPORT_H
#define TESTS_SUPPORT_H

// What the unit tests and the fuzz target share.

#include <cstdint>
#include <cstring>

// The bit pattern of a double, so that values are compared exactly: the sign
// of zero, infinities and the last bit all count.
inline std::uint64_t bits(double value)
{
    std::uint64_t pattern = 0;
    std::memcpy(&pattern, &value, sizeof pattern);
    return pattern;
}

#endif
