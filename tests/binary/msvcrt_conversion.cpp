// Converts a number with msvcrt.dll's own strtod, which a Windows program of
// this project must never do; the program check has to refuse this one.
#include <cstdlib>

int main()
{
    return static_cast<int>(_strtod_l("1", nullptr, nullptr));
}
