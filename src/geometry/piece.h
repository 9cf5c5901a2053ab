// Explode pieces: the textured boxes that the desktop is cut into, their
// flight, the children they split into when they come to rest, and the
// sparkling trails they leave behind.
//
// A frame in explode mode is: DrawPiece for every piece, MovePiece for every
// piece, then ExplodeStep once. Everything here runs on the render thread and
// draws its random numbers from NextRandom (core/random.h), so one seed gives
// the same explosion on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/vector3f.h"

// A velocity component strictly between -kRestSpeed and kRestSpeed counts as 0.
constexpr float kRestSpeed = 0.05f;
// Pieces of a generation above this are removed as soon as they are made.
constexpr int32_t kMaxGeneration = 3;
// Number of positions a piece remembers for its trail.
constexpr int32_t kTrailLength = 15;

// Upper bound on live pieces. The stored grid size and children count are not
// clamped anywhere, and each generation multiplies the count by genChildren, so
// a stored value could otherwise ask for billions of pieces. A piece costs
// about 0.36 KB of our own memory (object, trail, list slot) plus its compiled
// display list in the GL driver (Mesa: 1.4 KB of heap, about 2 KB resident), so
// a full budget adds about 250 MB (the whole saver peaked at 375 MB with Mesa's
// software renderer at 1920 x 1080, drawing about 4 frames a second). For
// scale, at 1920 x 1080 every preset peaks below 2,000 live pieces, and a
// 100 x 80 grid with 4 children near 11,000.
// A cell or child beyond the budget is treated like a failed allocation.
constexpr std::size_t kPieceBudget = 100000;

class Piece {
  public:
    Piece();
    // Deletes the piece's display list (needs the render thread's GL context
    // when the list exists) and frees its trail.
    virtual ~Piece();
    Piece(const Piece&) = delete;
    Piece& operator=(const Piece&) = delete;

    Vector3f frontCorner;  // box corner with the smallest x and y, front face; relative to position
    Vector3f backCorner;   // opposite corner on the back face; relative to position
    Vector3f position;     // centre of the front face, in scene units
    Vector3f rotation;     // degrees about X, Y and Z
    Vector3f spin;         // degrees added to rotation each frame while flying
    Vector3f damping;      // per-axis factor applied to velocity each frame
    Vector3f velocity;     // scene units per frame
    float texCoords[4][2]; // front face: lower left, lower right, upper right, upper left
    int32_t generation;    // 0 for pieces cut from the desktop, parent's + 1 for children
    bool launched;         // has been set flying
    bool resting;          // does not move: before launch, and once it has come to rest
    uint32_t displayList;  // compiled box, 0 until first drawn
    Vector3f* trail;       // ring buffer of past positions; null only if it could not be allocated
    int32_t trailLength;   // capacity of trail
    int32_t trailHead;     // next slot of trail to write; the oldest entry after a write
};

// The live pieces in drawing order; owns them.
extern std::vector<Piece*> pieces;
// Pieces constructed and not yet destroyed, in the list or not: equals
// pieces.size() whenever nothing has leaked.
extern int64_t livePieceCount;

// Appends x_div by y_div resting pieces that tile the whole desktop.
void BuildPieces();
// Draws one piece (and its trail while it flies and trails are on).
void DrawPiece(Piece* piece);
// Advances one flying piece by one frame.
void MovePiece(Piece* piece);
// Launches, splits resting pieces into children, removes finished pieces and
// starts a fresh set when none is left.
void ExplodeStep();

// Destroys every piece (their display lists too, so on the render thread's
// context) and empties the list; part of TeardownScene.
void ClearPieces();
