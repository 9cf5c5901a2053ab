// Explode mode, top to bottom: the piece, cutting the desktop into pieces,
// drawing a piece (box and trail), moving it, and the per-frame step that
// launches pieces, splits resting ones into children, removes finished ones
// and starts the next cycle.
#include "geometry/piece.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <new>

#include "core/random.h"
#include "core/settings.h"
#include "geometry/plane.h"
#include "geometry/sparkle.h"
#include "platform/gl.h"

std::vector<Piece*> pieces;
int64_t livePieceCount = 0;

// The highest display-list name handed to a piece, for the status line.
static GLuint highestListName = 0;

// ---------------------------------------------------------------------------
// The piece

Piece::Piece()
    : frontCorner(-1.0f, -1.0f, -1.0f), backCorner(1.0f, 1.0f, 1.0f), position(0.0f, 0.0f, 0.0f),
      rotation(0.0f, 0.0f, 0.0f), spin(0.0f, 0.0f, 0.0f), damping(0.8f, 0.8f, 0.8f),
      velocity(0.0f, 0.0f, 0.0f), texCoords{{0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}},
      generation(0), launched(false), resting(true), displayList(0), trail(nullptr),
      trailLength(kTrailLength), trailHead(0)
{
    ++livePieceCount;
    // Unwritten slots sit far off the desktop plane: their sparkles are drawn
    // there like any others, but are seldom in view.
    trail = new (std::nothrow) Vector3f[kTrailLength];
    if (trail == nullptr) {
        trailLength = 0;
        return;
    }
    for (int32_t i = 0; i < trailLength; ++i)
        trail[i].set(-10000.0f, -10000.0f, 0.0f);
}

Piece::~Piece()
{
    --livePieceCount;
    if (displayList != 0) {
        glDeleteLists(displayList, 1);
        displayList = 0;
    }
    delete[] trail;
    trail = nullptr;
    trailLength = 0;
}

// A piece counts as made only with its trail: both creators treat a piece
// whose trail could not be allocated like one that could not be allocated.
static Piece* NewPiece()
{
    Piece* piece = new (std::nothrow) Piece;
    if (piece != nullptr && piece->trail == nullptr) {
        delete piece;
        piece = nullptr;
    }
    return piece;
}

void ClearPieces()
{
    for (Piece* piece : pieces)
        delete piece;
    pieces.clear();
}

// ---------------------------------------------------------------------------
// Cutting the desktop

void BuildPieces()
{
    const float cols = Settings.x_div;
    const float rows = Settings.y_div;
    const float cw = static_cast<float>(screenWidth) / cols;
    const float ch = static_cast<float>(screenHeight) / rows;
    const float invCols = 1.0f / cols;
    const float invRows = 1.0f / rows;
    // No cell exists unless both counts are above 0 (this also turns away NaN).
    // Checking the rows here too keeps a huge column count with no rows from
    // spinning through empty columns.
    if (!(cols > 0.0f) || !(rows > 0.0f))
        return;

    // Visiting more cells than the budget can hold is pointless; the bound also
    // ends the loops when float counters stop advancing on absurd counts.
    std::size_t visited = 0;
    for (float i = 0.0f; i < cols; i += 1.0f) {
        const float x0 = i;
        const float x1 = (i == cols - 1.0f) ? cols : i + 1.0f;
        for (float j = 0.0f; j < rows; j += 1.0f) {
            if (pieces.size() >= kPieceBudget || visited >= kPieceBudget)
                return;
            ++visited;
            const float y0 = j;
            const float y1 = (j == rows - 1.0f) ? rows : j + 1.0f;

            Piece* piece = NewPiece();
            if (piece == nullptr)
                continue; // that cell is simply missing in this cycle
            piece->position.set((x0 + x1) * cw * 0.5f, (y0 + y1) * ch * 0.5f, 0.0f);
            piece->frontCorner.set(cw * -0.5f, ch * -0.5f, 0.0f);
            piece->backCorner.set(cw * 0.5f, ch * 0.5f, (ch + cw) * -0.3f);
            // t = 0 is the top of the desktop, so the rows count down from 1.
            piece->texCoords[0][0] = x0 * invCols;
            piece->texCoords[0][1] = (rows - y0) * invRows;
            piece->texCoords[1][0] = x1 * invCols;
            piece->texCoords[1][1] = (rows - y0) * invRows;
            piece->texCoords[2][0] = x1 * invCols;
            piece->texCoords[2][1] = (rows - y1) * invRows;
            piece->texCoords[3][0] = x0 * invCols;
            piece->texCoords[3][1] = (rows - y1) * invRows;
            pieces.push_back(piece);
        }
    }
}

