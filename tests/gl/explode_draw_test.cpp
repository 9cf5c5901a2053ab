// Drawing explode pieces with Mesa: the box a piece sends (captured with
// OpenGL's feedback mode), its trail, and the intact desktop of the first frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/random.h"
#include "core/settings.h"
#include "geometry/piece.h"
#include "gl/gl_fixture.h"
#include "render/capture.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct FeedbackVertex {
    float x, y, z;
    float r, g, b, a;
    float s, t;
};
struct FeedbackPrimitive {
    GLenum token; // GL_POLYGON_TOKEN or GL_POINT_TOKEN
    std::vector<FeedbackVertex> vertices;
};

// Parses a GL_3D_COLOR_TEXTURE (or, without texture, GL_3D_COLOR) feedback buffer.
std::vector<FeedbackPrimitive> ParseFeedback(const std::vector<GLfloat>& buffer, int count,
                                             bool texture)
{
    std::vector<FeedbackPrimitive> out;
    const int stride = texture ? 11 : 7;
    auto vertexAt = [&](int at) {
        FeedbackVertex v{};
        v.x = buffer[at];
        v.y = buffer[at + 1];
        v.z = buffer[at + 2];
        v.r = buffer[at + 3];
        v.g = buffer[at + 4];
        v.b = buffer[at + 5];
        v.a = buffer[at + 6];
        if (texture) {
            v.s = buffer[at + 7];
            v.t = buffer[at + 8];
        }
        return v;
    };
    int at = 0;
    while (at < count) {
        const GLenum token = static_cast<GLenum>(buffer[at++]);
        FeedbackPrimitive primitive{token, {}};
        int vertices = 0;
        if (token == GL_POLYGON_TOKEN)
            vertices = static_cast<int>(buffer[at++]);
        else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                 token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN)
            vertices = 1;
        else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN)
            vertices = 2;
        else if (token == GL_PASS_THROUGH_TOKEN)
            at += 1;
        for (int i = 0; i < vertices; ++i, at += stride)
            primitive.vertices.push_back(vertexAt(at));
        out.push_back(primitive);
    }
    return out;
}

// Feedback captures what a list sends while it is compiled and executed;
// Mesa 22 cannot replay a list of mixed primitives in feedback mode, so each
// capture starts from a piece without a list.
void ForgetList(Piece& piece)
{
    if (piece.displayList != 0)
        glDeleteLists(piece.displayList, 1);
    piece.displayList = 0;
}

class ExplodeDraw : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.ok());
        SetDefaultSettings();
        ClearPieces();
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glShadeModel(GL_SMOOTH);
        glColor4f(1, 1, 1, 1);
    }
    void TearDown() override { ClearPieces(); }

    std::vector<FeedbackPrimitive> Capture(GLenum type, void (*draw)(Piece*), Piece* piece)
    {
        std::vector<GLfloat> buffer(200000);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), type, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw(piece);
        const int count = glRenderMode(GL_RENDER);
        EXPECT_GE(count, 0) << "feedback buffer overflow";
        return ParseFeedback(buffer, count, type == GL_3D_COLOR_TEXTURE);
    }

    GlWindow window{kWidth, kHeight};
};

// One face of the box as the table sends it: corner numbers, the texture
// pair each corner carries on this face, and the normal each corner was sent with.
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
// The outward normal that decides whether a face is seen.
const float kOutward[6][3] = {{0, 0, 1}, {0, 1, 0}, {0, 0, -1}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}};

