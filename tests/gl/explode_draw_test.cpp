// Explode and wave frames drawn with Mesa: the frame path against the same
// pictures drawn with the plainest calls (a matrix and a display list per
// trail point, each box compiled into a list, the grid quad by quad), and
// whole explode cycles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/settings.h"
#include "geometry/grid.h"
#include "geometry/piece.h"
#include "gl/gl_fixture.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

constexpr int kWidth = 160, kHeight = 120;

// The box's 20 vertices as normal, texture corner and box corner: the front
// face and the strip over top, back and bottom are quad strips, the two sides quads.
const float kNormals[6][3] = {{0, 0, 1}, {0, 1, 0}, {0, 0, -1}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}};
const int kBox[20][3] = {{0, 0, 0}, {0, 1, 1}, {0, 3, 3}, {0, 2, 2}, {1, 3, 3}, {1, 2, 2}, {2, 0, 7},
                         {2, 1, 6}, {3, 3, 4}, {3, 2, 5}, {0, 0, 0}, {0, 1, 1}, {4, 0, 3}, {4, 1, 7},
                         {4, 2, 4}, {4, 3, 0}, {5, 0, 6}, {5, 1, 2}, {5, 2, 1}, {5, 3, 5}};

void ReferenceBox(const Piece& piece)
{
    const Vector3f a = piece.frontCorner, b = piece.backCorner;
    const float corners[8][3] = {{a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, b.y, a.z}, {a.x, b.y, a.z},
                                 {a.x, a.y, b.z}, {b.x, a.y, b.z}, {b.x, b.y, b.z}, {a.x, b.y, b.z}};
    for (int v = 0; v < 20; ++v) {
        if (v == 4 || v == 12)
            glEnd();
        if (v == 0 || v == 4 || v == 12)
            glBegin(v == 12 ? GL_QUADS : GL_QUAD_STRIP);
        glNormal3fv(kNormals[kBox[v][0]]);
        glTexCoord2fv(piece.texCoords[kBox[v][1]]);
        glVertex3fv(corners[kBox[v][2]]);
    }
    glEnd();
}

// One frame as the saver drew it with one call per trail point and lists.
// Lists clouds .. clouds + 999 are the sparkle clouds; clouds + 1000 is scratch.
std::map<const Piece*, std::pair<GLuint, std::vector<float>>> boxLists;
void ReferenceFrame(GLuint clouds)
{
    for (auto it = boxLists.begin(); it != boxLists.end();) { // pieces gone since
        if (std::find(pieces.begin(), pieces.end(), it->first) == pieces.end()) {
            glDeleteLists(it->second.first, 1);
            it = boxLists.erase(it);
        } else {
            ++it;
        }
    }
    BeginFrame();
    for (const Piece* p : Settings.Mode == 0 ? pieces : std::vector<Piece*>()) {
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
        // Each piece's box compiled on its first draw, replayed later.
        auto& [list, box] = boxLists[p];
        const std::vector<float> shape = {p->frontCorner.x, p->frontCorner.y, p->frontCorner.z,
                                          p->backCorner.x,  p->backCorner.y,  p->backCorner.z,
                                          p->texCoords[0][0], p->texCoords[0][1],
                                          p->texCoords[2][0], p->texCoords[2][1]};
        if (list != 0 && box == shape) {
            glCallList(list);
        } else {
            glDeleteLists(list, 1);
            box = shape;
            list = glGenLists(1);
            glNewList(list, GL_COMPILE_AND_EXECUTE);
            ReferenceBox(*p);
            glEndList();
        }
        glPopMatrix();
    }
    if (Settings.Mode != 0 && gridVertexCount > 0) {
        ComputeGridNormals();
        glBegin(GL_QUADS);
        for (int j = 0; j + 1 < gridRowCount; ++j) {
            for (int i = 0; i + 1 < gridColumnCount; ++i) {
                const int k = GridIndex(i, j);
                if (!Settings.xyGoraud)
                    glNormal3fv(&gridFaceNormals[k].x);
                for (int m : {k, GridIndex(i + 1, j), GridIndex(i + 1, j + 1), GridIndex(i, j + 1)}) {
                    if (Settings.xyGoraud)
                        glNormal3fv(&gridSmoothNormals[m].x);
                    glTexCoord2f(gridTexCoords[m].x, gridTexCoords[m].y);
                    glVertex3fv(&gridVertices[m].x);
                }
            }
        }
        glEnd();
    }
    glPopMatrix();
}

class ExplodeGl : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.ok());
        SetDefaultSettings();
        ClearPieces();
    }
    void TearDown() override { TeardownScene(); }
    // A desktop picture in which every piece shows something different.
    static void StartScene()
    {
        const int w = Settings.screenTextureWidth, h = Settings.screenTextureHeight;
        ReleaseDesktopPixels();
        desktopPixels = new uint8_t[CaptureByteCount(w, h)];
        for (size_t i = 0; i < CaptureByteCount(w, h); ++i)
            desktopPixels[i] = static_cast<uint8_t>(i * 7 / 3);
        SetupScene();
        CreateScreenTexture();
    }

    GlWindow window{kWidth, kHeight};
};

