#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/settings.h"
#include "geometry/grid.h"
#include "render/scene.h"

namespace {

// A 1000 x 800 desktop.
void Build(float cols, float rows)
{
    SetDefaultSettings();
    Settings.x_div = cols;
    Settings.y_div = rows;
    screenWidth = 1000;
    screenHeight = 800;
    BuildGrid();
}

testing::AssertionResult Is(const Vector3f& v, float x, float y, float z)
{
    if (std::fabs(v.x - x) < 1e-4f && std::fabs(v.y - y) < 1e-4f && std::fabs(v.z - z) < 1e-4f)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

} // namespace

TEST(Grid, PositionsTextureCoordinatesAndNormalsOfFlatAndTiltedGrids)
{
    // 5 x 4 vertices, row 0 at the bottom, index j * 5 + i; cells of 200 x 200.
    Build(5, 4);
    ASSERT_EQ(gridVertexCount, 20);
    for (int k = 0; k < 20; ++k) {
        const float i = static_cast<float>(k % 5), j = static_cast<float>(k / 5);
        EXPECT_TRUE(Is(gridVertices[k], i * 200, j * 200, 0)) << k;
        EXPECT_TRUE(Is(gridTexCoords[k], i / 5, 1 - j / 4, 0)) << k;
    }
    ComputeGridNormals();
    // Cells face the viewer; the last row and column start no cell. A smoothed
    // normal averages the cells at k, k + 1, k + 6 and k + 5, a missing one
    // counting as zero, so the last cell row and column come out shorter.
    const float smooth[4][5] = {
        {1, 1, 1, 0.5f, 0}, {1, 1, 1, 0.5f, 0}, {0.5f, 0.5f, 0.5f, 0.25f, 0}, {0, 0, 0, 0, 0}};
    for (int k = 0; k < 20; ++k) {
        EXPECT_TRUE(Is(gridFaceNormals[k], 0, 0, k % 5 < 4 && k / 5 < 3)) << k;
        EXPECT_TRUE(Is(gridSmoothNormals[k], 0, 0, smooth[k / 5][k % 5])) << k;
    }
    // Tilted along x, then y (z = x / 2, z = y / 2), the faces lean away:
    // (-1/2, 0, 1) and (0, -1/2, 1) over sqrt(5/4). Without smoothing the
    // smoothed normals keep their old values.
    Settings.xyGoraud = 0;
    const float lean = -0.5f / std::sqrt(1.25f), up = 1 / std::sqrt(1.25f);
    for (int axis : {0, 1}) {
        for (int k = 0; k < 20; ++k)
            gridVertices[k].z = 0.5f * (axis ? gridVertices[k].y : gridVertices[k].x);
        ComputeGridNormals();
        for (int k : {0, 3, 6, 13}) {
            EXPECT_TRUE(Is(gridFaceNormals[k], axis ? 0 : lean, axis ? lean : 0, up)) << k;
            EXPECT_TRUE(Is(gridSmoothNormals[k], 0, 0, smooth[k / 5][k % 5])) << k;
        }
    }
}

TEST(Grid, AnyDivisionsAreSafeAndOnlySaneOnesBuildAGrid)
{
    // Fractional divisions visit more vertices than exist: a sanitizer build checks the bounds.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float cases[][3] = {{0, 19, 0},      {-25, 19, 0},   {nan, 19, 0},        {25, inf, 0},
                              {1e4f, 1e3f, 0}, {25, 0.5f, 12}, {25.7f, 19.2f, 493}, {-5, -5, 25}};
    for (const auto& c : cases) {
        Build(c[0], c[1]);
        EXPECT_EQ(gridVertexCount, static_cast<int>(c[2])) << c[0] << " x " << c[1];
        EXPECT_EQ(gridVertices == nullptr, c[2] == 0) << c[0] << " x " << c[1];
        ComputeGridNormals();
        for (int k = 0; k < gridVertexCount; ++k)
            ASSERT_TRUE(std::isfinite(gridVertices[k].x) && gridVertices[k].x <= 1000) << k;
    }
    Build(1, 4); // a single column stands on the left edge
    EXPECT_TRUE(Is(gridVertices[3], 0, 600, 0));
}
