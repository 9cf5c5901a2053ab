#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/settings.h"
#include "geometry/grid.h"
#include "render/scene.h"

namespace {

void Build(int width, int height, float cols, float rows, int goraud = 1)
{
    SetDefaultSettings();
    Settings.x_div = cols;
    Settings.y_div = rows;
    Settings.xyGoraud = goraud;
    screenWidth = width;
    screenHeight = height;
    BuildGrid();
}

void ExpectVector(const Vector3f& v, float x, float y, float z, const char* what, int k)
{
    EXPECT_FLOAT_EQ(v.x, x) << what << " " << k;
    EXPECT_FLOAT_EQ(v.y, y) << what << " " << k;
    EXPECT_FLOAT_EQ(v.z, z) << what << " " << k;
}

} // namespace

TEST(Grid, DefaultGridPositionsAndTextureCoordinatesCoverTheLowerLeftOfTheDesktop)
{
    Build(1024, 768, 25, 19);
    ASSERT_EQ(gridVertexCount, 475);
    ASSERT_NE(gridVertices, nullptr);
    // Row 0 at the bottom, index j * 25 + i.
    ExpectVector(gridVertices[0], 0, 0, 0, "origin", 0);
    ExpectVector(gridVertices[24], 24 * (1024.0f / 25), 0, 0, "last column", 24);
    ExpectVector(gridVertices[18 * 25], 0, 18 * (768.0f / 19), 0, "last row", 450);
    ExpectVector(gridVertices[3 * 25 + 7], 7 * (1024.0f / 25), 3 * (768.0f / 19), 0, "inner", 82);
    EXPECT_NEAR(gridVertices[474].x, 1024.0f * 24 / 25, 1e-3f);
    EXPECT_NEAR(gridVertices[474].y, 768.0f * 18 / 19, 1e-3f);

    // t = 1 at the bottom row, 1/rows at the top row; s = 0 .. (cols-1)/cols.
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(gridTexCoords[i].y, 1.0f) << i;
    EXPECT_NEAR(gridTexCoords[18 * 25].y, 1.0f / 19, 1e-6f);
    EXPECT_NEAR(gridTexCoords[24].x, 24.0f / 25, 1e-6f);
    EXPECT_EQ(gridTexCoords[0].x, 0.0f);
    for (int k = 0; k < 475; ++k)
        EXPECT_EQ(gridTexCoords[k].z, 0.0f) << k;

    // Both normal arrays start zero.
    for (int k = 0; k < 475; ++k) {
        ExpectVector(gridFaceNormals[k], 0, 0, 0, "face", k);
        ExpectVector(gridSmoothNormals[k], 0, 0, 0, "smooth", k);
    }
}

TEST(Grid, FlatGridNormalsFaceTheViewerAndTheFarEdgesStayZeroOrShorter)
{
    Build(1024, 768, 25, 19);
    ComputeGridNormals();
    for (int j = 0; j < 19; ++j) {
        for (int i = 0; i < 25; ++i) {
            const int k = j * 25 + i;
            const bool cell = i < 24 && j < 18;
            if (cell)
                ExpectVector(gridFaceNormals[k], 0, 0, 1, "face", k);
            else
                ExpectVector(gridFaceNormals[k], 0, 0, 0, "face", k);
            // The smoothed normal of vertex k averages the faces of cells
            // k, k+1, k+cols+1 and k+cols; missing cells count as zero.
            int present = 0;
            if (cell)
                present = 1 + (i < 23) + (i < 23 && j < 17) + (j < 17);
            const float expected = 0.25f * static_cast<float>(present);
            ExpectVector(gridSmoothNormals[k], 0, 0, expected, "smooth", k);
        }
    }
    // The three shortened cases by name.
    EXPECT_FLOAT_EQ(gridSmoothNormals[0 * 25 + 23].z, 0.5f);   // last cell column
    EXPECT_FLOAT_EQ(gridSmoothNormals[17 * 25 + 0].z, 0.5f);   // last cell row
    EXPECT_FLOAT_EQ(gridSmoothNormals[17 * 25 + 23].z, 0.25f); // their corner
}

