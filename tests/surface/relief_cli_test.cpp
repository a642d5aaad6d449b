// The gcode and dxf commands end to end: files, golden outputs and exit statuses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::string kData = QUARVEL_TEST_DATA "/surface/";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first line holds the date and time of the run.
std::string withoutStamp(const std::string& dnc, const std::string& source) {
    const std::size_t end = dnc.find("\r\n");
    return "( Created STAMP From " + source + ")" + dnc.substr(end);
}

class ReliefCli : public testing::Test {
protected:
    void SetUp() override {
        // One folder per test: ctest runs the tests of this program side by side.
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            std::string("relief_cli_") + info->test_suite_name() + "_" + info->name();
        for (char& ch : name)
            if (ch == '/') ch = '_';
        dir_ = fs::path(testing::TempDir()) / name;
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    // Runs quarvel-cli with `args`; returns its exit status.
    int run(const std::string& args) const {
        const std::string command = std::string("'") + QUARVEL_CLI_PATH + "' " + args + " >'" +
                                    (dir_ / "stdout").string() + "' 2>'" +
                                    (dir_ / "stderr").string() + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string out(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

TEST_F(ReliefCli, WorkedExampleMatchesGolden) {
    ASSERT_EQ(run("gcode '" + kData + "worked_4x4.bmp' -o '" + out("w.dnc") +
                  "' --size-x 4 --depth .25 --rapid .1 --no-gouge"),
              0);
    EXPECT_EQ(withoutStamp(readFile(out("w.dnc")), "worked_4x4.bmp"),
              readFile(kData + "worked_example.dnc.expected"));
}

TEST_F(ReliefCli, GougedReliefMatchesGolden) {
    ASSERT_EQ(run("gcode '" + kData + "relief_12x9.bmp' -o '" + out("g.dnc") +
                  "' --size-x 1.2 --depth .2 --depth-per-pass .08 --tool 'Ball Mill' "
                  "--diameter .1"),
              0);
    EXPECT_EQ(withoutStamp(readFile(out("g.dnc")), "relief_12x9.bmp"),
              readFile(kData + "gouged_relief.dnc.expected"));
}

TEST_F(ReliefCli, SourceNameHasNoParentheses) {
    fs::copy_file(kData + "worked_4x4.bmp", dir_ / "pic (1).bmp");
    ASSERT_EQ(run("gcode '" + out("pic (1).bmp") + "' -o '" + out("p.dnc") + "' --no-gouge"), 0);
    const std::string text = readFile(out("p.dnc"));
    EXPECT_NE(text.find(" From pic [1].bmp)\r\n"), std::string::npos);
}

TEST_F(ReliefCli, BothSizesStandWhenGivenTogether) {
    // A 4 x 4 picture stretched to 8 x 2: without both standing Size Y would be 8.
    ASSERT_EQ(run("dxf '" + kData + "worked_4x4.bmp' -o '" + out("s.dxf") +
                  "' --size-x 8 --size-y 2 --no-gouge"),
              0);
    const std::string text = readFile(out("s.dxf"));
    EXPECT_NE(text.find("20\r\n2.0000\r\n"), std::string::npos);
    EXPECT_EQ(text.find("20\r\n8.0000\r\n"), std::string::npos);
}

struct Refusal {
    const char* options;
    int status;
};
class ReliefCliRefuses : public ReliefCli, public testing::WithParamInterface<Refusal> {};

TEST_P(ReliefCliRefuses, WithStatusAndNoFile) {
    const std::string target = out("r.dnc");
    EXPECT_EQ(run("gcode '" + kData + "worked_4x4.bmp' -o '" + target + "' " + GetParam().options),
              GetParam().status);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2)
        << "only the captured stdout and stderr";
}

INSTANTIATE_TEST_SUITE_P(Cases, ReliefCliRefuses,
                         testing::Values(Refusal{"--depth 0", 2}, Refusal{"--depth-per-pass -1", 2},
                                         Refusal{"--size-x 0", 2}, Refusal{"--size-y -2", 2},
                                         Refusal{"--diameter 0", 2},
                                         Refusal{"--diameter -.1 --no-gouge", 2},
                                         Refusal{"--step-x 100", 2}, Refusal{"--tool Drill", 2},
                                         Refusal{"--feed fast", 2}));

TEST_F(ReliefCli, ZeroDiameterIsFineWithoutGougeControl) {
    EXPECT_EQ(run("gcode '" + kData + "worked_4x4.bmp' -o '" + out("z.dnc") +
                  "' --diameter 0 --no-gouge"),
              0);
    EXPECT_TRUE(fs::exists(out("z.dnc")));
}

TEST_F(ReliefCli, UnreadablePictureFails) {
    EXPECT_EQ(run("dxf '" + out("missing.bmp") + "' -o '" + out("m.dxf") + "'"), 1);
    EXPECT_FALSE(fs::exists(out("m.dxf")));
}

// A real DXF reader loads the surface and its audit finds nothing (when ezdxf is here).
// The framed grid is 14 x 11 cells over .13 x .10 units; steps of .01 are a little more
// than one cell, so each row of faces ends one cell early: 12 x 9 faces.
TEST_F(ReliefCli, DxfSurfacePassesReaderAudit) {
    if (std::system("/usr/bin/python3 -c 'import ezdxf' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 with ezdxf is not installed";
    ASSERT_EQ(run("dxf '" + kData + "relief_12x9.bmp' -o '" + out("a.dxf") +
                  "' --tool '60 Deg V' --diameter .05"),
              0);
    const std::string script =
        "import ezdxf,sys\n"
        "d=ezdxf.readfile(sys.argv[1])\n"
        "a=d.audit()\n"
        "n=len(d.modelspace().query('3DFACE'))\n"
        "sys.exit(0 if not a.has_errors and n==12*9 else 1)\n";
    std::ofstream(out("audit.py")) << script;
    EXPECT_EQ(
        std::system(("/usr/bin/python3 '" + out("audit.py") + "' '" + out("a.dxf") + "'").c_str()),
        0);
}

TEST_F(ReliefCli, WritingThroughALinkKeepsTheLinkAndThePrivateFile) {
    std::ofstream(out("out.dnc")) << "old";
    fs::permissions(out("out.dnc"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("out.dnc", out("link.dnc"));
    ASSERT_EQ(run("gcode '" + kData + "worked_4x4.bmp' -o '" + out("link.dnc") +
                  "' --size-x 4 --depth .25 --rapid .1 --no-gouge"),
              0);
    EXPECT_TRUE(fs::is_symlink(out("link.dnc")));
    EXPECT_EQ(fs::status(out("out.dnc")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(withoutStamp(readFile(out("out.dnc")), "worked_4x4.bmp"),
              readFile(kData + "worked_example.dnc.expected"));
}

}  // namespace
