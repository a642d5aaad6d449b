// The contours and mesh-info commands end to end, through the built quarvel-cli.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

// Joins text pieces (a stream, because chains of string additions trip a false warning
// of GCC 12).
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

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ContoursCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("quarvel_contours_cli_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        writeHillMesh();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // A round hill 2 high on a 12 x 12 grid of quadrilateral faces, CR LF lines.
    void writeHillMesh() {
        std::ofstream out(mesh(), std::ios::binary);
        const auto z = [](int x, int y) {
            return std::max(0.0, 2.05 - std::hypot(x - 6.0, y - 6.0) / 3);
        };
        out << "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
        for (int i = 0; i < 12; ++i) {
            for (int j = 0; j < 12; ++j) {
                const int xs[4] = {i, i + 1, i + 1, i}, ys[4] = {j, j, j + 1, j + 1};
                out << "0\r\n3DFACE\r\n8\r\n0\r\n";
                for (int k = 0; k < 4; ++k)
                    out << 10 + k << "\r\n"
                        << xs[k] << "\r\n"
                        << 20 + k << "\r\n"
                        << ys[k] << "\r\n"
                        << 30 + k << "\r\n"
                        << z(xs[k], ys[k]) << "\r\n";
            }
        }
        out << "0\r\nENDSEC\r\n0\r\nEOF\r\n";
    }

    std::string mesh() const { return (dir_ / "hill (v2).dxf").string(); }
    std::string quoted(const std::string& name) const {
        return cat("'", (dir_ / name).string(), "'");
    }
    std::filesystem::path dir_;
};

TEST_F(ContoursCommand, MeshToDncNamesTheMeshAndUsesTheDefaultOpDepth) {
    const Result r = run(
        cat("contours '", mesh(), "' -o ", quoted("out.dnc"), " --style single --cut-depth 0.1"));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("1 Regions Created..."), std::string::npos) << r.output;
    const std::string text = readText(dir_ / "out.dnc");
    EXPECT_NE(text.find(" From hill [v2].dxf)\r\nG90 T0\r\nF10\r\nG00 Z0.25\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\nG01 Z-0.1\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 11), "G00 Z0.25\r\n");
}

TEST_F(ContoursCommand, TopographyWithMultipleDepthsToDxfPolylines) {
    const Result r = run(cat("contours '", mesh(), "' -o ", quoted("out.dxf"),
                             " --style topography --z-step 0.5 --op-depth 1.5 --multiple-depths"));
    ASSERT_EQ(r.status, 0) << r.output;
    const std::string text = readText(dir_ / "out.dxf");
    for (const char* depth : {"30\r\n0.5000\r\n", "30\r\n1.0000\r\n", "30\r\n1.5000\r\n"})
        EXPECT_NE(text.find(depth), std::string::npos) << depth;
    const std::string tail = "0\r\nENDSEC\r\n0\r\nEOF\r\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(ContoursCommand, DncIsAcceptedByTheInterpreter) {
    const std::string tool = cat(QUARVEL_SHARED_DATA, "/../tools/validate_gcode.sh");
    if (!std::filesystem::exists("/usr/bin/rs274") || !std::filesystem::exists(tool))
        GTEST_SKIP() << "LinuxCNC's rs274 is not installed";
    ASSERT_EQ(run(cat("contours '", mesh(), "' -o ", quoted("v.dnc"),
                      " --style topography --z-step 0.25 --op-depth 2 --curve-fit 3 --reduce 2 "
                      "--filter 3"))
                  .status,
              0);
    // The program has no end code by design; every block must still be accepted.
    const std::string command =
        cat("sh '", tool, "' --allow-missing-end ", quoted("v.dnc"), " > /dev/null 2>&1");
    EXPECT_EQ(std::system(command.c_str()), 0);
}

// A 24-bit BMP of overlapping waves, large enough for the facet list to be built in
// bands and sorted in parts on several threads.
void writeWaveBmp(const std::filesystem::path& path, int w, int h) {
    const int stride = (3 * w + 3) / 4 * 4;
    const auto put32 = [](std::string& s, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) s.push_back(static_cast<char>(v >> (8 * k)));
    };
    std::string file = "BM";
    put32(file, static_cast<std::uint32_t>(54 + stride * h));
    put32(file, 0);
    put32(file, 54);
    put32(file, 40);
    put32(file, static_cast<std::uint32_t>(w));
    put32(file, static_cast<std::uint32_t>(h));
    put32(file, 1 | 24 << 16);
    for (int k = 0; k < 6; ++k) put32(file, 0);
    for (int y = 0; y < h; ++y) {
        std::string row(static_cast<std::size_t>(stride), '\0');
        for (int x = 0; x < w; ++x) {
            const double v = 127.5 + 60 * std::sin(x * 0.13) * std::cos(y * 0.11) +
                             60 * std::sin((x + 2 * y) * 0.031);
            row.replace(static_cast<std::size_t>(3 * x), 3, 3,
                        static_cast<char>(std::lround(std::clamp(v, 0.0, 255.0))));
        }
        file += row;
    }
    std::ofstream(path, std::ios::binary) << file;
}