TEST_F(ExplodeGl, FramesShowWhatOneCallPerTrailPointAndListedBoxesShow)
{
    // Explode with children and trails, then Wave1 and Wave3, the camera
    // moving. The frame path moves cloud points to their trail point itself,
    // not by a matrix, so a point's eye position rounds differently. Allowed
    // for that: up to 16 pixels a frame off by 1/255 in a channel (lighting),
    // and up to 6 pixels in the whole run off by more (a point rounded onto
    // the next pixel, or losing a depth tie to a neighbour); nothing else.
    const struct {
        int mode, frames, goraud;
    } runs[] = {{0, 240, 1}, {1, 40, 1}, {3, 40, 0}};
    for (const auto& run : runs) {
        SetDefaultSettings();
        Settings.Mode = run.mode;
        Settings.xyGoraud = run.goraud;
        Settings.x_div = run.mode == 0 ? 6 : 24;
        Settings.y_div = run.mode == 0 ? 4 : 18;
        Settings.genChildren = 2;
        Settings.useTrails = 1;
        StartScene();
        SeedRandom(7); // the same clouds on every run
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
        int deepest = 0, trails = 0, lit = 0, moved = 0;
        for (int frame = 0; frame < run.frames; ++frame) {
            SCOPED_TRACE(::testing::Message() << "mode " << run.mode << " frame " << frame);
            for (const Piece* p : pieces) {
                deepest = std::max(deepest, p->generation);
                trails += !p->resting;
            }
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
            ::testing::internal::GetCapturedStdout();
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
            lit += std::count(shown.begin(), shown.end(), 0) != static_cast<long>(shown.size());
            SwapGlBuffers(window.surface());
        }
        EXPECT_LE(moved, 6);
        EXPECT_GT(lit, run.frames * 3 / 4);
        EXPECT_TRUE(run.mode != 0 || (deepest >= 2 && trails > 500)) << deepest << ", " << trails;
        glDeleteLists(clouds, kSparkleCloudCount + 1);
        TeardownScene();
    }
}

TEST_F(ExplodeGl, CyclesStartFromTheIntactDesktopAndLeaveNothingBehind)
{
    Settings.x_div = 6;
    Settings.y_div = 4;
    Settings.genChildren = 2;
    Settings.useTrails = 1;
    Settings.enableMovement = 0; // a fixed camera, so frames can be compared
    StartScene();
    SeedRandom(31337);

    GLuint highest = 0;
    // Live display lists besides those of the pieces.
    auto leaked = [&] {
        int live = 0;
        for (const Piece* p : pieces) {
            highest = std::max(highest, static_cast<GLuint>(p->displayList));
            live -= p->displayList != 0 ? 1 : 0;
        }
        for (GLuint name = 1; name <= highest + 64; ++name)
            live += glIsList(name) ? 1 : 0;
        return live;
    };
    auto fresh = [] {
        return pieces.size() == 24u &&
               std::none_of(pieces.begin(), pieces.end(), [](const Piece* p) {
                   return p->launched || p->generation != 0 || p->displayList != 0;
               });
    };
    std::string output;
    auto frame = [&](bool read) {
        ::testing::internal::CaptureStdout();
        DrawFrame(nullptr);
        output += ::testing::internal::GetCapturedStdout();
        std::vector<uint8_t> picture;
        if (read)
            picture = window.ReadPixels();
        SwapGlBuffers(window.surface());
        return picture;
    };

    ASSERT_TRUE(fresh());
    const std::vector<uint8_t> intact = frame(true);
    EXPECT_TRUE(std::none_of(pieces.begin(), pieces.end(),
                             [](const Piece* p) { return p->displayList == 0; }));
    // The plane fills the middle of the view and leaves its corners black.
    const uint8_t* middle = &intact[(kHeight / 2 * kWidth + kWidth / 2) * 3];
    EXPECT_GT(middle[0] + middle[1] + middle[2], 0);
    EXPECT_EQ(intact[0] + intact[1] + intact[2], 0);

    int cycles = 0, deepest = 0;
    for (int frames = 0; cycles < 8 && frames < 50000; ++frames) {
        // Each piece drawn and still alive holds one list; removed ones took theirs.
        ASSERT_EQ(leaked(), 0) << "frame " << frames;
        for (const Piece* p : pieces)
            deepest = std::max(deepest, p->generation);
        if (!fresh()) {
            frame(false);
            continue;
        }
        EXPECT_EQ(livePieceCount, 24) << "no piece outside the list";
        ++cycles;
        EXPECT_EQ(frame(true), intact) << "cycle " << cycles;
    }
    ASSERT_EQ(cycles, 8);
    EXPECT_EQ(deepest, 3) << "children, grandchildren and great-grandchildren flew";
    std::string restarts;
    for (int i = 0; i < 8; ++i)
        restarts += "All are done.!\n";
    EXPECT_EQ(output, restarts) << "one line a restart, and no failed child";
}

} // namespace
