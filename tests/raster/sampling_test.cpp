#include "raster/sampling.h"

#include <gtest/gtest.h>

#include <random>

#include <vector>

#include "support/scripted_progress.h"

namespace quarvel {
namespace {

// A picture given as red bytes only; blue and green carry other values so that a
// sampler reading the wrong byte is caught.
struct RedPicture {
    int width;
    int height;
    std::vector<std::uint8_t> bytes;

    RedPicture(int w, int h, const std::vector<std::uint8_t>& reds, std::size_t padding = 0)
        : width(w), height(h), bytes((3 * static_cast<std::size_t>(w) + padding) * h, 0x5a) {
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                std::uint8_t* px = bytes.data() + r * stride() + 3 * c;
                px[0] = static_cast<std::uint8_t>(255 - reds[r * w + c]);  // blue
                px[1] = 17;                                                // green
                px[2] = reds[r * w + c];                                   // red
            }
    }
    std::size_t stride() const { return bytes.size() / height; }
    PixelView24 view() const { return PixelView24{width, height, stride(), bytes.data()}; }
};

TEST(SampleHeightGrid, GCodeModeKeepsPictureSizeAndReadsRedOnly) {
    const RedPicture pic(3, 2, {0, 10, 20, 30, 40, 255}, 3);
    const TZGrid grid = SampleHeightGrid(pic.view(), JobModeCode::GCode);
    ASSERT_EQ(grid.rows, 2);
    ASSERT_EQ(grid.columns, 3);
    EXPECT_EQ(grid.cells, (std::vector<std::uint8_t>{0, 10, 20, 30, 40, 255}));
}

TEST(SampleHeightGrid, DxfModeAddsWhiteFrame) {
    const RedPicture pic(3, 2, {0, 10, 20, 30, 40, 50}, 1);
    const TZGrid grid = SampleHeightGrid(pic.view(), JobModeCode::DxfSurface);
    ASSERT_EQ(grid.rows, 4);
    ASSERT_EQ(grid.columns, 5);
    const std::vector<std::uint8_t> expected{255, 255, 255, 255, 255,  //
                                             255, 0,   10,  20,  255,  //
                                             255, 30,  40,  50,  255,  //
                                             255, 255, 255, 255, 255};
    EXPECT_EQ(grid.cells, expected);
}

TEST(BuildFacetList, BlackCornerGivesOneTriangle) {
    const RedPicture pic(2, 2, {0, 255, 255, 255});
    const TTriangleArray facets =
        ExpandFacets(BuildFacetList(SampleHeightGrid(pic.view(), JobModeCode::RasterToVector)));
    ASSERT_EQ(facets.size(), 1u);
    EXPECT_EQ(facets[0], (Triangle{{1, 2, 0}, {0, 1, 0}, {0, 2, 255}}));
}

TEST(BuildFacetList, BlueCountsAsBlackAndRedAsWhite) {
    // Pure blue has red byte 0 (level 255), pure red has red byte 255 (level 0).
    std::vector<std::uint8_t> bytes{255, 0, 0, /**/ 0, 0, 255, /**/ 0, 0, 255, /**/ 0, 0, 255};
    const PixelView24 view{2, 2, 6, bytes.data()};
    const TTriangleArray facets =
        ExpandFacets(BuildFacetList(SampleHeightGrid(view, JobModeCode::RasterToVector)));
    ASSERT_EQ(facets.size(), 1u);
    EXPECT_EQ(facets[0].p3, (Vertex3{0, 2, 255}));
}

struct FacetCountCase {
    int width;
    int height;
    std::size_t expected;
};

class FacetCount : public testing::TestWithParam<FacetCountCase> {};

// A picture whose every pixel differs from its neighbours keeps both triangles of every
// square; one pixel wide or high gives none.
TEST_P(FacetCount, CheckerboardKeepsEverySquare) {
    const auto [w, h, expected] = GetParam();
    std::vector<std::uint8_t> reds(static_cast<std::size_t>(w) * h);
    for (int i = 0; i < w * h; ++i)
        reds[i] = static_cast<std::uint8_t>(((i % w) + i / w) % 2 * 200);
    const RedPicture pic(w, h, reds);
    const TTriangleArray facets =
        ExpandFacets(BuildFacetList(SampleHeightGrid(pic.view(), JobModeCode::RasterToVector)));
    EXPECT_EQ(facets.size(), expected);
    for (const Triangle& t : facets) {
        EXPECT_LE(t.p1.z, t.p2.z);
        EXPECT_LE(t.p2.z, t.p3.z);
        EXPECT_LT(t.p1.z, t.p3.z);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FacetCount,
                         testing::Values(FacetCountCase{1, 5, 0}, FacetCountCase{5, 1, 0},
                                         FacetCountCase{2, 2, 2}, FacetCountCase{4, 3, 12},
                                         FacetCountCase{80, 90, 2 * 79 * 89}));

// The list is allocated at its counted size: a mix of level and sloped squares must
// keep exactly the sloped triangles, and no room to spare.
TEST(BuildFacetList, ListHoldsExactlyTheSlopedTriangles) {
    std::mt19937 rng{1234};
    std::uniform_int_distribution<int> level(0, 2);
    std::vector<std::uint8_t> reds(40 * 30);
    for (auto& r : reds) r = static_cast<std::uint8_t>(level(rng) * 100);
    const RedPicture pic(40, 30, reds);
    const TZGrid grid = SampleHeightGrid(pic.view(), JobModeCode::RasterToVector);
    std::size_t sloped = 0;
    for (int r = 0; r + 1 < grid.rows; ++r)
        for (int c = 0; c + 1 < grid.columns; ++c) {
            const int tl = grid.row(r)[c], tr = grid.row(r)[c + 1];
            const int bl = grid.row(r + 1)[c], br = grid.row(r + 1)[c + 1];
            sloped += !(tl == tr && tr == bl);
            sloped += !(br == tr && tr == bl);
        }
    const PictureFacetList facets = BuildFacetList(grid);
    EXPECT_EQ(facets.size(), sloped);
    EXPECT_EQ(facets.facets.capacity(), sloped);
}

TEST(BuildFacetList, StopGivesAnEmptyList) {
    std::vector<std::uint8_t> reds(200 * 200);
    for (std::size_t i = 0; i < reds.size(); ++i) reds[i] = static_cast<std::uint8_t>(i % 7 * 30);
    const RedPicture pic(200, 200, reds);
    const TZGrid grid = SampleHeightGrid(pic.view(), JobModeCode::RasterToVector);
    quarvel::test::ScriptedProgress stopAtFirstPump(1);
    EXPECT_TRUE(BuildFacetList(grid, stopAtFirstPump).empty());
    EXPECT_EQ(stopAtFirstPump.pumps, 1);
    quarvel::test::ScriptedProgress never;
    EXPECT_FALSE(BuildFacetList(grid, never).empty());
    EXPECT_GE(never.positions.size(), 10u);  // about ten gauge steps over the rows
    EXPECT_LE(never.positions.size(), 11u);
}

TEST(BuildFacetList, PlainPictureGivesNothing) {
    const RedPicture pic(4, 4, std::vector<std::uint8_t>(16, 128));
    EXPECT_TRUE(BuildFacetList(SampleHeightGrid(pic.view(), JobModeCode::RasterToVector)).empty());
}

// A picture of few levels has large level areas and sloped edges between them: the list
// is made once at exactly its final size, and holds every sloped triangle.
TEST(BuildFacetList, IsMadeAtItsFinalSize) {
    std::mt19937 rng{1234};
    std::uniform_int_distribution<int> level(0, 2);
    std::vector<std::uint8_t> red(60 * 40);
    for (auto& v : red) v = static_cast<std::uint8_t>(100 * level(rng));
    const RedPicture pic(60, 40, red);
    const PictureFacetList facets =
        BuildFacetList(SampleHeightGrid(pic.view(), JobModeCode::RasterToVector));
    EXPECT_EQ(facets.facets.capacity(), facets.size());
    EXPECT_GT(facets.size(), 0u);
    EXPECT_LT(facets.size(), 2u * 59 * 39);
}

}  // namespace
}  // namespace quarvel