// Everything after the first line, which holds the time of writing.
std::string afterFirstLine(const std::string& text) { return text.substr(text.find('\n') + 1); }

TEST_F(ContoursCommand, PictureTopographyIsTheSameFileForOneAndFourThreads) {
    writeWaveBmp(dir_ / "waves.bmp", 420, 330);
    for (const char* extension : {"dxf", "dnc"}) {
        std::string texts[2];
        int k = 0;
        for (const char* threads : {"1", "4"}) {
            const std::string out = cat("t", threads, ".", extension);
            const Result r = run(cat("contours ", quoted("waves.bmp"), " -o ", quoted(out),
                                     " --style topography --op-depth 1 --z-step 0.04 --depth 1 "
                                     "--multiple-depths --reduce 2 --curve-fit 2 --threads ",
                                     threads));
            ASSERT_EQ(r.status, 0) << r.output;
            texts[k++] = afterFirstLine(readText(dir_ / out));
        }
        EXPECT_GT(texts[0].size(), 100000u) << extension;
        EXPECT_TRUE(texts[0] == texts[1]) << extension;
    }
}

TEST_F(ContoursCommand, BadValuesAreUsageErrorsAndWriteNothing) {
    EXPECT_EQ(run(cat("contours '", mesh(), "' -o ", quoted("out.txt"), " --style single")).status,
              2);
    EXPECT_EQ(run(cat("contours '", mesh(), "' -o ", quoted("out.dnc"),
                      " --style topography --z-step -1 --op-depth 1"))
                  .status,
              2);
    EXPECT_EQ(run(cat("contours '", mesh(), "' -o ", quoted("out.dnc"), " --style spiral")).status,
              2);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out.dnc"));
}

TEST_F(ContoursCommand, NothingAtThatDepthFailsWithoutWriting) {
    const Result r =
        run(cat("contours '", mesh(), "' -o ", quoted("out.dnc"), " --style single --op-depth 9"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("No Regions Created...Check Parameters..."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out.dnc"));
}

TEST_F(ContoursCommand, MeshInfoPrintsCountsAndBounds) {
    const Result r = run(cat("mesh-info '", mesh(), "'"));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("edges: 720\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("maxX: 12\n"), std::string::npos);
    EXPECT_NE(r.output.find("maxZ: 0\n"), std::string::npos);
}

TEST_F(ContoursCommand, BrokenMeshNamesFileAndLine) {
    std::ofstream(dir_ / "bad.dxf", std::ios::binary) << "0\r\n3DFACE\r\n10\r\nabc\r\n";
    const Result r = run(cat("mesh-info ", quoted("bad.dxf")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("bad.dxf:4:"), std::string::npos) << r.output;
}

}  // namespace
