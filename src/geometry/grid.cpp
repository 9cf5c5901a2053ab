#include "geometry/grid.h"

#include <cmath>
#include <new>

#include "core/settings.h"
#include "geometry/plane.h"
#include "platform/gl.h"

Vector3f* gridVertices = nullptr;
Vector3f* gridTexCoords = nullptr;
Vector3f* gridFaceNormals = nullptr;
Vector3f* gridSmoothNormals = nullptr;
int gridVertexCount = 0;
int gridColumnCount = 0;
int gridRowCount = 0;

// The float x_div and y_div as the mesh reads them; fixed for a build.
static float cols = 0.0f;
static float rows = 0.0f;
static int cellColumnCount = 0; // cells per row the loops visit
static int cellRowCount = 0;

void ReleaseGrid()
{
    delete[] gridVertices;
    delete[] gridTexCoords;
    delete[] gridFaceNormals;
    delete[] gridSmoothNormals;
    gridVertices = gridTexCoords = gridFaceNormals = gridSmoothNormals = nullptr;
    gridVertexCount = gridColumnCount = gridRowCount = 0;
    cellColumnCount = cellRowCount = 0;
}

// How many times "for (float c = 0; c < limit; c += 1)" runs, for a limit
// already known to be finite and at most kMaxGridVertices.
static int FloatLoopCount(float limit)
{
    return limit > 0.0f ? static_cast<int>(std::ceil(limit)) : 0;
}

int GridIndex(int i, int j)
{
    return static_cast<int>(static_cast<float>(j) * cols + static_cast<float>(i));
}

void BuildGrid()
{
    ReleaseGrid();
    cols = Settings.x_div;
    rows = Settings.y_div;

    // Hand-edited settings can ask for anything. A grid is built only when the
    // vertex count and the loop counts are finite and within kMaxGridVertices;
    // otherwise there is no grid and nothing is drawn.
    const double limit = static_cast<double>(kMaxGridVertices);
    if (!std::isfinite(cols) || !std::isfinite(rows) || std::fabs(cols) > limit ||
        std::fabs(rows) > limit)
        return;
    const double product = static_cast<double>(cols * rows);
    if (!(product >= 0.0 && product <= limit))
        return;
    const int columns = FloatLoopCount(cols);
    const int rowsVisited = FloatLoopCount(rows);
    if (static_cast<double>(columns) * rowsVisited > limit)
        return;

    const int count = static_cast<int>(product);
    if (count == 0)
        return;
    gridVertices = new (std::nothrow) Vector3f[count];
    gridTexCoords = new (std::nothrow) Vector3f[count];
    gridFaceNormals = new (std::nothrow) Vector3f[count];
    gridSmoothNormals = new (std::nothrow) Vector3f[count];
    if (!gridVertices || !gridTexCoords || !gridFaceNormals || !gridSmoothNormals) {
        ReleaseGrid();
        return;
    }
    gridVertexCount = count;
    gridColumnCount = columns;
    gridRowCount = rowsVisited;
    cellColumnCount = FloatLoopCount(cols - 1.0f);
    cellRowCount = FloatLoopCount(rows - 1.0f);

    for (int k = 0; k < count; ++k) {
        gridVertices[k].set(0.0f, 0.0f, 0.0f);
        gridTexCoords[k].set(0.0f, 0.0f, 0.0f);
        gridFaceNormals[k].set(0.0f, 0.0f, 0.0f);
        gridSmoothNormals[k].set(0.0f, 0.0f, 0.0f);
    }

    const float cellWidth = static_cast<float>(screenWidth) / cols;
    const float cellHeight = static_cast<float>(screenHeight) / rows;
    const float sStep = 1.0f / cols;
    const float tStep = 1.0f / rows;
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rowsVisited; ++j) {
            const int k = GridIndex(i, j);
            if (k < 0 || k >= count) // only for fractional divisions
                continue;
            gridVertices[k].set(static_cast<float>(i) * cellWidth,
                                static_cast<float>(j) * cellHeight, 0.0f);
            gridTexCoords[k].set(static_cast<float>(i) * sStep,
                                 1.0f - static_cast<float>(j) * tStep, 0.0f);
        }
    }
}

// Corner indices of the cell whose lower-left vertex is k, or false when a
// corner falls outside the arrays (possible only with fractional divisions).
static inline bool CellCorners(int k, int* right, int* upperRight, int* upper)
{
    *right = k + 1;
    *upperRight = static_cast<int>(static_cast<float>(k) + cols + 1.0f);
    *upper = static_cast<int>(static_cast<float>(k) + cols);
    return k >= 0 && *upperRight < gridVertexCount && *upper < gridVertexCount &&
           *right < gridVertexCount;
}

void ComputeGridNormals()
{
    if (gridVertexCount == 0)
        return;
    const Vector3f* p = gridVertices;
    Vector3f* face = gridFaceNormals;

    for (int j = 0; j < cellRowCount; ++j) {
        for (int i = 0; i < cellColumnCount; ++i) {
            const int k = GridIndex(i, j);
            int r, ur, u;
            if (!CellCorners(k, &r, &ur, &u))
                continue;
            const float ax = p[k].x - p[r].x, ay = p[k].y - p[r].y, az = p[k].z - p[r].z;
            const float bx = p[ur].x - p[r].x, by = p[ur].y - p[r].y, bz = p[ur].z - p[r].z;
            const float nx = by * az - bz * ay;
            const float ny = bz * ax - bx * az;
            const float nz = bx * ay - by * ax;
            const float inverseLength = 1.0f / std::sqrt(nx * nx + ny * ny + nz * nz);
            face[k].set(nx * inverseLength, ny * inverseLength, nz * inverseLength);
        }
    }

    const bool smooth = Settings.xyGoraud != 0;
    if (smooth) {
        Vector3f* vertexNormal = gridSmoothNormals;
        for (int j = 0; j < cellRowCount; ++j) {
            for (int i = 0; i < cellColumnCount; ++i) {
                const int k = GridIndex(i, j);
                int r, ur, u;
                if (!CellCorners(k, &r, &ur, &u))
                    continue;
                vertexNormal[k].set(0.25f * (face[k].x + face[r].x + face[ur].x + face[u].x),
                                    0.25f * (face[k].y + face[r].y + face[ur].y + face[u].y),
                                    0.25f * (face[k].z + face[r].z + face[ur].z + face[u].z));
            }
        }
    }
}

bool DrawGrid(const std::atomic<int>* keepDrawing)
{
    if (gridVertexCount == 0)
        return true;
    ComputeGridNormals();
    const bool smooth = Settings.xyGoraud != 0;
    const Vector3f* p = gridVertices;
    const Vector3f* face = gridFaceNormals;
    const Vector3f* tex = gridTexCoords;
    glBegin(GL_QUADS);
    for (int j = 0; j < cellRowCount; ++j) {
        if (keepDrawing && keepDrawing->load(std::memory_order_relaxed) == 0) {
            glEnd();
            return false;
        }
        for (int i = 0; i < cellColumnCount; ++i) {
            const int k = GridIndex(i, j);
            int corners[4];
            if (!CellCorners(k, &corners[1], &corners[2], &corners[3]))
                continue;
            corners[0] = k;
            if (!smooth)
                glNormal3fv(&face[k].x);
            for (int m : corners) {
                if (smooth)
                    glNormal3fv(&gridSmoothNormals[m].x);
                glTexCoord2f(tex[m].x, tex[m].y);
                glVertex3fv(&p[m].x);
            }
        }
    }
    glEnd();
    return true;
}
