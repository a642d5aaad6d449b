// Writing G-code for a machine through the built quarvel-cli, checked by the controllers'
// own readers where they are installed.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string output;
};

// Joined through a stream: GCC 12 warns falsely on chains of string additions.
template <typename... Parts>
std::string cat(const Parts&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

Result shell(const std::string& command) {
    Result result;
    FILE* pipe = ::popen(cat(command, " 2>&1").c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.output.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Everything after the first line (which holds the creation time).
std::string afterFirstLine(const std::string& text) { return text.substr(text.find('\n') + 1); }

const std::string kPicture = std::string(QUARVEL_TEST_DATA) + "/../../samples/dome_q.bmp";
const std::string kTools = std::string(QUARVEL_SHARED_DATA) + "/../tools";

class MachineOptions : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (std::string("quarvel_machines_cli_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "config" / "quarvel" / "machines");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The command line with the user's profile folder inside the test folder.
    Result cli(const std::string& arguments) const {
        return shell(cat("XDG_CONFIG_HOME='", (dir_ / "config").string(), "' ", QUARVEL_CLI_PATH,
                         " ", arguments));
    }
    void writeProfile(const std::string& name, const std::string& text) const {
        std::ofstream(dir_ / "config" / "quarvel" / "machines" / name, std::ios::binary) << text;
    }
    std::string out(const std::string& name) const { return cat("'", (dir_ / name).string(), "'"); }
    Result relief(const std::string& name, const std::string& machine) const {
        return cli(cat("gcode '", kPicture, "' -o ", out(name), " --units mm ", machine));
    }
    Result contours(const std::string& name, const std::string& machine) const {
        return cli(cat("contours '", kPicture, "' -o ", out(name),
                       " --style topography --op-depth .5 --z-step .1 --depth 1 --units mm ",
                       machine));
    }
    fs::path dir_;
};

TEST_F(MachineOptions, PlainIsTheWritersOwnText) {
    ASSERT_EQ(relief("a.dnc", "").status, 0);
    ASSERT_EQ(relief("b.dnc", "--machine plain --spindle-speed 500").status, 0);
    EXPECT_EQ(afterFirstLine(readText(dir_ / "a.dnc")), afterFirstLine(readText(dir_ / "b.dnc")));
    ASSERT_EQ(contours("ca.dnc", "").status, 0);
    ASSERT_EQ(contours("cb.dnc", "--machine plain").status, 0);
    EXPECT_EQ(afterFirstLine(readText(dir_ / "ca.dnc")), afterFirstLine(readText(dir_ / "cb.dnc")));
}

TEST_F(MachineOptions, GrblProgramIsFramedAndEstimated) {
    const Result r = relief("r.nc", "--machine grbl --spindle-speed 9000");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Estimated run time on grbl: "), std::string::npos) << r.output;
    const std::string text = readText(dir_ / "r.nc");
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_NE(text.find(")\n( Estimated run time "), std::string::npos);
    EXPECT_NE(text.find(" on grbl )\nG21\nG90 G94\nG90 T0 F10.0000\nM3 S9000\nG4 P2\n"),
              std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 6), "M5\nM2\n");
}

// Each controller's reader must take both jobs' programs as they are.
TEST_F(MachineOptions, ContourProgramStartsSpindleAtRapidHeight) {
    const Result r = contours("c.dnc", "--machine linuxcnc --spindle-speed 18000");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Estimated run time on linuxcnc: "), std::string::npos) << r.output;
    const std::string text = readText(dir_ / "c.dnc");
    EXPECT_NE(text.find(")\nG17 G21 G40 G49 G54 G80 G90 G94\nG90 T0\nF10\nG00 Z0.25\n"
                        "M3 S18000\nG4 P2\nG00 X"),
              std::string::npos)
        << text.substr(0, 300);
    EXPECT_EQ(text.substr(text.size() - 16), "G00 Z0.25\nM5\nM2\n");
}

TEST_F(MachineOptions, ControllersAcceptTheirPrograms) {
    const bool hasRs274 = fs::exists("/usr/bin/rs274");
    const bool hasGcc = shell("command -v gcc && command -v make").status == 0;
    if (!hasRs274) std::printf("LinuxCNC's rs274 is not installed: its check is skipped\n");
    if (!hasGcc) std::printf("no gcc/make for the GRBL validator: its check is skipped\n");
    for (const char* machine : {"grbl", "linuxcnc", "mach3"}) {
        const std::string arg = std::string("--machine ") + machine;
        const std::string r = std::string("r_") + machine + ".nc";
        const std::string c = std::string("c_") + machine + ".dnc";
        ASSERT_EQ(relief(r, arg).status, 0) << machine;
        ASSERT_EQ(contours(c, arg).status, 0) << machine;
        for (const std::string& file : {r, c}) {
            if (std::string(machine) == "grbl" && hasGcc) {
                const Result v = shell(cat(kTools, "/grbl-validator/validate_grbl.sh ", out(file)));
                EXPECT_EQ(v.status, 0) << v.output;
            } else if (std::string(machine) != "grbl" && hasRs274) {
                const Result v = shell(cat(kTools, "/validate_gcode.sh ", out(file)));
                EXPECT_EQ(v.status, 0) << v.output;
            }
        }
    }
}

TEST_F(MachineOptions, RefusalsExitTwoAndWriteNothing) {
    writeProfile("shop.toml", "base = \"grbl\"\n[limits]\nmax_feed = \"fast\"\n");
    const struct {
        std::string options, message;
    } cases[] = {
        {"--machine fanuc", "unknown machine \"fanuc\""},
        {"--machine grbl --units cm", "--units must be inch or mm, not \"cm\""},
        {"--machine shop", "shop.toml:3: limits.max_feed: must be a number"},
    };
    for (const auto& c : cases) {
        const Result r = cli(cat("gcode '", kPicture, "' -o ", out("x.nc"), " ", c.options));
        EXPECT_EQ(r.status, 2) << c.options;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
        EXPECT_FALSE(fs::exists(dir_ / "x.nc")) << c.options;
        const Result k =
            cli(cat("contours '", kPicture, "' -o ", out("x.dnc"), " --style single ", c.options));
        EXPECT_EQ(k.status, 2) << c.options;
        EXPECT_FALSE(fs::exists(dir_ / "x.dnc")) << c.options;
    }
}

TEST_F(MachineOptions, UserProfilesAreListedUsedAndBadOnesSkipped) {
    writeProfile("router.toml",
                 "base = \"linuxcnc\"\ndescription = \"Shop router\"\ncomments = false\n"
                 "end_block = [\"M5\", \"M30\"]\n");
    writeProfile("broken.toml", "decimals = \"four\"\n");
    const Result list = cli("machines");
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.output.find("grbl  GRBL 1.1"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find(cat("router  Shop router  (.ngc)  [",
                                   (dir_ / "config/quarvel/machines/router.toml").string(), "]")),
              std::string::npos)
        << list.output;
    EXPECT_NE(list.output.find("broken.toml:1: decimals: must be a whole number"),
              std::string::npos);

    const Result r = relief("r.ngc", "--machine router");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("skipped: "), std::string::npos);
    const std::string text = readText(dir_ / "r.ngc");
    EXPECT_EQ(text.rfind("G17 G21 G40 G49 G54 G80 G90 G94\nG90 T0 F10.0000\nM3 S10000\n", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 7), "M5\nM30\n");
}

TEST_F(MachineOptions, DncInfoEstimatesOnlyForAMachine) {
    std::ofstream(dir_ / "p.nc", std::ios::binary) << "G1 X100 F600\n";
    const Result plain = cli(cat("dnc-info ", out("p.nc")));
    EXPECT_EQ(plain.output.find("run time"), std::string::npos);
    const Result grbl = cli(cat("dnc-info ", out("p.nc"), " --machine grbl --units mm"));
    EXPECT_EQ(grbl.status, 0) << grbl.output;
    // 10 mm/s after a 300 mm/s^2 ramp: 10.03 s.
    EXPECT_NE(grbl.output.find("run time on grbl: 0:00:10 (rapids 0:00:00, cutting 0:00:10)"),
              std::string::npos)
        << grbl.output;
}

}  // namespace
