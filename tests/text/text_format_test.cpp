#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "text/atomic_file.h"
#include "text/error.h"
#include "text/text_format.h"

namespace quarvel {
namespace {

struct FixedCase {
    double value;
    int decimals;
    const char* text;
};

TEST(FixedText, MatchesPrintfRounding) {
    const FixedCase cases[] = {
        {0.0, 4, "0.0000"},
        {1.0, 4, "1.0000"},
        {0.125, 2, "0.12"},
        {0.375, 2, "0.38"},
        {2.5, 0, "2"},
        {3.5, 0, "4"},
        {-0.00001, 4, "-0.0000"},
        {1.00005, 4, "1.0001"},
        {1234567.89, 3, "1234567.890"},
        {0.1 + 0.2, 4, "0.3000"},
        {-12.34565, 4, "-12.3456"},
    };
    for (const auto& c : cases) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.*f", c.decimals, c.value);
        EXPECT_EQ(fixedText(c.value, c.decimals), expected) << c.value;
        EXPECT_EQ(fixedText(c.value, c.decimals), c.text) << c.value;
    }
}

TEST(GeneralText, ShortestPlainDecimalWithoutExponent) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {0.00001, "0.00001"},
        {10.0, "10"},
        {0.1, "0.1"},
        {-2.5, "-2.5"},
        {1.0 / 3.0, "0.333333333333333"},
        {1e20, "100000000000000000000"},
        {123456.75, "123456.75"},
        {0.3, "0.3"},
        {1e-7, "0.0000001"},
        {0.1 + 0.2, "0.3"},
        {2.0 / 3.0, "0.666666666666667"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(generalText(value), text) << value;
}

TEST(NumberText, IgnoresTheLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale here";
    EXPECT_EQ(fixedText(1.5, 4), "1.5000");
    EXPECT_EQ(generalText(0.25), "0.25");
    double v = 0;
    EXPECT_TRUE(parseDouble("2.75", v));
    EXPECT_EQ(v, 2.75);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ParseDouble, WholeFieldOnly) {
    double v = 0;
    EXPECT_TRUE(parseDouble("-1.25", v));
    EXPECT_EQ(v, -1.25);
    EXPECT_TRUE(parseDouble("+3", v));
    EXPECT_EQ(v, 3);
    for (const char* bad : {"", "abc", "1.5x", "1,5", " 2", "+"}) {
        EXPECT_FALSE(parseDouble(bad, v)) << bad;
    }
}

class AtomicFileTest : public ::testing::Test {
protected:
    // One folder per test and process: ctest runs the tests side by side, and one
    // test's clean-up must not remove another's files.
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("quarvel-atomic-" + std::to_string(::getpid()) + "-" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    static std::string read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::size_t fileCount() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                      std::filesystem::directory_iterator()));
    }
};

TEST_F(AtomicFileTest, CommitReplacesTheTargetAndLeavesNothingElse) {
    const auto target = dir / "job.dnc";
    std::ofstream(target) << "old";
    {
        AtomicFile file(target.string());
        file.stream() << "new\r\n";
        EXPECT_EQ(read(target), "old");  // not visible before commit
        file.commit();
    }
    EXPECT_EQ(read(target), "new\r\n");
    EXPECT_EQ(fileCount(), 1u);
}

// Large blocks go to the file without the buffer; they must still land after the small
// writes before them and before the ones after. Every few megabytes the disk is asked to
// start writing, and earlier parts are dropped from the cache once written: none of it
// may lose or move a byte.
TEST_F(AtomicFileTest, SmallAndLargeWritesKeepTheirOrder) {
    const auto target = dir / "big.dnc";
    std::vector<std::string> pieces{"head\r\n"};
    for (int k = 0; k < 5; ++k) {
        std::string large(7 << 20, static_cast<char>('a' + k));
        for (std::size_t i = 0; i < large.size(); i += 997)
            large[i] = static_cast<char>('0' + i % 10);
        pieces.push_back(std::move(large));
        pieces.push_back("mid");
    }
    pieces.push_back(std::string(1 << 16, 'c'));
    pieces.push_back("tail");
    std::string expected;
    {
        AtomicFile file(target.string());
        for (const std::string& piece : pieces) {
            file.stream().write(piece.data(), static_cast<std::streamsize>(piece.size()));
            expected += piece;
        }
        file.commit();
    }
    EXPECT_TRUE(read(target) == expected);
}

TEST_F(AtomicFileTest, AnUncommittedWriteKeepsTheOldFile) {
    const auto target = dir / "job.dnc";
    std::ofstream(target) << "old";
    {
        AtomicFile file(target.string());
        file.stream() << "partial";
    }
    EXPECT_EQ(read(target), "old");
    EXPECT_EQ(fileCount(), 1u);
}

TEST_F(AtomicFileTest, UnwritableFolderIsReportedWithThePath) {
    const auto target = dir / "missing" / "job.dnc";
    try {
        AtomicFile file(target.string());
        FAIL() << "expected IoError";
    } catch (const IoError& e) {
        EXPECT_EQ(e.path(), target.string());
    }
}

TEST_F(AtomicFileTest, ReplacedFileKeepsItsPermissionBits) {
    namespace fs = std::filesystem;
    const auto target = dir / "private.dnc";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    {
        AtomicFile file(target.string());
        file.stream() << "new";
        file.commit();
    }
    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(AtomicFileTest, ChainOfLinksIsFollowedAndKept) {
    namespace fs = std::filesystem;
    fs::create_directories(dir / "real");
    const auto file = dir / "real" / "out.dnc";
    std::ofstream(file) << "old";
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real/out.dnc", dir / "first.dnc");  // relative to its own folder
    fs::create_symlink(dir / "first.dnc", dir / "second.dnc");
    {
        AtomicFile writer((dir / "second.dnc").string());
        EXPECT_EQ(writer.finalPath(), (dir / "first.dnc").parent_path() / "real/out.dnc");
        writer.stream() << "new";
        writer.commit();
    }
    EXPECT_TRUE(fs::is_symlink(dir / "second.dnc"));
    EXPECT_TRUE(fs::is_symlink(dir / "first.dnc"));
    EXPECT_EQ(read(dir / "second.dnc"), "new");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fileCount(), 3u);  // the folder and the two links: no temporary file left
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1);
}

TEST_F(AtomicFileTest, DanglingLinkCreatesTheFileItNames) {
    namespace fs = std::filesystem;
    fs::create_symlink("made.dnc", dir / "link.dnc");
    {
        AtomicFile writer((dir / "link.dnc").string());
        writer.stream() << "new";
        writer.commit();
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.dnc"));
    EXPECT_EQ(read(dir / "made.dnc"), "new");
}

TEST_F(AtomicFileTest, LinkLoopIsAnIoError) {
    namespace fs = std::filesystem;
    fs::create_symlink("b.dnc", dir / "a.dnc");
    fs::create_symlink("a.dnc", dir / "b.dnc");
    EXPECT_THROW(AtomicFile((dir / "a.dnc").string()), IoError);
    EXPECT_EQ(fileCount(), 2u);
}

}  // namespace
}  // namespace quarvel
