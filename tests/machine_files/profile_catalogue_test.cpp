#include "machine_files/profile_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "text/error.h"

namespace quarvel::machine {
namespace {

namespace fs = std::filesystem;

class ProfileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("quarvel-machines-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string write(const std::string& name, const std::string& text) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    fs::path dir_;
};

TEST_F(ProfileFiles, BaseThenOverridesEveryKind) {
    const std::string path = write("shop.toml",
                                   "base = \"grbl\"\n"
                                   "description = \"Shop router\"\n"
                                   "end_block = [\"M5\", \"M30\"]\n"
                                   "dwell = 4\n"
                                   "dwell_unit = \"milliseconds\"\n"
                                   "line_ending = \"crlf\"\n"
                                   "decimals = 3\n"
                                   "comments = false\n"
                                   "[limits]\n"
                                   "rapid_rate = 8000.5\n"
                                   "acceleration_z = 50\n");
    const MachineProfile p = ReadProfileFile(path);
    EXPECT_EQ(p.name, "shop");
    EXPECT_EQ(p.description, "Shop router");
    EXPECT_TRUE(p.writesUnitsWord);  // from grbl
    EXPECT_EQ(p.startBlock, std::vector<std::string>{"G90 G94"});
    EXPECT_EQ(p.endBlock, (std::vector<std::string>{"M5", "M30"}));
    EXPECT_EQ(p.dwellSeconds, 4.0);
    EXPECT_EQ(p.dwellUnit, DwellUnit::Milliseconds);
    EXPECT_EQ(p.lineEnding, "\r\n");
    EXPECT_EQ(p.decimals, 3);
    EXPECT_FALSE(p.writesComments);
    EXPECT_EQ(p.limits.rapidRate, 8000.5);
    EXPECT_EQ(p.limits.accelerationZ, 50.0);
    EXPECT_EQ(p.limits.accelerationX, FindBuiltInProfile("grbl")->limits.accelerationX);
}

TEST_F(ProfileFiles, FaultsNameFileLineAndKey) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"base = \"grbl\"\n\nspindle_speed = \"fast\"\n", ":3: spindle_speed: must be a number"},
        {"colour = 1\n", ":1: colour: unknown key"},
        {"base = \"fanuc\"\n", ":1: base: no built-in machine \"fanuc\""},
        {"[limits]\nmax_feed = 1\nsped = 2\n", ":3: limits.sped: unknown key"},
        {"line_ending = \"cr\"\n", ":1: line_ending: must be \"lf\" or \"crlf\""},
        {"decimals = 12\n", ": decimals: must be 0 to 6"},
        {"[limits]\nacceleration_x = -5\n", ": acceleration: must be above 0"},
        {"start_block = [\"G90\", 3]\n", ":1: start_block: must be a text"},
        {"decimals = \n", ":1:"},  // not TOML
    };
    for (const auto& c : cases) {
        const std::string path = write("bad.toml", c.text);
        try {
            ReadProfileFile(path);
            ADD_FAILURE() << c.text;
        } catch (const FormatError& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind(path, 0), 0u) << what;
            EXPECT_NE(what.find(c.expected), std::string::npos) << what;
        }
    }
}

TEST_F(ProfileFiles, CatalogueListsBuiltInsThenFilesAndSkipsBadOnes) {
    write("zeta.toml", "base = \"linuxcnc\"\n");
    write("grbl.toml", "base = \"grbl\"\nspindle_speed = 800\n");
    write("broken.toml", "units_word = 3\n");
    write("notes.txt", "not a profile");
    const ProfileCatalogue c = LoadProfileCatalogue(dir_.string());
    std::vector<std::string> names;
    for (const ProfileEntry& e : c.entries) names.push_back(e.profile.name);
    EXPECT_EQ(names, (std::vector<std::string>{"plain", "grbl", "linuxcnc", "mach3", "zeta"}));
    EXPECT_EQ(c.find("grbl")->profile.spindleSpeed, 800.0);
    EXPECT_EQ(c.find("grbl")->source, (dir_ / "grbl.toml").string());
    EXPECT_EQ(c.find("plain")->source, kBuiltInSource);
    ASSERT_EQ(c.problems.size(), 1u);
    EXPECT_EQ(c.problemWith("broken")->message,
              (dir_ / "broken.toml").string() + ":1: units_word: must be true or false");
    EXPECT_EQ(c.find("broken"), nullptr);
}

TEST(LoadProfileCatalogue, MissingFolderGivesBuiltIns) {
    const ProfileCatalogue c = LoadProfileCatalogue("/nonexistent/quarvel/machines");
    EXPECT_EQ(c.entries.size(), BuiltInProfiles().size());
    EXPECT_TRUE(c.problems.empty());
}

TEST(DefaultMachinesFolder, XdgFirstThenHome) {
    EXPECT_EQ(DefaultMachinesFolder("/x/conf", "/home/u"), "/x/conf/quarvel/machines");
    EXPECT_EQ(DefaultMachinesFolder("", "/home/u"), "/home/u/.config/quarvel/machines");
    EXPECT_EQ(DefaultMachinesFolder(nullptr, "/home/u"), "/home/u/.config/quarvel/machines");
}

}  // namespace
}  // namespace quarvel::machine
