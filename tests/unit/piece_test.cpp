// Explode pieces without a GL context: cutting the desktop, launches, the rest
// rule, children, removal and the restart of the cycle.
#include <gtest/gtest.h>

#include <algorithm>
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

    // A piece flying with the given velocity and no spin.
    static Piece* Flying(float vx, float vy, float vz)
    {
        Piece* p = new Piece;
        p->launched = true;
        p->resting = false;
        p->velocity.set(vx, vy, vz);
        return p;
    }
    // A piece that has just come to rest after its flight.
    static Piece* Landed(int generation, float x, float y)
    {
        Piece* p = new Piece;
        p->launched = true;
        p->resting = true;
        p->generation = generation;
        p->position.set(x, y, 0.0f);
        p->frontCorner.set(-20.48f, -20.21f, 0.0f);
        p->backCorner.set(20.48f, 20.21f, -24.414f);
        return p;
    }
    // The next n values of the generator, which is then put back where it was.
    static std::vector<int> Peek(uint32_t seed, int n)
    {
        std::vector<int> values;
        SeedRandom(seed);
        for (int i = 0; i < n; ++i)
            values.push_back(NextRandom());
        SeedRandom(seed);
        return values;
    }
    static std::string Step()
    {
        ::testing::internal::CaptureStdout();
        ExplodeStep();
        return ::testing::internal::GetCapturedStdout();
    }
    static int CountGeneration(int generation)
    {
        int n = 0;
        for (const Piece* p : pieces)
            n += p->generation == generation ? 1 : 0;
        return n;
    }
};

TEST_F(Explode, DefaultGridCutsA1024By768DesktopInto475Pieces)
{
    BuildPieces();
    ASSERT_EQ(pieces.size(), 475u);

    const Piece& first = *pieces[0];
    EXPECT_NEAR(first.position.x, 20.48f, 1e-4);
    EXPECT_NEAR(first.position.y, 20.2105f, 1e-4);
    EXPECT_EQ(first.position.z, 0.0f);
    EXPECT_NEAR(first.backCorner.x - first.frontCorner.x, 40.96f, 1e-4);
    EXPECT_NEAR(first.backCorner.y - first.frontCorner.y, 40.421f, 1e-3);
    EXPECT_EQ(first.frontCorner.z, 0.0f);
    EXPECT_NEAR(first.backCorner.z, -24.414f, 1e-3); // thickness away from the viewer
    // Lower-left, lower-right, upper-right, upper-left; t = 1 is the desktop's bottom.
    const float expectedTex[4][2] = {{0, 1}, {0.04f, 1}, {0.04f, 18.0f / 19}, {0, 18.0f / 19}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(first.texCoords[k][0], expectedTex[k][0], 1e-6) << "corner " << k;
        EXPECT_NEAR(first.texCoords[k][1], expectedTex[k][1], 1e-6) << "corner " << k;
    }

    // Column by column from the left, each column from the bottom up.
    EXPECT_NEAR(pieces[1]->position.x, 20.48f, 1e-4);
    EXPECT_NEAR(pieces[1]->position.y, 3 * 20.2105f, 1e-3);
    EXPECT_NEAR(pieces[19]->position.x, 3 * 20.48f, 1e-3);
    EXPECT_NEAR(pieces[19]->position.y, 20.2105f, 1e-4);

    // The cells tile the whole desktop, texture included, without gaps.
    double area = 0.0;
    for (const Piece* p : pieces) {
        area += (p->backCorner.x - p->frontCorner.x) * (p->backCorner.y - p->frontCorner.y);
        EXPECT_NEAR(p->texCoords[1][0] - p->texCoords[0][0], 0.04f, 1e-5);
        EXPECT_NEAR(p->texCoords[0][1] - p->texCoords[3][1], 1.0f / 19, 1e-5);
        EXPECT_NEAR(p->texCoords[0][0] * 1024.0f, p->position.x + p->frontCorner.x, 1e-2);
        EXPECT_NEAR((1.0f - p->texCoords[0][1]) * 768.0f, p->position.y + p->frontCorner.y, 1e-2);
    }
    EXPECT_NEAR(area, 1024.0 * 768.0, 4.0);
    const Piece& last = *pieces.back();
    EXPECT_NEAR(last.position.x + last.backCorner.x, 1024.0f, 1e-3);
    EXPECT_NEAR(last.position.y + last.backCorner.y, 768.0f, 1e-3);
    EXPECT_NEAR(last.texCoords[2][0], 1.0f, 1e-6);
    EXPECT_NEAR(last.texCoords[2][1], 0.0f, 1e-6);

    // Fresh pieces rest in place, unlaunched, with an empty trail.
    for (const Piece* p : pieces) {
        ASSERT_TRUE(p->resting);
        ASSERT_FALSE(p->launched);
        ASSERT_EQ(p->generation, 0);
        ASSERT_EQ(p->displayList, 0u);
        ASSERT_EQ(p->velocity.x, 0.0f);
        ASSERT_EQ(p->rotation.z, 0.0f);
        ASSERT_EQ(p->damping.y, 0.8f);
        ASSERT_EQ(p->trailLength, 15);
        ASSERT_EQ(p->trailHead, 0);
        for (int i = 0; i < p->trailLength; ++i) {
            ASSERT_EQ(p->trail[i].x, -10000.0f);
            ASSERT_EQ(p->trail[i].y, -10000.0f);
            ASSERT_EQ(p->trail[i].z, 0.0f);
        }
    }
}

