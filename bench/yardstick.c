/* The yardstick for sphere's start-up cost: the same job written in C with
 * stdio, built with the system C compiler and linked dynamically. */
#include <stdio.h>

int main(void)
{
    double r = 0.0;
    printf("Enter the radius of a sphere: ");
    fflush(stdout);
    if (scanf("%lf", &r) != 1)
        return 1;
    printf("\nThe volume of this sphere is: %.2f", r * (r * r) * (1.3333333333333333 * 3.141592653589793));
    printf("\nThe surface area of this sphere is: %.2f\n", r * r * (4.0 * 3.141592653589793));
    return 0;
}
