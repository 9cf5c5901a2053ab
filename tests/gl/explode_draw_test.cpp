// Explode pieces drawn with Mesa: the box and the trail a piece sends, caught
// in OpenGL's feedback mode, and whole cycles through the real frame.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
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

constexpr int kWidth = 320, kHeight = 240;

struct Vertex { // as GL_3D_COLOR_TEXTURE feedback gives it
    float x, y, z, r, g, b, a, s, t, p, q;
};
struct Primitive {
    GLenum token;
    std::vector<Vertex> vertices;
};

class ExplodeGl : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.ok());
        SetDefaultSettings();
        ClearPieces();
        glEnable(GL_CULL_FACE);
        glMatrixMode(GL_PROJECTION);
        glOrtho(0, kWidth, 0, kHeight, -200, 200); // a scene unit is a pixel
        glMatrixMode(GL_MODELVIEW);
    }
    void TearDown() override { TeardownScene(); }

    // What DrawPiece sends. Mesa cannot replay a list of mixed primitives in
    // feedback mode, so the box is compiled afresh during each capture.
    static std::vector<Primitive> Capture(Piece* piece)
    {
        glDeleteLists(piece->displayList, 1);
        piece->displayList = 0;
        std::vector<GLfloat> buffer(100000);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        DrawPiece(piece);
        const int count = glRenderMode(GL_RENDER);
        EXPECT_GE(count, 0) << "feedback buffer overflow";
        std::vector<Primitive> out;
        for (int at = 0; at < count;) {
            Primitive primitive{static_cast<GLenum>(buffer[at++]), {}};
            const int n = primitive.token == GL_POLYGON_TOKEN ? static_cast<int>(buffer[at++]) : 1;
            primitive.vertices.resize(n);
            std::memcpy(primitive.vertices.data(), &buffer[at], n * sizeof(Vertex));
            at += n * 11;
            out.push_back(primitive);
        }
        return out;
    }

    GlWindow window{kWidth, kHeight};
};

// A face of the box as it is sent: its corners P0 ... P7, and for each corner
// the texture pair T0 ... T3 and the normal it carries on this face.
struct Face {
    const char* name;
    int corners[4];
    int tex[4];
    float normal[4][3];
};
const Face kFaces[6] = {
    {"front", {0, 1, 3, 2}, {0, 1, 3, 2}, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}}},
    {"top", {3, 2, 7, 6}, {3, 2, 0, 1}, {{0, 1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, -1}}},
    {"back", {7, 6, 4, 5}, {0, 1, 3, 2}, {{0, 0, -1}, {0, 0, -1}, {0, -1, 0}, {0, -1, 0}}},
    {"bottom", {4, 5, 0, 1}, {3, 2, 0, 1}, {{0, -1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, 1}}},
    {"left", {3, 7, 4, 0}, {0, 1, 2, 3}, {{-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}}},
    {"right", {6, 2, 1, 5}, {0, 1, 2, 3}, {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}}},
};