TEST_F(Explode, OneByOneGridIsOneWholeDesktopPieceLaunchedAtOnce)
{
    Settings.x_div = 1;
    Settings.y_div = 1;
    BuildPieces();
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0]->position.x, 512.0f);
    EXPECT_EQ(pieces[0]->position.y, 384.0f);
    EXPECT_EQ(pieces[0]->texCoords[2][0], 1.0f);
    EXPECT_EQ(pieces[0]->texCoords[2][1], 0.0f);
    ExplodeStep();
    EXPECT_TRUE(pieces[0]->launched);
}

TEST_F(Explode, ALaunchDrawsVelocityZYXThenSpinZYX)
{
    // One unlaunched piece among flying ones: r modulo 1 is 0, so it goes at once.
    Settings.genChildren = 0;
    for (int i = 0; i < 3; ++i)
        pieces.push_back(Flying(5, 5, 5));
    pieces.push_back(new Piece);
    for (uint32_t seed : {1u, 777u, 4242u}) {
        pieces.back()->launched = false;
        pieces.back()->resting = true;
        const std::vector<int> r = Peek(seed, 7);
        ExplodeStep();
        const Piece& p = *pieces.back();
        ASSERT_TRUE(p.launched);
        ASSERT_FALSE(p.resting);
        EXPECT_EQ(p.velocity.z, static_cast<float>(r[1] % 100 - 30));
        EXPECT_EQ(p.velocity.y, static_cast<float>(r[2] % 60 - 30));
        EXPECT_EQ(p.velocity.x, static_cast<float>(r[3] % 60 - 30));
        EXPECT_NEAR(p.spin.z, (r[4] % 100) * 0.1f - 5.0f, 1e-5);
        EXPECT_NEAR(p.spin.y, (r[5] % 100) * 0.1f - 5.0f, 1e-5);
        EXPECT_NEAR(p.spin.x, (r[6] % 100) * 0.1f - 5.0f, 1e-5);
        const int next = NextRandom();
        EXPECT_EQ(next, Peek(seed, 8)[7]) << "exactly seven draws";
        SeedRandom(seed + 1);
    }
}

