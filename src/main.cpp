// sphere: asks for the radius of a sphere and writes its volume and surface area.

#include "read_number.h"
#include "sphere_geometry.h"

#include <cstdio>
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

// Ends the prompt line, which no results will follow, and reports why no radius was read.
int no_radius(const char *message)
{
    std::cout << '\n';
    return fail(message);
}

} // namespace

int main()
{
    std::cout << "Enter the radius of a sphere: ";

    // Standard input is tied to standard output, so the prompt is flushed
    // before the read waits.
    double radius = 0.0;
    read_number(std::cin, radius);

    // The stream sees a read error as the end of the input. The C stream
    // beneath it, which it reads through while the two are synchronised (the
    // default), keeps the error apart; an error may also have cut the number short.
    if (std::ferror(stdin) != 0) {
        return no_radius("cannot read the input");
    }
    // A failed read stores zero when there was no number at all, and the
    // largest finite value, with its sign, when the number was too large.
    if (!std::cin) {
        return no_radius(radius == 0.0 ? "the radius must be a number"
                                       : "the radius is out of range");
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