TEST_F(ExplodeGl, ABoxSendsItsFacesInOrderWithBackFacesCulled)
{
    // No ambient light and the default light along the view axis: a vertex's
    // red is the view-axis component of the normal it was sent with.
    const GLfloat black[] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    Piece piece;
    piece.frontCorner.set(-20, -15, 0);
    piece.backCorner.set(20, 15, -10);
    piece.position.set(160, 120, 0);
    const float tex[4][2] = {{0.125f, 0.25f}, {0.375f, 0.25f}, {0.375f, 0.75f}, {0.125f, 0.75f}};
    std::memcpy(piece.texCoords, tex, sizeof tex);
    const float corners[8][3] = {{-20, -15, 0},   {20, -15, 0},   {20, 15, 0},   {-20, 15, 0},
                                 {-20, -15, -10}, {20, -15, -10}, {20, 15, -10}, {-20, 15, -10}};
    // Every face is seen in one view and hidden in another; without culling all
    // six come, in the order they are sent.
    const struct {
        float rotation[3];
        bool culled;
        std::vector<int> faces;
    } views[] = {{{-35, 40, 10}, true, {0, 3, 4}},
                 {{35, -40, 0}, true, {0, 1, 5}},
                 {{160, 20, 30}, true, {1, 2, 5}},
                 {{160, 20, 30}, false, {0, 1, 2, 3, 4, 5}}};
    for (const auto& view : views) {
        const float* r = view.rotation;
        SCOPED_TRACE(::testing::Message() << "rotation " << r[0] << ", " << r[1] << ", " << r[2]
                                          << (view.culled ? "" : ", not culled"));
        piece.rotation.set(r[0], r[1], r[2]);
        view.culled ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
        GLfloat m[16]; // the transform DrawPiece applies, from GL itself
        glPushMatrix();
        glTranslatef(160, 120, 0);
        glRotatef(r[0], 1, 0, 0);
        glRotatef(r[1], 0, 1, 0);
        glRotatef(r[2], 0, 0, 1);
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        glPopMatrix();
        auto at = [&](int c, const Vertex& v) {
            const float* p = corners[c];
            return std::fabs(m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12] - v.x) < 0.02f &&
                   std::fabs(m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13] - v.y) < 0.02f;
        };
        std::vector<int> faces;
        for (const Primitive& primitive : Capture(&piece)) {
            // Mesa may split a quad: a polygon belongs to the face that has all its vertices.
            const auto& vs = primitive.vertices;
            int f = 0;
            while (f < 6 && !std::all_of(vs.begin(), vs.end(), [&](const Vertex& v) {
                       const int* c = kFaces[f].corners;
                       return at(c[0], v) || at(c[1], v) || at(c[2], v) || at(c[3], v);
                   }))
                ++f;
            ASSERT_LT(f, 6) << "a polygon that is no face of the box";
            if (faces.empty() || faces.back() != f)
                faces.push_back(f);
            for (const Vertex& v : vs) {
                for (int k = 0; k < 4; ++k) {
                    if (!at(kFaces[f].corners[k], v))
                        continue;
                    const float* t = tex[kFaces[f].tex[k]];
                    const float* n = kFaces[f].normal[k];
                    const float lit = std::fmax(0.0f, m[2] * n[0] + m[6] * n[1] + m[10] * n[2]);
                    EXPECT_NEAR(v.s, t[0], 1e-5) << kFaces[f].name << " corner " << k;
                    EXPECT_NEAR(v.t, t[1], 1e-5) << kFaces[f].name << " corner " << k;
                    EXPECT_NEAR(v.r, lit, 0.01f) << kFaces[f].name << " normal at corner " << k;
                }
            }
        }
        EXPECT_EQ(faces, view.faces);
    }
}

