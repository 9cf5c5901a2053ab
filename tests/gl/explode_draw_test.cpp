// Explode frames drawn with Mesa: the frame path against the same pictures
// drawn with a matrix and a display list per trail point and listed boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/settings.h"
#include "geometry/piece.h"
#include "gl/gl_fixture.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

constexpr int kWidth = 160, kHeight = 120;

// The box's 20 vertices as digits of normal, texture corner and box corner.
const float kNormals[6][3] = {{0, 0, 1}, {0, 1, 0}, {0, 0, -1}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}};
const char kBox[] = "000011033022133122207216334325000011403417424430506512521535";

void ReferenceBox(const Piece& piece)
{
    const Vector3f a = piece.frontCorner, b = piece.backCorner;
    const float corners[8][3] = {{a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, b.y, a.z},
                                 {a.x, b.y, a.z}, {a.x, a.y, b.z}, {b.x, a.y, b.z},
                                 {b.x, b.y, b.z}, {a.x, b.y, b.z}};
    for (int v = 0; v < 20; ++v) {
        if (v == 4 || v == 12)
            glEnd();
        if (v == 0 || v == 4 || v == 12)
            glBegin(v == 12 ? GL_QUADS : GL_QUAD_STRIP);
        glNormal3fv(kNormals[kBox[v * 3] - '0']);
        glTexCoord2fv(piece.texCoords[kBox[v * 3 + 1] - '0']);
        glVertex3fv(corners[kBox[v * 3 + 2] - '0']);
    }
    glEnd();
}

// One frame as the saver drew it with one call per trail point and lists.
// Lists clouds .. clouds + 999 are the sparkle clouds; clouds + 1000 is scratch.
void ReferenceFrame(GLuint clouds)
{
    BeginFrame();
    for (const Piece* p : pieces) {
        glPushMatrix();
        for (int age = 1; age < kTrailLength && !p->resting && Settings.useTrails; ++age) {
            const float grey = static_cast<float>(age) * (1.0f / kTrailLength);
            glColor3f(grey, grey, grey);
            glPushMatrix();
            const Vector3f& at = p->trail[(p->trailHead + age) % kTrailLength];
            glTranslatef(at.x, at.y, at.z);
            glCallList(clouds + age * 66 + NextRandom() % 66);
            glPopMatrix();
        }
        glColor3f(1, 1, 1);
        glTranslatef(p->position.x, p->position.y, p->position.z);
        glRotatef(p->rotation.x, 1, 0, 0);
        glRotatef(p->rotation.y, 0, 1, 0);
        glRotatef(p->rotation.z, 0, 0, 1);
        // A box is compiled on its first draw (the frame path then replays it).
        if (p->displayList != 0) {
            glCallList(p->displayList);
        } else {
            glNewList(clouds + 1000, GL_COMPILE_AND_EXECUTE);
            ReferenceBox(*p);
            glEndList();
        }
        glPopMatrix();
    }
    glPopMatrix();
}

TEST(ExplodeGl, FramesShowWhatOneCallPerTrailPointAndListedBoxesShow)
{
    GlWindow window(kWidth, kHeight);
    ASSERT_TRUE(window.ok());
    // Explode with children and trails. Cloud points are moved without a
    // matrix, so they round differently: allowed are 16 pixels a frame off by
    // 1/255 and 6 in the whole run off by more; nothing else.
    SetDefaultSettings();
    Settings.x_div = 6;
    Settings.y_div = 4;
    Settings.genChildren = 2;
    Settings.useTrails = 1;
    // A desktop picture in which every piece shows something different.
    const size_t bytes =
        CaptureByteCount(Settings.screenTextureWidth, Settings.screenTextureHeight);
    desktopPixels = new uint8_t[bytes];
    for (size_t i = 0; i < bytes; ++i)
        desktopPixels[i] = static_cast<uint8_t>(i * 7 / 3);
    SetupScene();
    CreateScreenTexture();
    SeedRandom(7);
    BuildSparkleClouds();
    const GLuint clouds = glGenLists(kSparkleCloudCount + 1);
    for (int i = 0; i < kSparkleCloudCount; ++i) {
        glNewList(clouds + i, GL_COMPILE);
        glBegin(GL_POINTS);
        for (int p = 0; p < SparkleCloudSize[i] * 3; p += 3)
            glVertex3fv(&SparkleCloudPoints[i][p]);
        glEnd();
        glEndList();
    }
    int deepest = 0, trails = 0, moved = 0;
    std::string output;
    for (int frame = 0; frame < 240; ++frame) {
        SCOPED_TRACE(::testing::Message() << "frame " << frame);
        for (const Piece* p : pieces)
            deepest = std::max(deepest, p->generation), trails += !p->resting;
        // The first trail takes the texture coordinate and normal that the
        // last frame's last box left: both draws start from those.
        GLfloat tex[4], normal[3];
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, tex);
        glGetFloatv(GL_CURRENT_NORMAL, normal);
        SeedRandom(frame);
        ReferenceFrame(clouds);
        const std::vector<uint8_t> expected = window.ReadPixels();
        SeedRandom(frame);
        ::testing::internal::CaptureStdout();
        glTexCoord4fv(tex);
        glNormal3fv(normal);
        DrawFrame(nullptr);
        output += ::testing::internal::GetCapturedStdout();
        const std::vector<uint8_t> shown = window.ReadPixels();
        int slight = 0;
        for (size_t i = 0; i < shown.size(); i += 3) {
            int d = 0;
            for (size_t c = i; c < i + 3; ++c)
                d = std::max(d, std::abs(shown[c] - expected[c]));
            slight += d == 1;
            moved += d > 1;
        }
        EXPECT_LE(slight, 16);
        // The first frame shows the whole plane from afar, the corners black.
        EXPECT_TRUE(frame || (shown[0] == 0 && shown[kWidth * kHeight * 3 / 2 + kWidth * 3 / 2]));
        SwapGlBuffers(window.surface());
    }
    EXPECT_LE(moved, 6);
    EXPECT_TRUE(deepest >= 2 && trails > 500) << deepest << ", " << trails;
    // Explode started a fresh set, without a failed child.
    EXPECT_EQ(output, "All are done.!\n");
    glDeleteLists(clouds, kSparkleCloudCount + 1);
    TeardownScene();
}

} // namespace
