// Loading a DNC file from disk: what is refused before reading, and the path in errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gcode/dnc_reader.h"
#include "text/error.h"

namespace quarvel::gcode {
namespace {

class LoadDncFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("quarvel_dnc_file_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Expects LoadDncFile to throw IoError naming `path`.
    static void expectRefused(const std::filesystem::path& path) {
        NullProgress none;
        try {
            (void)LoadDncFile(path.string(), none);
            ADD_FAILURE() << "read " << path;
        } catch (const IoError& e) {
            EXPECT_EQ(e.path(), path.string());
        }
    }

    std::filesystem::path dir_;
};

TEST_F(LoadDncFileTest, ReadsTheFileAsText) {
    const auto path = dir_ / "part.dnc";
    std::ofstream(path, std::ios::binary) << "F10\r\nG1 X1 Y2\r\n";
    NullProgress none;
    const DncReadResult r = LoadDncFile(path.string(), none);
    EXPECT_EQ(r.lineCount, 2);
    ASSERT_EQ(r.moves.size(), 2u);
    EXPECT_EQ(r.moves[1].y, 2.0);
}

TEST_F(LoadDncFileTest, RefusesMissingFilesFoldersAndOversizedFiles) {
    expectRefused(dir_ / "missing.dnc");
    expectRefused(dir_);
    // Sparse: takes no disk space.
    const auto huge = dir_ / "huge.dnc";
    std::ofstream(huge, std::ios::binary) << "G1 X1\r\n";
    std::filesystem::resize_file(huge, kMaxDncFileBytes + 1);
    expectRefused(huge);
}

}  // namespace
}  // namespace quarvel::gcode