// ---------------------------------------------------------------------------
// Drawing

// The trail points that DrawPiece draws, from the oldest to the newest: the
// slot of trail and its age rank (1 for the oldest drawn, trailLength - 1 for
// the newest). The slot at trailHead, the oldest, is left out.
struct TrailPoint {
    int32_t slot;
    int32_t age;
};
// Fills out (room for trailLength - 1 entries) and returns the count.
static int TrailDrawOrder(const Piece& piece, TrailPoint* out)
{
    const int32_t length = piece.trailLength;
    const int32_t head = piece.trailHead;
    int count = 0;
    for (int32_t i = head + 1; i < length; ++i)
        out[count++] = {i, i - head};
    for (int32_t i = 0; i < head; ++i)
        out[count++] = {i, length - head + i};
    return count;
}

// The sparkle cloud drawn for a trail point of the given age: a random pick
// from the band of clouds that belongs to that age. Draws one random number.
static int TrailSparkleIndex(int32_t age, int32_t trailLength)
{
    const float w = 1.0f / static_cast<float>(trailLength);
    const int band = static_cast<int>(w * 1000.0f);
    return age * band + NextRandom() % band;
}

// Points from the oldest to the newest, each a sparkle cloud in grey that
// brightens with the point's age rank, in scene coordinates: one draw of
// colour and position pairs, each cloud moved to its trail point here rather
// than by a matrix per point. The points take the current normal and texture
// coordinate (those the previous box left) for their lighting and texel.
static void DrawTrail(const Piece& piece)
{
    if (piece.trail == nullptr || piece.trailLength < 2 || piece.trailLength > kTrailLength)
        return;
    // Static, so that the array pointer left in GL never dangles.
    static float points[(kTrailLength - 1) * kMaxSparklePoints][6]; // r, g, b, x, y, z
    TrailPoint order[kTrailLength];
    const int count = TrailDrawOrder(piece, order);
    const float w = 1.0f / static_cast<float>(piece.trailLength);
    int filled = 0;
    for (int n = 0; n < count; ++n) {
        const float grey = static_cast<float>(order[n].age) * w;
        const Vector3f& at = piece.trail[order[n].slot];
        const int cloud = TrailSparkleIndex(order[n].age, piece.trailLength);
        const float* cloudPoint = SparkleCloudPoints[cloud];
        for (int p = 0; p < SparkleCloudSize[cloud]; ++p, cloudPoint += 3) {
            float* out = points[filled++];
            out[0] = out[1] = out[2] = grey;
            out[3] = cloudPoint[0] + at.x;
            out[4] = cloudPoint[1] + at.y;
            out[5] = cloudPoint[2] + at.z;
        }
    }
    glInterleavedArrays(GL_C3F_V3F, 0, points);
    glDrawArrays(GL_POINTS, 0, filled);
    glColor3f(1.0f, 1.0f, 1.0f);
}

