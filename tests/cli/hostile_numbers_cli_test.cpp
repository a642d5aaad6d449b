// Hostile numbers through the built quarvel-cli: mesh corners near the largest double,
// values that overflow, vanish or endanger the machine, options that would multiply
// the output beyond memory, and pictures too small for a job. Each case checks the
// exit code, the message, the files left in the folder and that the old output is
// intact.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "support/cli_shell.h"

namespace {

namespace fs = std::filesystem;

using Result = quarvel::test::ShellResult;

Result shell(const std::string& line) { return quarvel::test::runShell(line); }

std::string readText(const fs::path& path) { return quarvel::test::readFileText(path); }

void put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A 24-bit picture of dark discs on white: one closed ring per disc at any depth.
std::string discsBmp(int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::string b(54 + static_cast<std::size_t>(stride) * height, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int dx = x % 40 - 20, dy = y % 40 - 20;
            const int level = dx * dx + dy * dy < 150 ? 0 : 255;
            for (int c = 0; c < 3; ++c)
                b[54 + static_cast<std::size_t>(y) * stride + x * 3 + c] = static_cast<char>(level);
        }
    }
    return b;
}

// Three faces whose corners lie at +-e: each slice gives one region.
std::string farMeshDxf(const std::string& e) {
    const auto face = [](const std::string& a, const std::string& b, const std::string& c) {
        const std::string corners[4][3] = {
            {"-" + a, "-" + a, "0"}, {b, "-" + a, "1"}, {b, c, "2"}, {b, c, "2"}};
        std::string text = "0\n3DFACE\n";
        for (int k = 0; k < 4; ++k)
            for (int axis = 0; axis < 3; ++axis)
                text += std::to_string(10 * (axis + 1) + k) + "\n" + corners[k][axis] + "\n";
        return text;
    };
    return "0\nSECTION\n2\nENTITIES\n" + face(e, e, e) + face(e, "0", "0") + face("0", e, "-" + e) +
           "0\nEOF\n";
}

class HostileNumbersCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("quarvel_numbers_cli_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        write("old.out", kOld);
    }
    void TearDown() override { fs::remove_all(dir_); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    std::size_t fileCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    Result run(const std::string& line) const {
        return shell("cd '" + dir_.string() + "' && " + line);
    }
    // The job is refused with `message`; the old output and the folder are untouched.
    void expectRefused(const std::string& line, int status, const std::string& message,
                       std::size_t files) const {
        const Result r = run(line);
        EXPECT_EQ(r.status, status) << line << "\n" << r.output;
        EXPECT_NE(r.output.find(message), std::string::npos) << line << "\n" << r.output;
        EXPECT_EQ(readText(dir_ / "old.out"), kOld) << line;
        EXPECT_EQ(fileCount(), files) << line;
    }
    static constexpr const char* kOld = "old output";
    fs::path dir_;
};

// The search for the cutting order once spun for ever on such a file; the guard of a
// killed run makes a failure visible instead of a hung test.
TEST_F(HostileNumbersCli, FarMeshCornersNeitherHangNorWriteNonFiniteNumbers) {
    for (const char* e : {"1e155", "1e307"}) {
        write("far.dxf", farMeshDxf(e));
        const Result r = run("timeout -s KILL 60 $CLI contours far.dxf -o far.dnc --style single");
        EXPECT_EQ(r.status, 0) << e << "\n" << r.output;
        const std::string text = readText(dir_ / "far.dnc");
        EXPECT_NE(text.find("G01 Z"), std::string::npos) << e;
        EXPECT_EQ(text.find("nan"), std::string::npos) << e;
        EXPECT_EQ(text.find("inf"), std::string::npos) << e;
    }
    write("huge.dxf", farMeshDxf("1e308"));
    expectRefused("$CLI contours huge.dxf -o huge.dnc --style single", 1,
                  "error: huge.dxf: the mesh is too large: its extents do not fit in a finite "
                  "number",
                  4);
}

TEST_F(HostileNumbersCli, UnsafeOrOverflowingValuesAreRefusedBeforeTheJob) {
    write("pic.bmp", discsBmp(80, 60));
    const std::pair<const char*, const char*> refused[] = {
        {"$CLI gcode pic.bmp -o old.out --rapid -.05",
         "error: Rapid Height must not be below 0 (the top of the work)"},
        {"$CLI gcode pic.bmp -o old.out --feed 0", "error: Feedrate must be more than 0"},
        {"$CLI gcode pic.bmp -o old.out --feed 5e6", "error: Feedrate is too large"},
        {"$CLI gcode pic.bmp -o old.out --depth 1e308", "error: Depth is too large"},
        {"$CLI gcode pic.bmp -o old.out --size-x 1 --size-y 5e-324", "error: Size Y is too small"},
        {"$CLI dxf pic.bmp -o old.out --size-x 1e308", "error: Size X is too large"},
        {"$CLI contours pic.bmp -o old.dnc --style single --op-depth .5 --rapid -1",
         "error: Rapid must not be below 0 (the top of the work)"},
        {"$CLI contours pic.bmp -o old.dnc --style single --op-depth .5 --feed 0",
         "error: Feedrate must be more than 0"},
        {"$CLI contours pic.bmp -o old.dnc --style single --op-depth 1e308",
         "error: Op Depth is too large for this Depth"}};
    for (const auto& [line, message] : refused) expectRefused(line, 2, message, 2);
}

TEST_F(HostileNumbersCli, CurveFitBeyondMemoryIsRefusedAtOnce) {
    write("pic.bmp", discsBmp(200, 150));
    // AddressSanitizer reserves more address space for itself than the limit allows.
#if defined(__SANITIZE_ADDRESS__)
    const std::string limit;
#else
    const std::string limit = "ulimit -v 4000000; ";
#endif
    expectRefused(limit +
                      "$CLI contours pic.bmp -o old.dnc --style single --op-depth .5 "
                      "--curve-fit 100000",
                  2, "million points (more than 20 million): choose a smaller Curve Fit", 2);
    const Result fitted =
        run("$CLI contours pic.bmp -o fitted.dnc --style single --op-depth .5 --curve-fit 3");
    EXPECT_EQ(fitted.status, 0) << fitted.output;
}

TEST_F(HostileNumbersCli, PictureOnePixelHighSaysItIsTooSmall) {
    write("line.bmp", discsBmp(300, 1));
    expectRefused("$CLI gcode line.bmp -o old.out", 2,
                  "Size Y must be more than 0: the picture is too small (it needs at least 2 "
                  "pixels in each direction)",
                  2);
}

}  // namespace