TEST_F(Explode, TheUnlaunchedCountIsFixedForTheWholePass)
{
    // Two unlaunched pieces: each goes when its draw is even. Were the count
    // updated after the first launch, the second would always go (r mod 1).
    uint32_t seed = 0;
    for (uint32_t s = 1; s < 100000; ++s) {
        const std::vector<int> r = Peek(s, 8);
        if (r[0] % 2 == 0 && r[7] % 2 == 1) {
            seed = s;
            break;
        }
    }
    ASSERT_NE(seed, 0u);
    pieces.push_back(new Piece);
    pieces.push_back(new Piece);
    SeedRandom(seed);
    ExplodeStep();
    EXPECT_TRUE(pieces[0]->launched);
    EXPECT_FALSE(pieces[1]->launched);
    EXPECT_TRUE(pieces[1]->resting);
}

TEST_F(Explode, AboutOnePieceIsLaunchedPerFrameWithinTheStatedRanges)
{
    BuildPieces();
    int launched = 0, zMin = 100, zMax = -100, xyMin = 100, xyMax = -100;
    float spinMin = 100, spinMax = -100;
    const int frames = 300;
    for (int frame = 0; frame < frames; ++frame)
        ExplodeStep(); // nothing moves, so nothing rests and nothing is removed
    ASSERT_EQ(pieces.size(), 475u);
    for (const Piece* p : pieces) {
        if (!p->launched)
            continue;
        ++launched;
        EXPECT_FALSE(p->resting);
        const float v[3] = {p->velocity.x, p->velocity.y, p->velocity.z};
        for (float c : v)
            EXPECT_EQ(c, std::floor(c)) << "whole units per frame";
        zMin = std::min(zMin, static_cast<int>(p->velocity.z));
        zMax = std::max(zMax, static_cast<int>(p->velocity.z));
        for (float c : {p->velocity.x, p->velocity.y}) {
            xyMin = std::min(xyMin, static_cast<int>(c));
            xyMax = std::max(xyMax, static_cast<int>(c));
        }
        for (float s : {p->spin.x, p->spin.y, p->spin.z}) {
            spinMin = std::min(spinMin, s);
            spinMax = std::max(spinMax, s);
            const float tenths = (s + 5.0f) * 10.0f;
            EXPECT_NEAR(tenths, std::round(tenths), 1e-3) << "steps of 0.1 degree";
        }
    }
    // About one launch per frame (the chance grows as the pool shrinks).
    EXPECT_GT(launched, frames * 7 / 10);
    EXPECT_LT(launched, frames * 13 / 10);
    EXPECT_GE(zMin, -30);
    EXPECT_LE(zMax, 69);
    EXPECT_GT(zMax, 40) << "mostly towards the viewer";
    EXPECT_GE(xyMin, -30);
    EXPECT_LE(xyMax, 29);
    EXPECT_GE(spinMin, -5.0f - 1e-5f);
    EXPECT_LE(spinMax, 4.9f + 1e-5f);

    // Sooner or later every piece goes, the last one at the latest when it is alone.
    for (int frame = 0; frame < 100000 && launched < 475; ++frame) {
        ExplodeStep();
        launched = 0;
        for (const Piece* p : pieces)
            launched += p->launched ? 1 : 0;
    }
    EXPECT_EQ(launched, 475);
}