// The box as three primitives: the front face; top, back and bottom as one
// strip; then the left and right sides. Every face is counter-clockwise seen
// from outside, and the sides reuse the front face's texture coordinates.
static void SendBox(const Piece& piece)
{
    const float xa = piece.frontCorner.x, ya = piece.frontCorner.y, za = piece.frontCorner.z;
    const float xb = piece.backCorner.x, yb = piece.backCorner.y, zb = piece.backCorner.z;
    const float p[8][3] = {{xa, ya, za}, {xb, ya, za}, {xb, yb, za}, {xa, yb, za},
                           {xa, ya, zb}, {xb, ya, zb}, {xb, yb, zb}, {xa, yb, zb}};
    const float(*t)[2] = piece.texCoords;
    auto vertex = [&](int tex, int corner) {
        glTexCoord2fv(t[tex]);
        glVertex3fv(p[corner]);
    };

    glBegin(GL_QUAD_STRIP);
    glNormal3f(0.0f, 0.0f, 1.0f);
    vertex(0, 0);
    vertex(1, 1);
    vertex(3, 3);
    vertex(2, 2);
    glEnd();

    glBegin(GL_QUAD_STRIP);
    glNormal3f(0.0f, 1.0f, 0.0f);
    vertex(3, 3);
    vertex(2, 2);
    glNormal3f(0.0f, 0.0f, -1.0f);
    vertex(0, 7);
    vertex(1, 6);
    glNormal3f(0.0f, -1.0f, 0.0f);
    vertex(3, 4);
    vertex(2, 5);
    glNormal3f(0.0f, 0.0f, 1.0f);
    vertex(0, 0);
    vertex(1, 1);
    glEnd();

    glBegin(GL_QUADS);
    glNormal3f(-1.0f, 0.0f, 0.0f);
    vertex(0, 3);
    vertex(1, 7);
    vertex(2, 4);
    vertex(3, 0);
    glNormal3f(1.0f, 0.0f, 0.0f);
    vertex(0, 6);
    vertex(1, 2);
    vertex(2, 1);
    vertex(3, 5);
    glEnd();
}

void DrawPiece(Piece* piece)
{
    glPushMatrix();
    if (!piece->resting && Settings.useTrails != 0)
        DrawTrail(*piece);
    glTranslatef(piece->position.x, piece->position.y, piece->position.z);
    glRotatef(piece->rotation.x, 1.0f, 0.0f, 0.0f);
    glRotatef(piece->rotation.y, 0.0f, 1.0f, 0.0f);
    glRotatef(piece->rotation.z, 0.0f, 0.0f, 1.0f);
    if (piece->displayList != 0) {
        glCallList(piece->displayList);
    } else {
        // The box is drawn while it is compiled; later frames replay it.
        const GLuint list = glGenLists(1);
        if (list != 0) {
            piece->displayList = list;
            highestListName = list > highestListName ? list : highestListName;
            glNewList(list, GL_COMPILE_AND_EXECUTE);
            SendBox(*piece);
            glEndList();
        } else {
            SendBox(*piece); // no list name to be had: draw it directly, try again next frame
        }
    }
    glPopMatrix();
}

// ---------------------------------------------------------------------------
// Motion

void MovePiece(Piece* piece)
{
    if (piece->resting)
        return;
    Piece& p = *piece;
    if (Settings.useTrails != 0 && p.trail != nullptr && p.trailLength > 0) {
        // The position before this frame's move; the head then points at the oldest entry.
        p.trail[p.trailHead] = p.position;
        p.trailHead += 1;
        if (p.trailHead >= p.trailLength)
            p.trailHead = 0;
    }

    // A slow component is zeroed and stays zero; the piece rests only once all
    // three are exactly zero. Each test sees the components zeroed before it.
    Vector3f& v = p.velocity;
    if (v.x > -kRestSpeed && v.x < kRestSpeed) {
        v.x = 0.0f;
        if (v.y == 0.0f && v.z == 0.0f)
            p.resting = true;
    }
    if (v.y > -kRestSpeed && v.y < kRestSpeed) {
        v.y = 0.0f;
        if (v.x == 0.0f && v.z == 0.0f)
            p.resting = true;
    }
    if (v.z > -kRestSpeed && v.z < kRestSpeed) {
        v.z = 0.0f;
        if (v.x == 0.0f && v.y == 0.0f)
            p.resting = true;
    }

    // These run even in the step that found the piece at rest: one last turn.
    v.set(v.x * p.damping.x, v.y * p.damping.y, v.z * p.damping.z);
    p.position.set(p.position.x + v.x, p.position.y + v.y, p.position.z + v.z);
    p.rotation.set(p.rotation.x + p.spin.x, p.rotation.y + p.spin.y, p.rotation.z + p.spin.z);
}

// Velocity and spin of a launch, six random draws in a fixed order: velocity
// z, y, x (whole units, mostly towards the viewer), then spin z, y, x.
static void DrawLaunch(Piece& p)
{
    p.velocity.z = static_cast<float>(NextRandom() % 100 - 30);
    p.velocity.y = static_cast<float>(NextRandom() % 60 - 30);
    p.velocity.x = static_cast<float>(NextRandom() % 60 - 30);
    p.spin.z = static_cast<float>(NextRandom() % 100) * 0.1f - 5.0f;
    p.spin.y = static_cast<float>(NextRandom() % 100) * 0.1f - 5.0f;
    p.spin.x = static_cast<float>(NextRandom() % 100) * 0.1f - 5.0f;
}

