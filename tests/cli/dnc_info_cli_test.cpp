// The dnc-info command end to end, through the built quarvel-cli.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

struct Result {
    int status = -1;
    std::string output;
};

Result run(const std::string& arguments) {
    Result result;
    std::ostringstream command;
    command << QUARVEL_CLI_PATH << " " << arguments << " 2>&1";
    FILE* pipe = ::popen(command.str().c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

class DncInfoCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("quarvel_dnc_info_cli_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& text) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    std::filesystem::path dir_;
};

// Rapid up .5, rapid over 5, plunge 1.5 (from .5 to -1), a clockwise half circle of
// radius 1 (length pi), a feed move of 2; one line with an unknown word, one with a
// number that does not convert.
TEST_F(DncInfoCommand, PrintsCountsBoundsLengthsAndLinesNotUnderstood) {
    const std::string file = write("part.nc",
                                   "(part)\nG90 F20\nG0 Z0.5\nX3 Y4 (over)\nG1 Z-1\n"
                                   "G2 X5 Y4 I1 J0\nG1 X5 Y2 A1\nX1,5\n");
    const Result r = run("dnc-info " + file);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output,
              "lines: 8\n"
              "rapid moves: 2\n"
              "feed moves: 3\n"
              "arcs: 1 (clockwise 1, counter-clockwise 0)\n"
              "feed changes: 1\n"
              "moves before a motion word: 0\n"
              "minX: 0.0000\nmaxX: 5.0000\nminY: 0.0000\nmaxY: 5.0000\n"
              "minZ: -1.0000\nmaxZ: 0.5000\nspanY: 5.0000\nspanX: 5.0000\n"
              "feed length: 6.6416\n"
              "rapid length: 5.5000\n"
              "lines not understood: 2\n"
              "  at lines: 7 8\n");
}

TEST_F(DncInfoCommand, FailuresGiveTheirExitCodes) {
    const Result missing = run("dnc-info " + (dir_ / "missing.nc").string());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("missing.nc"), std::string::npos) << missing.output;
    EXPECT_EQ(run("dnc-info " + dir_.string()).status, 1);
    EXPECT_EQ(run("dnc-info").status, 2);
}

}  // namespace
