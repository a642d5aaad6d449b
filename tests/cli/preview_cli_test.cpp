// quarvel-cli preview end to end: pictures of a relief program and of a contour program
// written by the other commands, checked by their colours, and the refused arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "imaging/picture_files.h"
#include "imaging/pixel_image.h"

namespace {

using namespace quarvel;

template <class... Parts>
std::string cat(const Parts&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

struct Result {
    int status = -1;
    std::string output;
};

Result run(const std::string& arguments) {
    Result result;
    const std::string command = cat(QUARVEL_CLI_PATH, " ", arguments, " 2>&1");
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

// Pixels of the rapid and feed colours, and the box holding every pixel that is not white.
struct ColourCounts {
    int blue = 0, green = 0, other = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

ColourCounts countColours(const imaging::PixelImage& picture) {
    const imaging::PixelImage image = imaging::ExpandTo24(picture);
    ColourCounts c;
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = image.row(y);
        for (int x = 0; x < image.width; ++x) {
            const int b = row[3 * x], g = row[3 * x + 1], r = row[3 * x + 2];
            if (r == 255 && g == 255 && b == 255) continue;
            if (r == 0 && g == 0 && b == 255) {
                ++c.blue;
            } else if (r == 0 && g == 128 && b == 0) {
                ++c.green;
            } else {
                ++c.other;
            }
            c.left = std::min(c.left, x);
            c.right = std::max(c.right, x);
            c.top = std::min(c.top, y);
            c.bottom = std::max(c.bottom, y);
        }
    }
    return c;
}

class PreviewCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("quarvel_preview_cli_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string sample() { return cat(QUARVEL_TEST_DATA, "/../../samples/dome_q.bmp"); }

    // The picture of `program` is mostly drawn, inside the picture, in the two colours.
    void expectPlotPicture(const std::string& program, const std::string& options) {
        const Result r = run(cat("preview '", program, "' -o '", path("plot.png"), "' ", options));
        ASSERT_EQ(r.status, 0) << r.output;
        const imaging::DecodedPicture png = imaging::ReadPicture(path("plot.png"));
        EXPECT_EQ(png.format, "PNG");
        ASSERT_EQ(png.image.width, 640);
        ASSERT_EQ(png.image.height, 480);
        const ColourCounts c = countColours(png.image);
        EXPECT_GT(c.blue, 0);
        EXPECT_GT(c.green, 1000);
        EXPECT_EQ(c.other, 0);  // lines are drawn without smoothing
        // The drawing spreads over most of the picture rather than off its edges.
        EXPECT_GT(c.right - c.left, 640 / 2);
        EXPECT_GT(c.bottom - c.top, 480 / 3);
    }

    std::filesystem::path dir_;
};

TEST_F(PreviewCommand, ReliefProgramShowsRapidsAndFeeds) {
    ASSERT_EQ(run(cat("gcode '", sample(), "' -o '", path("relief.dnc"), "'")).status, 0);
    expectPlotPicture(path("relief.dnc"), "--size 640x480");
    expectPlotPicture(path("relief.dnc"), "--size 640x480 --view top");
}

TEST_F(PreviewCommand, TopographyContoursShowRapidsAndFeeds) {
    const Result made = run(cat("contours '", sample(), "' -o '", path("topo.dnc"),
                                "' --style topography --op-depth 0.9 --z-step 0.1 --width 2"));
    ASSERT_EQ(made.status, 0) << made.output;
    expectPlotPicture(path("topo.dnc"), "--size 640x480 --view iso");
}

TEST_F(PreviewCommand, BadArgumentsAndFilesAreRefused) {
    ASSERT_EQ(run(cat("gcode '", sample(), "' -o '", path("relief.dnc"), "'")).status, 0);
    const std::string in = cat("'", path("relief.dnc"), "'");
    EXPECT_EQ(run(cat("preview ", in, " -o '", path("a.png"), "' --view side")).status, 2);
    EXPECT_EQ(run(cat("preview ", in, " -o '", path("a.png"), "' --size 0x10")).status, 2);
    EXPECT_EQ(run(cat("preview ", in, " -o '", path("a.txt"), "'")).status, 2);
    EXPECT_EQ(run(cat("preview '", path("missing.dnc"), "' -o '", path("a.png"), "'")).status, 1);
    EXPECT_FALSE(std::filesystem::exists(path("a.png")));
    EXPECT_FALSE(std::filesystem::exists(path("a.txt")));
}

}  // namespace
