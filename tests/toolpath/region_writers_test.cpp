#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "engine/region_list.h"
#include "support/scripted_progress.h"
#include "text/finite_output.h"
#include "text/error.h"
#include "toolpath/polyline_dxf_writer.h"
#include "toolpath/region_dnc_writer.h"
#include "toolpath/probe_search.h"
#include "toolpath/tool_path_order.h"

namespace quarvel::toolpath {
namespace {

using engine::TRegion;
using engine::TRegionArray;

TRegion region(const std::vector<Point2>& points, double depth) {
    TRegion r;
    r.depth = depth;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        r.segments.push_back(
            engine::makeSegment(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y));
    return r;
}

std::string golden(const std::string& name) {
    std::ifstream in(std::string(QUARVEL_TEST_DATA) + "/toolpath/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string dncText(const TRegionArray& regions, const RegionDncHeader& header) {
    std::ostringstream out;
    WriteRegionDnc(out, OrderToolPaths(regions), header);
    return out.str();
}

const std::vector<Point2> kSquare = {{1, 2}, {3, 2}, {3, 4}, {1, 4}, {1, 2}};

TEST(RegionDnc, SquareExampleMatchesGoldenFile) {
    const TRegionArray regions = {engine::placeholderRegion(), region(kSquare, 0.1)};
    const RegionDncHeader header{"2026-01-02 03:04:05", "square.dxf", 10, 0.25};
    EXPECT_EQ(dncText(regions, header), golden("square_region.dnc.expected"));
}

TEST(RegionDnc, OrderedRegionsMatchGoldenFile) {
    const TRegionArray regions = {engine::placeholderRegion(), region({{5, 5}, {6, 5}}, 0.0),
                                  TRegion{}, region({{0, 1}, {0, 2}, {1, 2}, {1, 1}, {0, 1}}, 0.25),
                                  region({{10, 0}, {11, 0}}, 0.5)};
    const RegionDncHeader header{"2026-01-02 03:04:05", DncSourceName("/work/part (copy).dxf"),
                                 12.5, 0.00001};
    EXPECT_EQ(dncText(regions, header), golden("ordered_regions.dnc.expected"));
}

TEST(OrderToolPaths, EqualDistancesKeepListOrder) {
    const TRegionArray regions = {engine::placeholderRegion(), region({{2, 0}, {3, 0}}, 1),
                                  region({{0, 2}, {0, 3}}, 2)};
    const TOutRegionArray ordered = OrderToolPaths(regions);
    ASSERT_EQ(ordered.size(), 3u);
    EXPECT_TRUE(ordered[0].segments.empty());
    EXPECT_EQ(ordered[1].depth, 1.0);
    EXPECT_EQ(ordered[2].depth, 2.0);
}

TEST(OrderToolPaths, ProjectionBeyondSecondEndIsMeasuredToFirstEnd) {
    // From (0,0): a long probe pointing at the start point ends at (0.5, 0) but is
    // measured to its first end (10, 0); the short probe at (3, 0) wins.
    const TRegionArray regions = {engine::placeholderRegion(), region({{10, 0}, {0.5, 0}}, 1),
                                  region({{3, 0}, {3, 1}}, 2), region({{0, 0}, {0, -1}}, 3)};
    const TOutRegionArray ordered = OrderToolPaths(regions);
    ASSERT_EQ(ordered.size(), 4u);
    EXPECT_EQ(ordered[1].depth, 3.0);
    EXPECT_EQ(ordered[2].depth, 2.0);
    EXPECT_EQ(ordered[3].depth, 1.0);
}

TEST(SquaredDistanceToProbe, MeasuresPerpendicularInsideTheSegment) {
    const engine::TMyEntity probe = engine::makeSegment(0, 0, 4, 0);
    EXPECT_EQ(squaredDistanceToProbe({2, 3}, probe), 9.0);
    EXPECT_EQ(squaredDistanceToProbe({-1, 1}, probe), 2.0);
    EXPECT_EQ(squaredDistanceToProbe({5, 1}, probe), 26.0);
    EXPECT_EQ(squaredDistanceToProbe({1, 1}, engine::makeSegment(0, 0, 0, 0)), 2.0);
}

TEST(RegionDnc, DepthsAndFeedUseShortestTextAndCoordinatesFourDecimals) {
    const TRegionArray regions = {engine::placeholderRegion(),
                                  region({{1.5, 0}, {2, -0.00001}}, 0.25)};
    const std::string text = dncText(regions, {"t", "n", 10, 1e-5});
    EXPECT_NE(text.find("\r\nF10\r\n"), std::string::npos);
    EXPECT_NE(text.find("G00 X1.5000 Y0.0000\r\nG01 Z-0.25\r\nX2.0000 Y-0.0000\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("e-"), std::string::npos);
}

TEST(RegionDnc, NoRegionWritesHeaderOnly) {
    const std::string text = dncText({engine::placeholderRegion()}, {"t", "n", 10, 0.25});
    EXPECT_EQ(text, "( Created t From n)\r\nG90 T0\r\nF10\r\nG00 Z0.25\r\n");
}

TEST(DncSourceName, RemovesFoldersAndBracketsParentheses) {
    EXPECT_EQ(DncSourceName("/home/me/(old) mesh.dxf"), "[old] mesh.dxf");
    EXPECT_EQ(DncSourceName("Vector Conversion"), "Vector Conversion");
}

TEST(PolylineDxf, SquareMatchesGoldenFile) {
    const TRegionArray regions = {engine::placeholderRegion(), region(kSquare, 0.5), TRegion{},
                                  region({{-1.5, 0}, {0, 0.25}}, 2)};
    std::ostringstream out;
    WritePolylineDxf(out, regions);
    EXPECT_EQ(out.str(), golden("square_polyline.dxf.expected"));
}

class WriterFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("quarvel_writers_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(WriterFiles, UnwritableTargetIsReportedAndExistingFileReplacedWhole) {
    const TRegionArray regions = {engine::placeholderRegion(), region(kSquare, 0.1)};
    EXPECT_THROW(SaveRegionDnc((dir_ / "absent" / "x.dnc").string(), regions, {}), IoError);
    const auto target = dir_ / "kept.dxf";
    std::ofstream(target) << "old text that is longer than nothing";
    SavePolylineDxf(target.string(), regions);
    std::ostringstream expected;
    WritePolylineDxf(expected, regions);
    EXPECT_EQ(fileText(target), expected.str());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

// A number that is not finite has no text a machine reads: the save fails and the
// old file stays as it was, with no temporary file left beside it.
TEST_F(WriterFiles, NonFiniteNumbersFailTheSaveAndKeepTheOldFile) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const TRegionArray badPoint = {engine::placeholderRegion(), region(kSquare, 0.1),
                                   region({{0, 0}, {nan, 1}, {2, 0}}, 0.1)};
    const TRegionArray badDepth = {engine::placeholderRegion(), region(kSquare, inf)};
    const auto target = dir_ / "kept.dnc";
    const std::string old = "old text";
    std::ofstream(target) << old;
    EXPECT_THROW(SaveRegionDnc(target.string(), badPoint, {}), NonFiniteOutput);
    EXPECT_THROW(SaveRegionDnc(target.string(), badDepth, {}), NonFiniteOutput);
    RegionDncHeader badFeed;
    badFeed.feedRate = nan;
    EXPECT_THROW(
        SaveRegionDnc(target.string(), {engine::placeholderRegion(), region(kSquare, 1)}, badFeed),
        NonFiniteOutput);
    EXPECT_THROW(SavePolylineDxf(target.string(), badPoint), NonFiniteOutput);
    EXPECT_THROW(SavePolylineDxf(target.string(), badDepth), NonFiniteOutput);
    EXPECT_EQ(fileText(target), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

// Enough segments for several blocks of text, so that the writer pumps between them.
TRegionArray longRegions() {
    std::vector<Point2> zigzag;
    for (int k = 0; k < 200000; ++k) zigzag.push_back({k * 0.001, (k % 2) * 0.5});
    return {engine::placeholderRegion(), region(zigzag, 0.1), region(kSquare, 0.2)};
}

TEST_F(WriterFiles, StopDuringOrderingOrWritingLeavesTheOldFile) {
    const TRegionArray regions = longRegions();
    const auto target = dir_ / "kept.dnc";
    std::ofstream(target) << "old text";
    for (int k = 1; k <= 3; ++k) {
        quarvel::test::ScriptedProgress dnc(k);
        EXPECT_EQ(SaveRegionDnc(target.string(), regions, {}, {}, dnc), RunStatus::Cancelled) << k;
        quarvel::test::ScriptedProgress dxf(k);
        EXPECT_EQ(SavePolylineDxf(target.string(), regions, dxf), RunStatus::Cancelled) << k;
    }
    EXPECT_EQ(fileText(target), "old text");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
    quarvel::test::ScriptedProgress never;
    EXPECT_EQ(SaveRegionDnc(target.string(), regions, {}, {}, never), RunStatus::Completed);
    EXPECT_GT(never.pumps, 3);  // the ordering and every block of text
}

TEST_F(WriterFiles, PolylineFilePassesTheDxfAuditor) {
    if (std::system("/usr/bin/python3 -c 'import ezdxf' > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ezdxf is not installed";
    const std::string tool = std::string(QUARVEL_SHARED_DATA) + "/../tools/validate_dxf.sh";
    if (!std::filesystem::exists(tool)) GTEST_SKIP() << "no validator at " << tool;
    const std::string path = (dir_ / "regions.dxf").string();
    SavePolylineDxf(path, {engine::placeholderRegion(), region(kSquare, 0.5),
                           region({{0, 0}, {1, 1}, {2, 0}}, 0.25)});
    const std::string command = "bash '" + tool + "' '" + path + "' > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
}  // namespace quarvel::toolpath