TEST_F(Explode, SlowComponentsAreZeroedAndThePieceRestsOnlyWhenAllAreZero)
{
    // Velocity (0, 0, 0): rests in its first step, turns by its spin once, stays put.
    Piece* still = Flying(0, 0, 0);
    still->position.set(10, 20, 30);
    still->spin.set(1.5f, -2.0f, 0.5f);
    MovePiece(still);
    EXPECT_TRUE(still->resting);
    EXPECT_EQ(still->position.x, 10.0f);
    EXPECT_EQ(still->position.z, 30.0f);
    EXPECT_EQ(still->rotation.x, 1.5f);
    EXPECT_EQ(still->rotation.y, -2.0f);
    MovePiece(still); // a resting piece does not move or turn any more
    EXPECT_EQ(still->rotation.x, 1.5f);

    // A component under 0.05 is zeroed and stays zero while the others decay.
    Piece* mixed = Flying(0.04f, -1.0f, 0.0f);
    MovePiece(mixed);
    EXPECT_EQ(mixed->velocity.x, 0.0f);
    EXPECT_FALSE(mixed->resting);
    EXPECT_FLOAT_EQ(mixed->velocity.y, -0.8f);
    EXPECT_FLOAT_EQ(mixed->position.y, -0.8f);
    int steps = 1;
    while (!mixed->resting && steps < 100) {
        MovePiece(mixed);
        EXPECT_EQ(mixed->velocity.x, 0.0f);
        ++steps;
    }
    EXPECT_TRUE(mixed->resting);
    EXPECT_EQ(steps, 15); // 0.8^14 is the first power below 0.05

    // Exactly 0.05 is not "under": it is damped once more before it counts.
    Piece* edge = Flying(-0.05f, 0.0f, 0.0f);
    MovePiece(edge);
    EXPECT_FALSE(edge->resting);
    EXPECT_FLOAT_EQ(edge->velocity.x, -0.04f);
    MovePiece(edge);
    EXPECT_TRUE(edge->resting);
    delete still;
    delete mixed;
    delete edge;
}

TEST_F(Explode, ALaunchAtMinus30TravelsAbout120Units)
{
    Piece* p = Flying(-30, 0, 0);
    p->position.set(500, 300, 0);
    int steps = 0;
    while (!p->resting && steps < 1000) {
        MovePiece(p);
        ++steps;
    }
    // -30 * (0.8 + 0.8^2 + ... + 0.8^29); the 30th step finds -0.046 and stops.
    EXPECT_EQ(steps, 30);
    EXPECT_NEAR(p->position.x - 500.0f, -120.0f, 0.25f);
    EXPECT_EQ(p->position.y, 300.0f);
    delete p;
}

TEST_F(Explode, RemovalDestroysFinishedPiecesAndKeepsTheOrderOfTheRest)
{
    Settings.genChildren = 0;
    // Tag the pieces by position x; 'done' ones are launched and resting or too deep.
    const char* kinds = "fDfdDfFfD"; // f flying, D done, d too deep a generation, F flying
    for (int i = 0; kinds[i]; ++i) {
        Piece* p = Flying(1, 1, 1);
        p->position.x = static_cast<float>(i);
        if (kinds[i] == 'D')
            p->resting = true;
        if (kinds[i] == 'd')
            p->generation = 4;
        if (kinds[i] == 'F')
            p->generation = 3; // the deepest generation still shown
        pieces.push_back(p);
    }
    EXPECT_EQ(Step(), "");
    std::vector<float> left;
    for (const Piece* p : pieces)
        left.push_back(p->position.x);
    EXPECT_EQ(left, (std::vector<float>{0, 2, 5, 6, 7}));
    EXPECT_EQ(livePieceCount, 5) << "removed pieces are destroyed";
}

