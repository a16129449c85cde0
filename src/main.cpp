// sphere: asks for the radius of a sphere and writes its volume and surface area.

#include "sphere_geometry.h"

#include <cstdlib>
#include <iomanip>
#include <iostream>

namespace {

// Reports a failure on standard error and gives the exit status for it.
int fail(const char *message)
{
    std::cerr << "error: " << message << '\n';
    return EXIT_FAILURE;
}

} // namespace

int main()
{
    std::cout << "Enter the radius of a sphere: ";

    // Standard input is tied to standard output, so the prompt is flushed
    // before the read waits. Leading white space is skipped, the number is read
    // in the classic locale, and reading stops at the first character that
    // cannot continue it; the rest of the input is left unread.
    double radius = 0.0;
    if (!(std::cin >> radius)) {
        // A failed read stores zero when there was no number at all, and the
        // largest finite value, with its sign, when the number was too large.
        std::cout << '\n';
        return fail(radius == 0.0 ? "the radius must be a number" : "the radius is out of range");
    }

    const double volume = sphere_volume(radius);
    std::cout << "\nThe volume of this sphere is: " << std::fixed << std::setprecision(2) << volume;

    const double area = sphere_surface_area(radius);
    std::cout << "\nThe surface area of this sphere is: " << area << '\n';

    // A full disk or a closed stream shows up at the latest when the output is flushed.
    if (!std::cout.flush()) {
        return fail("cannot write the output");
    }
    return EXIT_SUCCESS;
}