static void WriteLine(const char* text)
{
    std::cout << text << '\n' << std::flush;
}

// ---------------------------------------------------------------------------
// The explode step

// Each unlaunched piece goes with a chance of one in (unlaunched pieces at the
// start of the pass), so about one launch per frame, and the last one at once.
static void LaunchPieces()
{
    std::size_t launchedCount = 0;
    for (const Piece* piece : pieces)
        if (piece->launched)
            ++launchedCount;
    const std::size_t unlaunched = pieces.size() - launchedCount;
    if (unlaunched == 0)
        return;
    for (Piece* piece : pieces) {
        if (piece->launched)
            continue;
        const int r = NextRandom();
        if (static_cast<std::size_t>(r) % unlaunched != 0)
            continue;
        piece->launched = true;
        DrawLaunch(*piece);
        piece->resting = false;
    }
}

// Every piece that has come to rest splits into genChildren half-size pieces
// that fly off from where it stopped. Only the pieces present when the step
// begins are visited.
static void SpawnChildren()
{
    const std::size_t parents = pieces.size();
    for (std::size_t n = 0; n < parents; ++n) {
        const Piece* parent = pieces[n];
        if (!parent->launched || !parent->resting)
            continue;
        for (int32_t c = 0; c < Settings.genChildren; ++c) {
            // Over the budget counts as a failed allocation; the rest of this
            // parent's children would fail alike, so one line says it for all.
            if (pieces.size() >= kPieceBudget || static_cast<std::size_t>(c) >= kPieceBudget) {
                WriteLine("Bad mem alloc");
                break;
            }
            Piece* child = NewPiece();
            if (child == nullptr) {
                WriteLine("Bad mem alloc");
                continue;
            }
            child->generation = parent->generation + 1;
            child->position = parent->position;
            child->frontCorner.set(parent->frontCorner.x * 0.5f, parent->frontCorner.y * 0.5f,
                                   parent->frontCorner.z * 0.5f);
            child->backCorner.set(parent->backCorner.x * 0.5f, parent->backCorner.y * 0.5f,
                                  parent->backCorner.z * 0.5f);
            for (int k = 0; k < 4; ++k) {
                child->texCoords[k][0] = parent->texCoords[k][0];
                child->texCoords[k][1] = parent->texCoords[k][1];
            }
            child->launched = true;
            DrawLaunch(*child);
            child->resting = false;
            pieces.push_back(child);
        }
    }
}

// Destroys every piece that is done (launched and at rest) or too deep a
// generation to be shown, keeping the order of the rest. One pass, so a frame
// that removes many pieces stays linear in the list's length.
static void RemoveFinished()
{
    std::size_t kept = 0;
    for (std::size_t n = 0; n < pieces.size(); ++n) {
        Piece* piece = pieces[n];
        if ((piece->launched && piece->resting) || piece->generation > kMaxGeneration) {
            delete piece;
            continue;
        }
        pieces[kept++] = piece;
    }
    pieces.resize(kept);
}

// With BRITTLEVIEW_STATUS set in the environment, each new cycle writes one
// line to standard error: its number, the live pieces and the live display
// lists (every name up to the highest handed out, asked of OpenGL itself, so
// that a list never deleted shows). Long runs watch these from outside: at
// every restart they must come back to the same values.
static void WriteStatus()
{
    static const bool wanted = std::getenv("BRITTLEVIEW_STATUS") != nullptr;
    static int64_t cycle = 0;
    if (!wanted)
        return;
    GLuint liveLists = 0;
    for (GLuint name = 1; name != 0 && name <= highestListName; ++name)
        liveLists += glIsList(name) ? 1 : 0;
    std::fprintf(stderr, "brittleview status: cycle %lld pieces %lld lists %u\n",
                 static_cast<long long>(++cycle), static_cast<long long>(livePieceCount),
                 liveLists);
    std::fflush(stderr);
}

void ExplodeStep()
{
    LaunchPieces();
    SpawnChildren();
    RemoveFinished();
    if (pieces.empty()) {
        WriteLine("All are done.!");
        BuildPieces();
        WriteStatus();
    }
}
