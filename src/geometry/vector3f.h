// Three single-precision floats: positions, normals, texture-coordinate
// triples, velocities, rotations and spins throughout the scene geometry.
#pragma once

struct Vector3f {
    float x, y, z;

    Vector3f() = default; // components left unset; every user sets them first
    Vector3f(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    void set(float x_, float y_, float z_)
    {
        x = x_;
        y = y_;
        z = z_;
    }
};