TEST_F(ExplodeDraw, ABoxSendsItsFacesInOrderWithBackFacesCulled)
{
    // Lit by a directional light along the view axis, so each vertex's colour
    // is the view-axis component of the normal it was sent with.
    glMatrixMode(GL_PROJECTION);
    glOrtho(-60, 60, -45, 45, -200, 200);
    glMatrixMode(GL_MODELVIEW);
    const GLfloat direction[] = {0, 0, 1, 0};
    const GLfloat black[] = {0, 0, 0, 1};
    const GLfloat white[] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    Piece piece;
    piece.frontCorner.set(-20, -15, 0);
    piece.backCorner.set(20, 15, -10);
    piece.position.set(3, -2, 0);
    const float tex[4][2] = {{0.125f, 0.25f}, {0.375f, 0.25f}, {0.375f, 0.75f}, {0.125f, 0.75f}};
    for (int k = 0; k < 4; ++k) {
        piece.texCoords[k][0] = tex[k][0];
        piece.texCoords[k][1] = tex[k][1];
    }
    const float corners[8][3] = {{-20, -15, 0}, {20, -15, 0}, {20, 15, 0}, {-20, 15, 0},
                                 {-20, -15, -10}, {20, -15, -10}, {20, 15, -10}, {-20, 15, -10}};

    // Several orientations, so that every face is seen in one of them and hidden in another.
    const float rotations[][3] = {{0, 0, 0}, {-35, 40, 10}, {35, -40, 0}, {160, 20, 30}, {200, 150, -60}};
    bool seen[6] = {}, hidden[6] = {};
    for (const auto& rotation : rotations) {
        piece.rotation.set(rotation[0], rotation[1], rotation[2]);
        // Where the corners land: GL's own matrices for the transform DrawPiece applies.
        GLfloat model[16], projection[16];
        glPushMatrix();
        glTranslatef(piece.position.x, piece.position.y, piece.position.z);
        glRotatef(rotation[0], 1, 0, 0);
        glRotatef(rotation[1], 0, 1, 0);
        glRotatef(rotation[2], 0, 0, 1);
        glGetFloatv(GL_MODELVIEW_MATRIX, model);
        glPopMatrix();
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        float onScreen[8][2];
        for (int c = 0; c < 8; ++c) {
            float eye[4], clip[4];
            for (int r = 0; r < 4; ++r)
                eye[r] = model[r] * corners[c][0] + model[4 + r] * corners[c][1] +
                         model[8 + r] * corners[c][2] + model[12 + r];
            for (int r = 0; r < 4; ++r)
                clip[r] = projection[r] * eye[0] + projection[4 + r] * eye[1] +
                          projection[8 + r] * eye[2] + projection[12 + r] * eye[3];
            onScreen[c][0] = (clip[0] / clip[3] + 1) * 0.5f * kWidth;
            onScreen[c][1] = (clip[1] / clip[3] + 1) * 0.5f * kHeight;
        }
        auto eyeZ = [&](const float n[3]) {
            return model[2] * n[0] + model[6] * n[1] + model[10] * n[2];
        };
        std::vector<int> expected;
        for (int f = 0; f < 6; ++f) {
            const float facing = eyeZ(kOutward[f]);
            if (std::fabs(facing) < 0.05f)
                continue; // edge-on faces are not used to judge
            (facing > 0 ? seen : hidden)[f] = true;
            if (facing > 0)
                expected.push_back(f);
        }

        const auto primitives = Capture(GL_3D_COLOR_TEXTURE, DrawPiece, &piece);
        // Faces arrive as polygons (Mesa splits quads into triangles): map each
        // vertex back to its corner and group consecutive polygons by face.
        std::vector<int> faces;
        for (const auto& primitive : primitives) {
            ASSERT_EQ(primitive.token, static_cast<GLenum>(GL_POLYGON_TOKEN));
            int faceOf = -1;
            for (int f = 0; f < 6 && faceOf < 0; ++f) {
                bool all = true;
                for (const auto& v : primitive.vertices) {
                    bool in = false;
                    for (int c : kFaces[f].corners)
                        in = in || (std::fabs(v.x - onScreen[c][0]) < 0.02f &&
                                    std::fabs(v.y - onScreen[c][1]) < 0.02f);
                    all = all && in;
                }
                if (all)
                    faceOf = f;
            }
            ASSERT_GE(faceOf, 0) << "a polygon that is no face of the box";
            if (faces.empty() || faces.back() != faceOf)
                faces.push_back(faceOf);
            if (std::fabs(eyeZ(kOutward[faceOf])) < 0.05f)
                continue; // an edge-on face's corners overlap on screen
            const Face& face = kFaces[faceOf];
            for (const auto& v : primitive.vertices) {
                for (int k = 0; k < 4; ++k) {
                    const int c = face.corners[k];
                    if (std::fabs(v.x - onScreen[c][0]) > 0.02f ||
                        std::fabs(v.y - onScreen[c][1]) > 0.02f)
                        continue;
                    EXPECT_NEAR(v.s, tex[face.tex[k]][0], 1e-5) << face.name << " corner " << c;
                    EXPECT_NEAR(v.t, tex[face.tex[k]][1], 1e-5) << face.name << " corner " << c;
                    const float lit = std::fmax(0.0f, eyeZ(face.normal[k]));
                    EXPECT_NEAR(v.r, lit, 0.01f) << face.name << " normal at corner " << c;
                }
            }
        }
        std::vector<int> shown;
        for (int f : faces)
            if (std::fabs(eyeZ(kOutward[f])) >= 0.05f)
                shown.push_back(f);
        EXPECT_EQ(shown, expected) << "rotation " << rotation[0] << ", " << rotation[1] << ", "
                                   << rotation[2];

        // The box went into a display list, which later frames replay unchanged.
        ASSERT_NE(piece.displayList, 0u);
        EXPECT_TRUE(glIsList(piece.displayList));
        glClear(GL_COLOR_BUFFER_BIT);
        ForgetList(piece);
        DrawPiece(&piece); // compiled and drawn
        const std::vector<uint8_t> compiled = window.ReadPixels(GL_BACK);
        glClear(GL_COLOR_BUFFER_BIT);
        DrawPiece(&piece); // replayed
        EXPECT_EQ(window.ReadPixels(GL_BACK), compiled);
        ForgetList(piece);
    }
    for (int f = 0; f < 6; ++f) {
        EXPECT_TRUE(seen[f]) << kFaces[f].name;
        EXPECT_TRUE(hidden[f]) << kFaces[f].name;
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
}

TEST_F(ExplodeDraw, DestroyingAPieceDeletesItsDisplayList)
{
    Piece* piece = new Piece;
    DrawPiece(piece);
    const GLuint list = piece->displayList;
    ASSERT_NE(list, 0u);
    EXPECT_TRUE(glIsList(list));
    delete piece;
    EXPECT_FALSE(glIsList(list));
}

TEST_F(ExplodeDraw, AFlyingPieceDrawsItsTrailOldestFirstInAGreyRamp)
{
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, kWidth, 0, kHeight, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    // Stand-in clouds: list i is one point i / 5 units above the trail point,
    // so each point's position tells the list it came from.
    const GLuint base = glGenLists(kSparkleListCount);
    GLuint saved[kSparkleListCount];
    for (int i = 0; i < kSparkleListCount; ++i) {
        saved[i] = SparkleLists[i];
        SparkleLists[i] = base + i;
        glNewList(base + i, GL_COMPILE);
        glBegin(GL_POINTS);
        glVertex3f(0, i * 0.2f, 0);
        glEnd();
        glEndList();
    }

    Piece* piece = new Piece;
    piece->launched = true;
    piece->resting = false;
    piece->position.set(300, 200, 0);
    piece->frontCorner.set(-2, -2, 0);
    piece->backCorner.set(2, 2, -1);
    for (int slot = 0; slot < kTrailLength; ++slot)
        piece->trail[slot].set(10.0f + 20.0f * slot, 5.0f, 0.0f);
    Settings.useTrails = 1;

    for (int head : {0, 5}) {
        piece->trailHead = head;
        ForgetList(*piece);
        glColor4f(0.3f, 0.6f, 0.9f, 1);
        const auto primitives = Capture(GL_3D_COLOR, DrawPiece, piece);
        std::vector<int> slots;
        int age = 0;
        for (const auto& primitive : primitives) {
            if (primitive.token != GL_POINT_TOKEN)
                continue;
            const FeedbackVertex& v = primitive.vertices[0];
            ++age;
            slots.push_back(static_cast<int>(std::lround((v.x - 10.0f) / 20.0f)));
            EXPECT_NEAR(v.r, age / 15.0f, 1e-3) << "head " << head << " age " << age;
            EXPECT_NEAR(v.g, age / 15.0f, 1e-3);
            const int list = static_cast<int>(std::lround((v.y - 5.0f) / 0.2f));
            EXPECT_GE(list, 66 * age);
            EXPECT_LT(list, 66 * age + 66);
        }
        std::vector<int> expected;
        for (int i = head + 1; i < kTrailLength; ++i)
            expected.push_back(i);
        for (int i = 0; i < head; ++i)
            expected.push_back(i);
        EXPECT_EQ(slots, expected) << "head " << head;
        // The points come first; the box follows in white.
        ASSERT_FALSE(primitives.empty());
        EXPECT_EQ(primitives.back().token, static_cast<GLenum>(GL_POLYGON_TOKEN));
        EXPECT_FLOAT_EQ(primitives.back().vertices[0].b, 1.0f);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0], 1.0f);
        EXPECT_EQ(colour[2], 1.0f);
    }

    // No trail while trails are off, nor for a resting piece.
    auto points = [&]() {
        ForgetList(*piece);
        int n = 0;
        for (const auto& primitive : Capture(GL_3D_COLOR, DrawPiece, piece))
            n += primitive.token == GL_POINT_TOKEN ? 1 : 0;
        return n;
    };
    Settings.useTrails = 0;
    EXPECT_EQ(points(), 0);
    Settings.useTrails = 1;
    piece->resting = true;
    EXPECT_EQ(points(), 0);

    delete piece;
    for (int i = 0; i < kSparkleListCount; ++i)
        SparkleLists[i] = saved[i];
    glDeleteLists(base, kSparkleListCount);
}