TEST_F(ExplodeGl, AFlyingPieceDrawsItsTrailOldestFirstInAGreyRamp)
{
    // Stand-in clouds: list i is one point i / 5 units above the trail point,
    // so each point's position tells the list it came from.
    const GLuint base = glGenLists(kSparkleListCount);
    for (int i = 0; i < kSparkleListCount; ++i) {
        SparkleLists[i] = base + i;
        glNewList(base + i, GL_COMPILE);
        glBegin(GL_POINTS);
        glVertex3f(0, i * 0.2f, 0);
        glEnd();
        glEndList();
    }
    Piece piece;
    piece.launched = true;
    piece.resting = false;
    piece.position.set(300, 200, 0);
    for (int slot = 0; slot < kTrailLength; ++slot)
        piece.trail[slot].set(10.0f + 20.0f * slot, 5.0f, 0.0f);
    Settings.useTrails = 1;
    const struct {
        int head;
        std::vector<long> slots;
    } heads[] = {{0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
                 {5, {6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 1, 2, 3, 4}}};
    for (const auto& h : heads) {
        SCOPED_TRACE(::testing::Message() << "head " << h.head);
        piece.trailHead = h.head;
        glColor3f(0.3f, 0.6f, 0.9f);
        const std::vector<Primitive> primitives = Capture(&piece);
        std::vector<long> slots;
        for (const Primitive& primitive : primitives) {
            if (primitive.token != GL_POINT_TOKEN)
                continue;
            const Vertex& v = primitive.vertices[0];
            const long age = static_cast<long>(slots.size()) + 1;
            slots.push_back(std::lround((v.x - 10.0f) / 20.0f));
            EXPECT_NEAR(v.r, age / 15.0f, 1e-3) << "age " << age;
            EXPECT_NEAR(v.b, age / 15.0f, 1e-3) << "age " << age;
            const long list = std::lround((v.y - 5.0f) / 0.2f);
            EXPECT_GE(list, 66 * age);
            EXPECT_LT(list, 66 * age + 66);
        }
        EXPECT_EQ(slots, h.slots);
        // The box comes last, in white again.
        ASSERT_EQ(primitives.back().token, static_cast<GLenum>(GL_POLYGON_TOKEN));
        EXPECT_EQ(primitives.back().vertices[0].b, 1.0f);
    }

    // No trail while trails are off, nor for a resting piece.
    for (const bool resting : {false, true}) {
        Settings.useTrails = resting ? 1 : 0;
        piece.resting = resting;
        for (const Primitive& primitive : Capture(&piece))
            EXPECT_EQ(primitive.token, static_cast<GLenum>(GL_POLYGON_TOKEN)) << resting;
    }
}

long ResidentKilobytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST_F(ExplodeGl, CyclesStartFromTheIntactDesktopAndLeaveNothingBehind)
{
    Settings.x_div = 6;
    Settings.y_div = 4;
    Settings.genChildren = 2;
    Settings.useTrails = 1;
    Settings.enableMovement = 0; // a fixed camera, so frames can be compared
    // The desktop: red top left, green top right, blue bottom left, yellow bottom right.
    const int w = Settings.screenTextureWidth, h = Settings.screenTextureHeight;
    ReleaseDesktopPixels();
    desktopPixels = new uint8_t[CaptureByteCount(w, h)];
    for (int i = 0; i < w * h; ++i) {
        const bool right = i % w >= w / 2, bottom = i / w >= h / 2; // top row first
        uint8_t* p = desktopPixels + static_cast<size_t>(i) * 3;    // B, G, R
        p[0] = bottom && !right ? 255 : 0;
        p[1] = right ? 255 : 0;
        p[2] = right == bottom ? 255 : 0;
    }
    SetupScene();
    CreateScreenTexture();
    SeedRandom(31337);

    GLuint highest = 0;
    for (GLuint list : SparkleLists)
        highest = std::max(highest, list);
    // Live display lists besides the sparkle clouds and those of the pieces.
    auto leaked = [&] {
        int live = -kSparkleListCount;
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
    // With the reset camera the plane's half-extent over the view's is its
    // half-size over 300 tan 60 (and the 4:3 aspect across).
    const float reach = 300.0f * std::tan(60.0f * 3.14159265f / 180.0f);
    const int cx = kWidth / 2, cy = kHeight / 2;
    const int spanX = static_cast<int>(screenWidth * 0.5f / (reach * 4 / 3) * cx);
    const int spanY = static_cast<int>(screenHeight * 0.5f / reach * cy);
    auto at = [&](int x, int y) { return &intact[(static_cast<size_t>(y) * kWidth + x) * 3]; };
    auto sum = [&](int x, int y) { return at(x, y)[0] + at(x, y)[1] + at(x, y)[2]; };
    for (const bool right : {false, true}) {
        for (const bool bottom : {false, true}) {
            const uint8_t* rgb =
                at(cx + (right ? 1 : -1) * spanX / 2, cy + (bottom ? -1 : 1) * spanY / 2);
            EXPECT_EQ(rgb[0] > 120, right == bottom) << right << bottom;
            EXPECT_EQ(rgb[1] > 120, right) << right << bottom;
            EXPECT_EQ(rgb[2] > 120, bottom && !right) << right << bottom;
        }
    }
    // No crack between the pieces, and the black background just outside the plane.
    for (int x = cx - spanX + 2; x <= cx + spanX - 2; ++x)
        ASSERT_GT(sum(x, cy + 3), 100) << "gap at x " << x;
    for (int y = cy - spanY + 2; y <= cy + spanY - 2; ++y)
        ASSERT_GT(sum(cx - 3, y), 100) << "gap at y " << y;
    EXPECT_EQ(sum(cx - spanX - 6, cy), 0);

    std::vector<long> resident;
    int deepest = 0;
    for (int frames = 0; resident.size() < 8 && frames < 50000; ++frames) {
        // Each piece drawn and still alive holds one list; removed ones took theirs.
        ASSERT_EQ(leaked(), 0) << "frame " << frames;
        for (const Piece* p : pieces)
            deepest = std::max(deepest, p->generation);
        if (!fresh()) {
            frame(false);
            continue;
        }
        EXPECT_EQ(livePieceCount, 24) << "no piece outside the list";
        glFinish();
        resident.push_back(ResidentKilobytes());
        EXPECT_EQ(frame(true), intact) << "cycle " << resident.size();
    }
    ASSERT_EQ(resident.size(), 8u);
    EXPECT_EQ(deepest, 3) << "children, grandchildren and great-grandchildren flew";
    std::string restarts;
    for (int i = 0; i < 8; ++i)
        restarts += "All are done.!\n";
    EXPECT_EQ(output, restarts) << "one line a restart, and no failed child";
    // Mesa's own caches move the resident size by tens of MB; the exact counts
    // above carry the test, this bound only catches gross growth.
    EXPECT_LT(resident[7] - resident[2], 64 * 1024) << "kB grown from cycle 3 to cycle 8";
}

} // namespace
