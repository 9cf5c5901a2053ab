// The live-piece budget: stored grid sizes and children counts that would ask
// for billions of pieces end at the budget, quickly and quietly.
#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "core/settings.h"
#include "geometry/piece.h"
#include "render/scene.h"

namespace {

class PieceBudget : public ::testing::Test {
  protected:
    void SetUp() override
    {
        SetDefaultSettings();
        screenWidth = 1024;
        screenHeight = 768;
        ClearPieces();
        SeedRandom(7);
    }
    void TearDown() override { ClearPieces(); }

    static Piece* Landed(int generation)
    {
        Piece* p = new Piece;
        p->launched = true;
        p->resting = true;
        p->generation = generation;
        return p;
    }
    static int CountLines(const std::string& text, const std::string& line)
    {
        int n = 0;
        for (size_t at = text.find(line + "\n"); at != std::string::npos;
             at = text.find(line + "\n", at + 1))
            ++n;
        return n;
    }
};

TEST_F(PieceBudget, AHugeGridStopsAtTheBudget)
{
    Settings.x_div = 1e9f;
    Settings.y_div = 1e9f;
    BuildPieces();
    EXPECT_EQ(pieces.size(), kPieceBudget);
    // The cut goes on in the normal order as far as it can.
    EXPECT_LT(pieces[0]->position.y, pieces[1]->position.y);
    EXPECT_EQ(pieces[0]->position.x, pieces[1]->position.x);

    // A second cut into a full list adds nothing.
    BuildPieces();
    EXPECT_EQ(pieces.size(), kPieceBudget);
}

TEST_F(PieceBudget, AHugeChildrenCountFillsTheBudgetWithOneLinePerParent)
{
    Settings.genChildren = 999999999;
    pieces.push_back(Landed(0));
    pieces.push_back(Landed(1));
    ::testing::internal::CaptureStdout();
    ExplodeStep();
    const std::string output = ::testing::internal::GetCapturedStdout();
    // The first parent fills the budget, the second finds it full; both are removed.
    EXPECT_EQ(output, "Bad mem alloc\nBad mem alloc\n");
    ASSERT_EQ(pieces.size(), kPieceBudget - 2);
    EXPECT_EQ(pieces.front()->generation, 1);
    EXPECT_EQ(pieces.back()->generation, 1);

    // Later frames go on with the children that were made; each landing
    // parent makes as many as there is room for.
    for (size_t i = 0; i < 10; ++i)
        pieces[i]->resting = true;
    ::testing::internal::CaptureStdout();
    ExplodeStep();
    const std::string later = ::testing::internal::GetCapturedStdout();
    EXPECT_LE(pieces.size(), kPieceBudget);
    EXPECT_EQ(CountLines(later, "Bad mem alloc"), 10);
    EXPECT_EQ(CountLines(later, "All are done.!"), 0);
    EXPECT_EQ(livePieceCount, static_cast<int64_t>(pieces.size()));
}

TEST_F(PieceBudget, ChildrenBelowTheBudgetAreNotReported)
{
    Settings.genChildren = 4;
    for (int i = 0; i < 100; ++i)
        pieces.push_back(Landed(2));
    ::testing::internal::CaptureStdout();
    ExplodeStep();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(pieces.size(), 400u);
}

} // namespace