TEST_F(Explode, RestingPiecesSplitIntoHalfSizeChildrenForThreeGenerations)
{
    Settings.genChildren = 2;
    Piece* parent = Landed(0, 300, 200);
    parent->texCoords[2][0] = 0.25f;
    parent->rotation.set(10, 20, 30);
    pieces.push_back(parent);

    const std::vector<int> r = Peek(99, 12);
    EXPECT_EQ(Step(), "");
    ASSERT_EQ(pieces.size(), 2u); // the parent is gone, two children fly
    for (const Piece* child : pieces) {
        EXPECT_EQ(child->generation, 1);
        EXPECT_TRUE(child->launched);
        EXPECT_FALSE(child->resting);
        EXPECT_EQ(child->position.x, 300.0f);
        EXPECT_EQ(child->position.y, 200.0f);
        EXPECT_EQ(child->rotation.x, 0.0f); // facing the viewer again
        EXPECT_EQ(child->rotation.z, 0.0f);
        EXPECT_EQ(child->texCoords[2][0], 0.25f); // the parent's whole picture
        EXPECT_NEAR(child->backCorner.x - child->frontCorner.x, 20.48f, 1e-4);
        EXPECT_NEAR(child->backCorner.y - child->frontCorner.y, 20.21f, 1e-4);
        EXPECT_NEAR(child->frontCorner.z - child->backCorner.z, 12.207f, 1e-3);
        EXPECT_EQ(child->frontCorner.z, 0.0f);
        EXPECT_EQ(child->damping.x, 0.8f);
    }
    // Each child takes six draws, in the launch order, one child after the other.
    EXPECT_EQ(pieces[0]->velocity.z, static_cast<float>(r[0] % 100 - 30));
    EXPECT_EQ(pieces[0]->velocity.x, static_cast<float>(r[2] % 60 - 30));
    EXPECT_NEAR(pieces[0]->spin.x, (r[5] % 100) * 0.1f - 5.0f, 1e-5);
    EXPECT_EQ(pieces[1]->velocity.z, static_cast<float>(r[6] % 100 - 30));
    EXPECT_NEAR(pieces[1]->spin.z, (r[9] % 100) * 0.1f - 5.0f, 1e-5);

    // Land every flyer: 4 of generation 2, then 8 of generation 3.
    for (int generation = 2; generation <= 3; ++generation) {
        for (Piece* p : pieces)
            p->resting = true;
        EXPECT_EQ(Step(), "");
        EXPECT_EQ(static_cast<int>(pieces.size()), 1 << generation);
        EXPECT_EQ(CountGeneration(generation), 1 << generation);
        EXPECT_NEAR(pieces[0]->backCorner.x - pieces[0]->frontCorner.x, 40.96f / (1 << generation),
                    1e-4);
    }
    // Generation 3 lands: its 16 children are made (with all their draws) and
    // removed in the same step; the list is empty and a fresh set is cut.
    for (Piece* p : pieces)
        p->resting = true;
    const uint32_t seed = 2024;
    const std::vector<int> after = Peek(seed, 16 * 6 + 1);
    EXPECT_EQ(Step(), "All are done.!\n");
    ASSERT_EQ(pieces.size(), 475u);
    EXPECT_EQ(CountGeneration(0), 475);
    EXPECT_EQ(livePieceCount, 475) << "the 16 were destroyed again";
    EXPECT_EQ(NextRandom(), after.back());
}

TEST_F(Explode, ChildrenFollowAllOlderPiecesGroupedByParent)
{
    Settings.genChildren = 3;
    pieces.push_back(Landed(0, 100, 0));
    pieces.push_back(Flying(5, 5, 5));
    pieces.push_back(Landed(2, 200, 0));
    pieces.push_back(Landed(3, 300, 0)); // its children would be generation 4
    Step();
    ASSERT_EQ(pieces.size(), 7u);
    EXPECT_EQ(pieces[0]->velocity.x, 5.0f); // the flyer keeps its place at the front
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(pieces[i]->position.x, 100.0f);
        EXPECT_EQ(pieces[i]->generation, 1);
    }
    for (int i = 4; i <= 6; ++i) {
        EXPECT_EQ(pieces[i]->position.x, 200.0f);
        EXPECT_EQ(pieces[i]->generation, 3);
    }
}

TEST_F(Explode, NoChildrenWhenTheCountIsNotAboveZero)
{
    for (int count : {0, -5}) {
        Settings.genChildren = count;
        pieces.push_back(Landed(0, 1, 1));
        pieces.push_back(Flying(0, 0, 0.5f));
        EXPECT_EQ(Step(), "");
        ASSERT_EQ(pieces.size(), 1u);
        ClearPieces();
    }
}

