#include "sphere_geometry.h"

#include <cfloat>
#include <limits>

// The results must be the same to the last bit on every target, so the
// arithmetic has to be IEEE binary64 with every intermediate rounded to double.
// A build that would compute anything else is refused here, not trusted.
static_assert(std::numeric_limits<double>::is_iec559, "double must be IEEE 754 binary64");
static_assert(FLT_EVAL_METHOD == 0, "double expressions must not be evaluated at a wider precision "
                                    "(on 32-bit x86, build with -msse2 -mfpmath=sse)");
#if defined(__FAST_MATH__) || defined(__ASSOCIATIVE_MATH__) || defined(__NO_SIGNED_ZEROS__) ||     \
    (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error "value-changing floating-point optimisations (-ffast-math or its parts) are not allowed"
#endif
#if defined(_M_FP_FAST) || (defined(_M_IX86_FP) && _M_IX86_FP < 2)
#error "build with /fp:precise and /arch:SSE2 or later"
#endif

namespace {

constexpr double pi = 0x1.921fb54442d18p+1;            // 3.141592653589793, the double nearest π
constexpr double volume_factor = 0x1.5555555555555p+0; // 1.3333333333333333
constexpr double area_factor = 4.0;

static_assert(volume_factor == 4.0 / 3.0, "the volume factor is 4.0 divided by 3.0");

} // namespace

// Each product is rounded to double, so the order of the multiplications is
// part of the result: the cube is the radius times its square, never a power
// function of real exponent, and the constant factor comes last.

double sphere_volume(double radius)
{
    const double factor = volume_factor * pi;
    const double cube = radius * (radius * radius);
    return cube * factor;
}

double sphere_surface_area(double radius)
{
    const double factor = area_factor * pi;
    const double square = radius * radius;
    return square * factor;
}
