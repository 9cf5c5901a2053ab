// The sparkle clouds: 1000 small point clouds compiled once per scene into
// display lists, drawn along the trails of flying pieces.
#pragma once

#include "platform/gl.h"

constexpr int kSparkleListCount = 1000;
extern GLuint SparkleLists[kSparkleListCount];

// Compiles the 1000 point-cloud display lists from the random generator,
// sized from the plane and the grid divisions. Needs a current GL context.
void BuildSparkleLists();

// Deletes the lists BuildSparkleLists made (on its GL context) and zeroes SparkleLists.
void ReleaseSparkleLists();

// Points of sparkle cloud `index` with mean cell size `cell`, drawn from the
// random generator exactly as BuildSparkleLists does. Writes x, y, z triples
// into out (room for kMaxSparklePoints) and returns the count.
constexpr int kMaxSparklePoints = 15;
int SparklePoints(int index, float cell, float* out);