TEST(Grid, FaceNormalsFollowTheSurfaceAndSmoothingOnlyRunsWithGoraud)
{
    // A plane tilted along x: z = 0.5 * x. Its unit normal is (-0.5, 0, 1) / |...|.
    Build(400, 300, 5, 4, 0);
    for (int k = 0; k < gridVertexCount; ++k)
        gridVertices[k].z = 0.5f * gridVertices[k].x;
    ComputeGridNormals();
    const float length = std::sqrt(1.25f);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i)
            ExpectVector(gridFaceNormals[j * 5 + i], -0.5f / length, 0, 1 / length, "tilted",
                         j * 5 + i);
    for (int k = 0; k < gridVertexCount; ++k)
        ExpectVector(gridSmoothNormals[k], 0, 0, 0, "no smoothing", k);

    // One raised vertex tilts the four cells around it away from it.
    Build(400, 300, 5, 4, 1);
    gridVertices[1 * 5 + 2].z = 50.0f;
    ComputeGridNormals();
    EXPECT_LT(gridFaceNormals[1 * 5 + 1].x, 0.0f);   // cell to its lower left leans to -x
    EXPECT_GT(gridFaceNormals[1 * 5 + 2].x, 0.0f);   // cell to its lower right... leans to +x
    EXPECT_GT(gridFaceNormals[0 * 5 + 0].z, 0.999f); // an untouched cell stays flat
    EXPECT_NEAR(std::hypot(gridFaceNormals[6].x, gridFaceNormals[6].y, gridFaceNormals[6].z), 1.0f,
                1e-6f);
}

TEST(Grid, DivisionsOfOneOrLessAllocateButHaveNoCells)
{
    Build(1024, 768, 1, 19);
    EXPECT_EQ(gridVertexCount, 19);
    ComputeGridNormals();
    for (int k = 0; k < 19; ++k) {
        ExpectVector(gridVertices[k], 0, k * (768.0f / 19), 0, "column", k);
        ExpectVector(gridFaceNormals[k], 0, 0, 0, "face", k);
    }
    Build(1024, 768, 25, 0.5f);
    EXPECT_EQ(gridVertexCount, 12);
    ComputeGridNormals();
}

TEST(Grid, ExtremeDivisionsLeaveNoGridInsteadOfCrashing)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float cases[][2] = {{0, 19},   {25, 0},      {-25, 19},     {25, -19},     {nan, 19},
                              {25, inf}, {1e4f, 1e3f}, {2e6f, 0.25f}, {1e12f, 1e-9f}};
    for (const auto& c : cases) {
        Build(1024, 768, 25, 19);
        ASSERT_EQ(gridVertexCount, 475);
        Build(1024, 768, c[0], c[1]);
        EXPECT_EQ(gridVertexCount, 0) << c[0] << " x " << c[1];
        EXPECT_EQ(gridVertices, nullptr);
        ComputeGridNormals(); // nothing to do, and no crash
    }
    // Two negatives multiply to a positive count but visit no vertex.
    Build(1024, 768, -5, -5);
    EXPECT_EQ(gridColumnCount, 0);
    ComputeGridNormals();
    // At the limit the grid is still built.
    Build(1024, 768, 1000, 1000);
    EXPECT_EQ(gridVertexCount, 1000000);
    Build(1024, 768, 25, 19);
}

TEST(Grid, FractionalDivisionsStayInsideTheArrays)
{
    // 2.5 x 2.5 visits 3 x 3 vertices, but only 6 entries exist; indices
    // beyond them are skipped (an address sanitizer build checks this).
    Build(100, 100, 2.5f, 2.5f);
    EXPECT_EQ(gridVertexCount, 6);
    EXPECT_EQ(gridColumnCount, 3);
    ComputeGridNormals();
    for (int k = 0; k < gridVertexCount; ++k)
        EXPECT_TRUE(std::isfinite(gridVertices[k].x)) << k;
    Build(1024, 768, 25.7f, 19.2f);
    ComputeGridNormals();
    Build(1024, 768, 25, 19);
}