TEST_F(Explode, AnEmptyListRestartsTheCycleWithAFreshSet)
{
    Settings.genChildren = 0;
    BuildPieces();
    // Run a whole cycle as the frame does: move every piece, then step.
    int frames = 0;
    std::string output;
    while (output.empty() && frames < 10000) {
        for (Piece* p : pieces)
            MovePiece(p);
        output = Step();
        ++frames;
    }
    EXPECT_EQ(output, "All are done.!\n");
    EXPECT_GT(frames, 475); // about one launch per frame, then the flight
    ASSERT_EQ(pieces.size(), 475u);
    EXPECT_EQ(livePieceCount, 475);
    for (const Piece* p : pieces)
        ASSERT_TRUE(p->resting && !p->launched);
}

TEST_F(Explode, ZeroOrInvalidDivisionsMakeNoPieceAndRestartEveryFrame)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float bad[][2] = {{0, 19}, {25, 0}, {-3, 19}, {25, -1}, {nan, 19}, {25, nan}};
    for (const auto& divisions : bad) {
        Settings.x_div = divisions[0];
        Settings.y_div = divisions[1];
        BuildPieces();
        EXPECT_TRUE(pieces.empty()) << divisions[0] << " x " << divisions[1];
    }
    Settings.x_div = 0;
    Settings.y_div = 19;
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(Step(), "All are done.!\n");
        EXPECT_TRUE(pieces.empty());
    }
    // A huge column count with no rows must not walk the columns.
    Settings.x_div = 3e9f;
    Settings.y_div = 0;
    BuildPieces();
    EXPECT_TRUE(pieces.empty());
}

TEST_F(Explode, TrailsRecordThePositionBeforeEachMoveInARing)
{
    Settings.useTrails = 1;
    Piece* p = Flying(10, 0, 0);
    p->position.set(0, 7, 0);
    for (int step = 0; step < 17; ++step) {
        const float before = p->position.x;
        MovePiece(p);
        EXPECT_EQ(p->trail[step % 15].x, before);
        EXPECT_EQ(p->trail[step % 15].y, 7.0f);
        EXPECT_EQ(p->trailHead, (step + 1) % 15);
    }
    // Slot 2 onwards still hold the first lap; the head points at the oldest.
    EXPECT_GT(p->trail[1].x, p->trail[2].x);
    EXPECT_LT(p->trail[2].x, p->trail[14].x);

    // With trails off nothing is recorded and the head stays.
    Settings.useTrails = 0;
    const float kept = p->trail[2].x;
    MovePiece(p);
    EXPECT_EQ(p->trailHead, 2);
    EXPECT_EQ(p->trail[2].x, kept);
    delete p;
}

TEST_F(Explode, TrailPointsAreDrawnOldestFirstWithTheirAgeBands)
{
    Piece p;
    TrailPoint order[kTrailLength];
    p.trailHead = 0;
    ASSERT_EQ(TrailDrawOrder(p, order), 14);
    for (int n = 0; n < 14; ++n) {
        EXPECT_EQ(order[n].slot, n + 1);
        EXPECT_EQ(order[n].age, n + 1);
    }
    p.trailHead = 5;
    ASSERT_EQ(TrailDrawOrder(p, order), 14);
    const int slots[14] = {6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 1, 2, 3, 4};
    for (int n = 0; n < 14; ++n) {
        EXPECT_EQ(order[n].slot, slots[n]);
        EXPECT_EQ(order[n].age, n + 1);
    }
    p.trailHead = 14;
    ASSERT_EQ(TrailDrawOrder(p, order), 14);
    EXPECT_EQ(order[0].slot, 0);
    EXPECT_EQ(order[13].slot, 13);

    // Age a picks one of the 66 lists starting at 66 a: 66 ... 989 overall.
    int lowest = 1000, highest = -1;
    for (int round = 0; round < 2000; ++round) {
        for (int age = 1; age <= 14; ++age) {
            const int index = TrailSparkleIndex(age, 15);
            ASSERT_GE(index, 66 * age);
            ASSERT_LT(index, 66 * age + 66);
            lowest = std::min(lowest, index);
            highest = std::max(highest, index);
        }
    }
    EXPECT_EQ(lowest, 66);
    EXPECT_EQ(highest, 989);
}

} // namespace