// The desktop picture: four quadrants of red (top left), green (top right),
// blue (bottom left) and yellow (bottom right).
void FillQuadrantPicture()
{
    const int w = Settings.screenTextureWidth, h = Settings.screenTextureHeight;
    ReleaseDesktopPixels();
    desktopPixels = new uint8_t[CaptureByteCount(w, h)];
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool right = x >= w / 2, bottom = y >= h / 2; // top row first
            const uint8_t r = right == bottom ? 255 : 0;
            const uint8_t g = right ? 255 : 0;
            const uint8_t b = (bottom && !right) ? 255 : 0;
            uint8_t* p = desktopPixels + (static_cast<size_t>(y) * w + x) * 3;
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
}

TEST_F(ExplodeDraw, TheFirstFrameShowsTheIntactDesktop)
{
    FillQuadrantPicture();
    SetupScene();
    CreateScreenTexture();
    SeedRandom(5);
    ASSERT_GT(screenWidth, 0);
    ASSERT_EQ(pieces.size(), 475u);
    DrawFrame(nullptr); // the frame as drawn, read before any swap
    const std::vector<uint8_t> rgb = window.ReadPixels(GL_BACK);
    auto at = [&](int x, int y) { return &rgb[(static_cast<size_t>(y) * kWidth + x) * 3]; };

    // With the reset camera the plane's half-extent is its half-size over
    // 300 * tan 60 (and the 4:3 aspect across).
    const float reach = 300.0f * std::tan(60.0f * 3.14159265f / 180.0f);
    const float fx = screenWidth * 0.5f / (reach * 4.0f / 3.0f);
    const float fy = screenHeight * 0.5f / reach;
    const int cx = kWidth / 2, cy = kHeight / 2;
    const int dx = static_cast<int>(fx * cx * 0.5f), dy = static_cast<int>(fy * cy * 0.5f);
    struct Sample {
        int x, y;
        int channel[3]; // 1: strong, 0: dark
    } samples[] = {{cx - dx, cy + dy, {1, 0, 0}},
                   {cx + dx, cy + dy, {0, 1, 0}},
                   {cx - dx, cy - dy, {0, 0, 1}},
                   {cx + dx, cy - dy, {1, 1, 0}}};
    for (const Sample& s : samples) {
        const uint8_t* p = at(s.x, s.y);
        for (int c = 0; c < 3; ++c) {
            if (s.channel[c])
                EXPECT_GT(p[c], 120) << "at " << s.x << "," << s.y << " channel " << c;
            else
                EXPECT_LT(p[c], 40) << "at " << s.x << "," << s.y << " channel " << c;
        }
    }
    // No crack between the pieces: every pixel across the plane's middle is lit,
    // and the black background starts just outside the plane.
    const int spanX = static_cast<int>(fx * cx) - 2, spanY = static_cast<int>(fy * cy) - 2;
    for (int x = cx - spanX; x <= cx + spanX; ++x) {
        const uint8_t* p = at(x, cy + 3);
        ASSERT_GT(p[0] + p[1] + p[2], 100) << "gap at x " << x;
    }
    for (int y = cy - spanY; y <= cy + spanY; ++y) {
        const uint8_t* p = at(cx - 3, y);
        ASSERT_GT(p[0] + p[1] + p[2], 100) << "gap at y " << y;
    }
    const uint8_t* outside = at(cx - spanX - 8, cy);
    EXPECT_EQ(outside[0] + outside[1] + outside[2], 0);
    glDeleteTextures(1, &ScreenTexture);
    ScreenTexture = 0;
}

} // namespace
