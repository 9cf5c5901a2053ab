// The grid mesh of the desktop plane: x_div by y_div vertices in z = 0, row 0
// at the bottom, drawn as lit textured quads in the wave modes.
#pragma once

#include <atomic>

#include "geometry/vector3f.h"

// Largest vertex count (and loop count) the grid is built for. Settings that
// ask for more (or are not finite) leave the grid unbuilt: nothing is drawn.
// One million vertices are 48 MB over the four arrays.
constexpr long kMaxGridVertices = 1000000;

// Four arrays of gridVertexCount entries each, owned here; null when unbuilt.
extern Vector3f* gridVertices;      // positions; z is written by the wave
extern Vector3f* gridTexCoords;     // s, t, 0 (t = 0 is the top of the desktop)
extern Vector3f* gridFaceNormals;   // per cell (lower-left index), recomputed every frame
extern Vector3f* gridSmoothNormals; // per vertex, recomputed every frame with xyGoraud
extern int gridVertexCount;         // truncated x_div * y_div, 0 when unbuilt
extern int gridColumnCount;         // vertex columns the loops visit (float counter below x_div)
extern int gridRowCount;            // vertex rows the loops visit

// (Re)builds the four arrays from x_div, y_div, screenWidth and screenHeight.
void BuildGrid();
// Frees the four arrays and leaves the grid unbuilt.
void ReleaseGrid();
// Face normals of every cell from the current heights, then (with xyGoraud)
// the smoothed vertex normals. Part of DrawGrid; needs no GL.
void ComputeGridNormals();
// Recomputes the normals from the current heights and sends every cell as one GL_QUADS batch.
// When keepDrawing is given and reads 0 at the start of a row (the window is
// closing), the batch ends there and false is returned.
bool DrawGrid(const std::atomic<int>* keepDrawing = nullptr);
// Index of vertex (column i, row j): j * x_div + i in float, truncated.
int GridIndex(int i, int j);
