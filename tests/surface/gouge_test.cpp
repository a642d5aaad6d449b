#include "surface/gouge.h"

#include <gtest/gtest.h>

#include <random>

#include "support/plain_gouge.h"
#include "support/scripted_progress.h"

namespace quarvel::surface {
namespace {

using test::plainGougeControl;

TZGrid randomGrid(int rows, int columns, std::mt19937& rng, bool smooth) {
    TZGrid g(rows, columns);
    std::uniform_int_distribution<int> level(0, 255);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            g.at(r, c) = static_cast<std::uint8_t>(
                smooth ? (level(rng) % 16 + (r * 7 + c * 3) % 240) : level(rng));
    return g;
}

TEST(BuildToolMask, BallCentreAndRim) {
    // Depth .25 gives 1024 levels per unit; a .125 ball rises 64 levels at its centre.
    const TToolMask m = BuildToolMask(ToolKind::BallMill, 0.125, 0.01, 0.01, 0.25);
    ASSERT_EQ(m.rows, 13);  // round(12.5 - 1) = 12, even
    ASSERT_EQ(m.columns, 13);
    EXPECT_EQ(m.at(6, 6), 191);
    EXPECT_EQ(m.at(6, 0), 237);  // .06 from the axis: 255 - round(1024 * .0175)
    EXPECT_EQ(m.at(0, 0), 255);  // the corner lies outside the circle
}

struct MaskCase {
    ToolKind kind;
    double diameter;
    double cell;
    int size;
    std::uint8_t centre;
    std::uint8_t besideCentre;
};

class ToolMaskShape : public testing::TestWithParam<MaskCase> {};

TEST_P(ToolMaskShape, SizeCentreAndNeighbour) {
    const MaskCase k = GetParam();
    const TToolMask m = BuildToolMask(k.kind, k.diameter, k.cell, k.cell, 1.0);
    ASSERT_EQ(m.rows, k.size);
    ASSERT_EQ(m.columns, k.size);
    const int mid = k.size / 2;
    EXPECT_EQ(m.at(mid, mid), k.centre);
    if (k.size > 1) {
        EXPECT_EQ(m.at(mid, mid + 1), k.besideCentre);
    }
}

// Depth 1: g = 256 levels per unit.
INSTANTIATE_TEST_SUITE_P(
    Kinds, ToolMaskShape,
    testing::Values(MaskCase{ToolKind::EndMill, 3.0, 1.0, 3, 0, 0},
                    MaskCase{ToolKind::EndMill, 0.5, 1.0, 1, 0, 0},
                    MaskCase{ToolKind::BallMill, 0.5, 1.0, 1, 191, 0},    // 255 - 64
                    MaskCase{ToolKind::V45, 0.5, 0.1, 5, 0, 26},          // round(25.6)
                    MaskCase{ToolKind::V60, 0.5, 0.1, 5, 0, 44},          // round(44.34)
                    MaskCase{ToolKind::BallMill, 0.5, 0.1, 5, 191, 196},  // 255-round(256*.2291)
                    MaskCase{ToolKind::EndMill, 0.35, 0.1, 3, 0, 0}));    // round(2.5)=2

TEST(ToolKindFromName, ListNamesAndOthers) {
    EXPECT_EQ(ToolKindFromName("End Mill"), ToolKind::EndMill);
    EXPECT_EQ(ToolKindFromName("Ball Mill"), ToolKind::BallMill);
    EXPECT_EQ(ToolKindFromName("45 Deg V"), ToolKind::V45);
    EXPECT_EQ(ToolKindFromName("60 Deg V"), ToolKind::V60);
    EXPECT_EQ(ToolKindFromName("ball mill"), ToolKind::EndMill);
    EXPECT_FALSE(ToolKindForListName("Drill").has_value());
}

TEST(ApplyGougeControl, EndMillThreeByThreeIsNeighbourhoodMaximum) {
    TZGrid grid(3, 4, 0);
    grid.at(0, 0) = 50;
    grid.at(2, 3) = 90;
    const TToolMask mask = BuildToolMask(ToolKind::EndMill, 3.0, 1.0, 1.0, 1.0);
    test::ScriptedProgress progress;
    ASSERT_EQ(ApplyGougeControl(grid, mask, progress), RunStatus::Completed);
    const std::vector<std::uint8_t> expected{50, 50, 0,  0,   //
                                             50, 50, 90, 90,  //
                                             0,  0,  90, 90};
    EXPECT_EQ(grid.cells, expected);
    EXPECT_EQ(progress.positions, (std::vector<int>{50, 100}));  // rows 1 and 2 of 0..2
}

TEST(ApplyGougeControl, SingleCellMaskChangesNothing) {
    std::mt19937 rng{1234};
    for (ToolKind kind : {ToolKind::EndMill, ToolKind::BallMill}) {
        TZGrid grid = randomGrid(9, 11, rng, false);
        const TZGrid before = grid;
        NullProgress none;
        ApplyGougeControl(grid, BuildToolMask(kind, 0.4, 1.0, 1.0, 1.0), none);
        EXPECT_EQ(grid, before);
    }
}

TEST(ApplyGougeControl, PlainGridsStayAsTheyAre) {
    const TToolMask mask = BuildToolMask(ToolKind::BallMill, 0.125, 0.01, 0.01, 0.25);
    for (std::uint8_t level : {0, 77, 255}) {
        TZGrid grid(20, 30, level);
        NullProgress none;
        ApplyGougeControl(grid, mask, none);
        EXPECT_EQ(grid, TZGrid(20, 30, level));
    }
}

struct RandomCase {
    ToolKind kind;
    double diameter;
    double cellX;
    double cellY;
    double depth;
    int rows;
    int columns;
    bool smooth;
};

class GougeMatchesPlainLoop : public testing::TestWithParam<RandomCase> {};

TEST_P(GougeMatchesPlainLoop, ByteForByte) {
    const RandomCase k = GetParam();
    std::mt19937 rng{1234};
    for (int round = 0; round < 3; ++round) {
        TZGrid grid = randomGrid(k.rows, k.columns, rng, k.smooth);
        const TToolMask mask = BuildToolMask(k.kind, k.diameter, k.cellX, k.cellY, k.depth);
        const TZGrid expected = plainGougeControl(grid, mask);
        NullProgress none;
        ASSERT_EQ(ApplyGougeControl(grid, mask, none), RunStatus::Completed);
        EXPECT_EQ(grid, expected) << "round " << round;
    }
}

// Masks larger than the grid, one-row grids, unequal cells, odd and even spans.
INSTANTIATE_TEST_SUITE_P(
    Tools, GougeMatchesPlainLoop,
    testing::Values(RandomCase{ToolKind::EndMill, 0.05, 0.01, 0.01, 0.25, 40, 50, false},
                    RandomCase{ToolKind::BallMill, 0.125, 0.01, 0.01, 0.25, 60, 45, true},
                    RandomCase{ToolKind::BallMill, 0.125, 0.01, 0.013, 0.5, 33, 70, false},
                    RandomCase{ToolKind::V45, 0.1, 0.01, 0.01, 1.0, 50, 50, true},
                    RandomCase{ToolKind::V60, 0.1, 0.007, 0.01, 0.2, 41, 39, false},
                    RandomCase{ToolKind::V45, 0.06, 0.01, 0.01, 0.25, 1, 80, true},
                    RandomCase{ToolKind::BallMill, 0.3, 0.01, 0.01, 0.25, 12, 9, false},
                    RandomCase{ToolKind::EndMill, 0.045, 0.01, 0.01, 0.25, 25, 1, false}));

TEST(ApplyGougeControl, ClippedMaskGivesTheSameGrid) {
    std::mt19937 rng{1234};
    const TZGrid start = randomGrid(7, 9, rng, false);
    const TToolMask full = BuildToolMask(ToolKind::BallMill, 0.4, 0.01, 0.01, 2.0);
    const TToolMask clipped =
        BuildToolMask(ToolKind::BallMill, 0.4, 0.01, 0.01, 2.0, MaskClip{6, 8});
    EXPECT_EQ(clipped.rows, 13);
    EXPECT_EQ(clipped.columns, 17);
    TZGrid a = start;
    TZGrid b = start;
    NullProgress none;
    ApplyGougeControl(a, full, none);
    ApplyGougeControl(b, clipped, none);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, plainGougeControl(start, full));
}

TEST(ApplyGougeControl, CancelLeavesLaterRowsAsSampled) {
    std::mt19937 rng{1234};
    const TZGrid start = randomGrid(21, 15, rng, false);
    const TToolMask mask = BuildToolMask(ToolKind::EndMill, 0.03, 0.01, 0.01, 1.0);
    const TZGrid done = plainGougeControl(start, mask);
    TZGrid grid = start;
    test::ScriptedProgress progress(3);  // N = 20, S = 2: reports at rows 1, 3, 5
    EXPECT_EQ(ApplyGougeControl(grid, mask, progress), RunStatus::Cancelled);
    for (int r = 0; r < grid.rows; ++r)
        for (int c = 0; c < grid.columns; ++c)
            EXPECT_EQ(grid.at(r, c), r < 5 ? done.at(r, c) : start.at(r, c)) << r << "," << c;
}

}  // namespace
}  // namespace quarvel::surface
