// Explode pieces without a GL context: cutting the desktop, launches, the rest
// rule, children, removal, the restart of the cycle, trails and the budget.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/settings.h"
#include "geometry/piece.h"
#include "render/scene.h"

namespace {

class Explode : public ::testing::Test {
  protected:
    void SetUp() override
    {
        SetDefaultSettings();
        screenWidth = 1024;
        screenHeight = 768;
        ClearPieces();
        SeedRandom(12345);
    }
    void TearDown() override { ClearPieces(); }

    static Piece* Add(bool launched, bool resting, int generation = 0)
    {
        Piece* p = new Piece;
        p->launched = launched;
        p->resting = resting;
        p->generation = generation;
        pieces.push_back(p);
        return p;
    }
    static std::string Step()
    {
        ::testing::internal::CaptureStdout();
        ExplodeStep();
        return ::testing::internal::GetCapturedStdout();
    }
    static void ExpectNear(const Vector3f& v, float x, float y, float z, float tolerance = 1e-4f)
    {
        EXPECT_NEAR(v.x, x, tolerance);
        EXPECT_NEAR(v.y, y, tolerance);
        EXPECT_NEAR(v.z, z, tolerance);
    }
};

TEST_F(Explode, TheDefaultGridCutsA1024By768DesktopInto475RestingTiles)
{
    BuildPieces();
    ASSERT_EQ(pieces.size(), 475u);
    const Piece& first = *pieces[0];
    ExpectNear(first.position, 20.48f, 20.2105f, 0.0f);
    ExpectNear(first.frontCorner, -20.48f, -20.2105f, 0.0f);
    ExpectNear(first.backCorner, 20.48f, 20.2105f, -24.414f, 1e-3f);
    for (const Piece* p : pieces) {
        // Each shows its own cell of the picture, up to the far edges...
        EXPECT_NEAR(p->texCoords[0][0] * 1024, p->position.x + p->frontCorner.x, 1e-2);
        EXPECT_NEAR((1 - p->texCoords[0][1]) * 768, p->position.y + p->frontCorner.y, 1e-2);
        EXPECT_NEAR(p->texCoords[2][0] * 1024, p->position.x + p->backCorner.x, 1e-2);
        EXPECT_NEAR((1 - p->texCoords[2][1]) * 768, p->position.y + p->backCorner.y, 1e-2);
        // Lower left, lower right, upper right, upper left; t = 1 is the desktop's bottom.
        const float(*t)[2] = p->texCoords;
        ASSERT_TRUE(t[1][0] == t[2][0] && t[1][1] == t[0][1] && t[3][0] == t[0][0] &&
                    t[3][1] == t[2][1]);
        // ...and rests in place, unlaunched.
        ASSERT_TRUE(p->resting && !p->launched && p->generation == 0);
    }
}

TEST_F(Explode, WithoutCellsThereIsNoPieceAndEveryFrameRestarts)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // The last one must not walk three billion empty columns.
    const float divisions[][2] = {{0, 19}, {25, -1}, {nan, 19}, {3e9f, 0}};
    for (const auto& d : divisions) {
        Settings.x_div = d[0];
        Settings.y_div = d[1];
        EXPECT_EQ(Step(), "All are done.!\n") << d[0] << " x " << d[1];
        EXPECT_EQ(Step(), "All are done.!\n") << d[0] << " x " << d[1];
        EXPECT_TRUE(pieces.empty());
    }
}

TEST_F(Explode, AFlyingPieceSlowsDownAndRestsOnceEveryComponentIsZero)
{
    const struct {
        float velocity[3];
        int steps;       // motion steps until it rests, the last one included
        float travel[3]; // how far it moved in all
        bool trails;
    } cases[] = {
        // 0.8^14 is the first power under 0.05.
        {{0, 1, 0}, 15, {0, 3.8241f, 0}, false},
        {{0.04f, 0, 2}, 18, {0, 0, 7.8199f}, true}, // x and y at 0 are not enough
        {{-30, 0, 0}, 30, {-120, 0, 0}, true},      // -30 (0.8 + 0.8^2 + ... + 0.8^29)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << &c - cases);
        Settings.useTrails = c.trails;
        Piece p;
        p.launched = true;
        p.resting = false;
        p.velocity.set(c.velocity[0], c.velocity[1], c.velocity[2]);
        p.position.set(500, 300, 10);
        p.spin.set(1.5f, -2.0f, 0.5f);
        int steps = 0;
        for (; !p.resting && steps < 100; ++steps) {
            const float before = p.position.x;
            MovePiece(&p);
            // The trail is a ring of the positions before each move.
            EXPECT_EQ(p.trail[steps % 15].x, c.trails ? before : -10000.0f);
        }
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(p.trailHead, c.trails ? steps % 15 : 0);
        MovePiece(&p); // a resting piece neither moves nor turns
        const float tolerance = 0.01f + 0.002f * std::fabs(c.travel[0] + c.travel[1] + c.travel[2]);
        ExpectNear(p.position, 500 + c.travel[0], 300 + c.travel[1], 10 + c.travel[2], tolerance);
        ExpectNear(p.rotation, 1.5f * c.steps, -2.0f * c.steps, 0.5f * c.steps);
    }
}

TEST_F(Explode, ALandedPieceSplitsIntoHalfSizeChildrenForThreeGenerations)
{
    Piece* parent = Add(true, true, 0);
    parent->position.set(300, 200, 0);
    parent->frontCorner.set(-20.48f, -20.21f, 0);
    parent->backCorner.set(20.48f, 20.21f, -24.41f);
    parent->texCoords[2][0] = 0.25f;
    parent->rotation.set(10, 20, 30);
    EXPECT_EQ(Step(), "");
    ASSERT_EQ(pieces.size(), 2u);
    for (const Piece* child : pieces) {
        EXPECT_EQ(child->generation, 1);
        EXPECT_TRUE(child->launched && !child->resting);
        ExpectNear(child->position, 300, 200, 0);
        ExpectNear(child->frontCorner, -10.24f, -10.105f, 0);
        ExpectNear(child->backCorner, 10.24f, 10.105f, -12.205f);
        ExpectNear(child->rotation, 0, 0, 0);     // facing the viewer again
        EXPECT_EQ(child->texCoords[2][0], 0.25f); // the parent's whole picture
    }

    // Generation 2 still has children; generation 3 lands without any, the
    // list empties and a fresh set is cut.
    ClearPieces();
    Add(true, true, 2);
    EXPECT_EQ(Step(), "");
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[1]->generation, 3);
    for (Piece* p : pieces)
        p->resting = true;
    EXPECT_EQ(Step(), "All are done.!\n");
    EXPECT_EQ(livePieceCount, 475);
}

TEST_F(Explode, ThePieceBudgetBoundsHugeGridsAndChildrenCounts)
{
    Settings.x_div = 1e9f;
    Settings.y_div = 1e9f;
    BuildPieces();
    ASSERT_EQ(pieces.size(), kPieceBudget);
    ClearPieces();

    // The first parent fills the budget, the second finds it full: one line
    // each, and both are removed.
    Settings.genChildren = 999999999;
    Add(true, true, 0);
    Add(true, true, 1);
    EXPECT_EQ(Step(), "Bad mem alloc\nBad mem alloc\n");
    ASSERT_EQ(pieces.size(), kPieceBudget - 2);
    EXPECT_EQ(pieces.back()->generation, 1);
}

} // namespace
