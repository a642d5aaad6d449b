#include "surface/dxf_surface.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "raster/sampling.h"
#include "support/scripted_progress.h"

namespace quarvel::surface {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        if (end == std::string::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

SurfaceJobValues jobFor(const TZGrid& g, double sizeX, double sizeY, double step, double depth,
                        std::int64_t nx, std::int64_t ny) {
    SurfaceJobValues j;
    j.columns = g.columns;
    j.rows = g.rows;
    j.sizeX = sizeX;
    j.sizeY = sizeY;
    j.stepX = step;
    j.stepY = step;
    j.depth = depth;
    j.nx = nx;
    j.ny = ny;
    return j;
}

// A 1 x 1 black picture framed in white: four faces around a peak at (1, 2, 1).
TEST(WriteDxfSurface, BlackPixelGivesFourFacesAroundAPeak) {
    TZGrid grid(3, 3, 255);
    grid.at(1, 1) = 0;
    std::ostringstream out;
    NullProgress bar;
    ASSERT_EQ(WriteDxfSurface(out, grid, jobFor(grid, 3, 3, 1, 1, 2, 3), bar),
              RunStatus::Completed);
    const std::vector<std::string> lines = linesOf(out.str());
    const std::vector<std::string> firstFace{
        "0",      "3DFACE", "10",     "0.0000", "20",     "3.0000", "30",     "0.0000", "11",
        "1.0000", "21",     "3.0000", "31",     "0.0000", "12",     "1.0000", "22",     "2.0000",
        "32",     "1.0000", "13",     "0.0000", "23",     "2.0000", "33",     "0.0000"};
    ASSERT_GE(lines.size(), 26u + 26u * 4 + 4u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 26, lines.begin() + 52), firstFace);
    EXPECT_EQ(lines.size(), 26u + 26u * 4 + 4u);
    const std::vector<std::pair<std::string, std::string>> corners{
        {"0.0000", "3.0000"}, {"1.0000", "3.0000"}, {"0.0000", "2.0000"}, {"1.0000", "2.0000"}};
    for (std::size_t f = 0; f < 4; ++f) {
        EXPECT_EQ(lines[26 + 26 * f + 1], "3DFACE");
        EXPECT_EQ(lines[26 + 26 * f + 3], corners[f].first);
        EXPECT_EQ(lines[26 + 26 * f + 5], corners[f].second);
    }
    EXPECT_EQ(out.str(), readFile(QUARVEL_TEST_DATA "/surface/black_pixel.dxf.expected"));
}

TEST(WriteDxfSurface, OneCellStepsGiveAFacePerGridSquare) {
    const TZGrid grid(6, 5, 255);
    std::ostringstream out;
    NullProgress bar;
    WriteDxfSurface(out, grid, jobFor(grid, 2.5, 3, 0.5, 0.25, 4, 6), bar);
    const std::vector<std::string> lines = linesOf(out.str());
    std::size_t faces = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "3DFACE") ++faces;
        if (lines[i] == "30" || lines[i] == "31" || lines[i] == "32" || lines[i] == "33") {
            EXPECT_EQ(lines[i + 1], "0.0000");  // white lies at Z = 0
        }
    }
    EXPECT_EQ(faces, 4u * 5u);
    EXPECT_EQ(lines[lines.size() - 4], "0");
    EXPECT_EQ(lines.back(), "EOF");
}

TEST(WriteDxfSurface, WideStepsReadCornersAtRoundedCells) {
    TZGrid grid(3, 5, 255);
    for (int c = 0; c < 5; ++c) grid.at(0, c) = static_cast<std::uint8_t>(50 * c);
    std::ostringstream out;
    NullProgress bar;
    // Two cells per step: corners at columns 0, 2 and 4 of row 0, nothing averaged.
    WriteDxfSurface(out, grid, jobFor(grid, 5, 3, 2, 2.55, 1, 1), bar);
    const std::vector<std::string> lines = linesOf(out.str());
    EXPECT_EQ(lines[26 + 7], "2.5500");   // column 0, level 0
    EXPECT_EQ(lines[26 + 13], "1.5500");  // column 2, level 100
    EXPECT_EQ(lines[52 + 13], "0.5500");  // column 4, level 200
}

TEST(WriteDxfSurface, CancelStillEndsWithTheTrailer) {
    const TZGrid grid(42, 3, 255);
    std::ostringstream out;
    test::ScriptedProgress bar(2);
    EXPECT_EQ(WriteDxfSurface(out, grid, jobFor(grid, 3, 42, 1, 1, 2, 42), bar),
              RunStatus::Cancelled);
    // ny = 42: the threshold starts at 2 and grows by 4; reports at rows 3 and 7.
    EXPECT_EQ(bar.positions, (std::vector<int>{7, 16}));
    const std::vector<std::string> lines = linesOf(out.str());
    std::size_t faces = 0;
    for (const std::string& l : lines) faces += l == "3DFACE";
    EXPECT_EQ(faces, 2u * 7u);
    EXPECT_EQ(lines.back(), "EOF");
}

// The frame the command line puts around a picture's levels is the one the sampling of
// the picture's pixels gives the DXF surface job, for a picture and for none.
TEST(FramedSurfaceGrid, SameGridAsSamplingThePixels) {
    const int width = 5, height = 3;
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * height * 3);
    TZGrid levels(height, width);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            const auto red = static_cast<std::uint8_t>(r * 40 + c * 7);
            levels.at(r, c) = red;
            std::uint8_t* pixel = &bgr[(static_cast<std::size_t>(r) * width + c) * 3];
            pixel[0] = 1;  // blue and green never reach the grid
            pixel[1] = 2;
            pixel[2] = red;
        }
    const PixelView24 view{width, height, static_cast<std::size_t>(width) * 3, bgr.data()};
    EXPECT_EQ(FramedSurfaceGrid(levels), SampleHeightGrid(view, JobModeCode::DxfSurface));
    EXPECT_EQ(FramedSurfaceGrid(TZGrid{}),
              SampleHeightGrid(PixelView24{}, JobModeCode::DxfSurface));
}

}  // namespace
}  // namespace quarvel::surface
