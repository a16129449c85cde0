#ifndef SPHERE_GEOMETRY_H
#define SPHERE_GEOMETRY_H

// Returns the volume of a sphere of the given radius: 4/3 · π · radius³.
double sphere_volume(double radius);

// Returns the surface area of a sphere of the given radius: 4 · π · radius².
double sphere_surface_area(double radius);

#endif
