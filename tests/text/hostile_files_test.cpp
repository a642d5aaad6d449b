// Files that are not what a writer or reader expects: long names, devices, full disks,
// pipes and endless streams, and temporary files a signal must clean up.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <functional>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "text/atomic_file.h"
#include "text/error.h"
#include "io/dxf_mesh_reader.h"
#include "text/input_file.h"

namespace quarvel {
namespace {

namespace fs = std::filesystem;

class HostileFilesTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("quarvel-hostile-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::size_t fileCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
    static std::string messageOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const IoError& e) {
            return e.what();
        }
        return "no error";
    }
};

TEST_F(HostileFilesTest, LongestValidNameGetsATemporaryNameWithinTheLimit) {
    const fs::path target = dir / (std::string(NAME_MAX - 4, 'n') + ".dnc");
    std::ofstream(target) << "old";
    AtomicFile file(target.string());
    EXPECT_LE(fs::path(file.temporaryPath()).filename().string().size(), std::size_t{NAME_MAX});
    EXPECT_EQ(fs::path(file.temporaryPath()).parent_path(), dir);
    file.stream() << "new";
    file.commit();
    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(fileCount(), 1u);
}

TEST_F(HostileFilesTest, DevicesAreWrittenInPlaceNeverReplaced) {
    {
        AtomicFile sink("/dev/null");
        EXPECT_TRUE(sink.writesInPlace());
        sink.stream() << "discarded";
        sink.commit();
    }
    struct stat info {};
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST_F(HostileFilesTest, FullDeviceIsReportedAsNoSpaceLeft) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    const std::string message = messageOf([] {
        AtomicFile full("/dev/full");
        full.stream() << std::string(1 << 17, 'x');
        full.commit();
    });
    EXPECT_NE(message.find("/dev/full: cannot write file: no space left on device"),
              std::string::npos)
        << message;
}

TEST_F(HostileFilesTest, SignalCleanupRemovesOpenTemporariesOnly) {
    const fs::path done = dir / "done.dnc";
    {
        AtomicFile committed(done.string());
        committed.stream() << "kept";
        committed.commit();
    }
    const fs::path target = dir / "job.dnc";
    std::ofstream(target) << "old";
    AtomicFile open(target.string());
    open.stream() << "partial";
    open.stream().flush();
    ASSERT_TRUE(fs::exists(open.temporaryPath()));
    AtomicFile::removeTemporariesForSignal();
    EXPECT_FALSE(fs::exists(open.temporaryPath()));
    EXPECT_EQ(read(target), "old");
    EXPECT_EQ(read(done), "kept");
    EXPECT_EQ(fileCount(), 2u);
}

TEST_F(HostileFilesTest, OnlyPlainFilesAreReadAndAtOnce) {
    const fs::path fifo = dir / "pipe.dxf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(messageOf([&] { InputFile f(fifo.string()); }).find("not a plain file"),
              std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_NE(messageOf([] { InputFile f("/dev/zero"); }).find("not a plain file"),
              std::string::npos);
    EXPECT_NE(messageOf([&] { InputFile f(dir.string()); }).find("is a folder"), std::string::npos);
    EXPECT_NE(messageOf([&] { InputFile f((dir / "missing").string()); }).find("no such file"),
              std::string::npos);
}

TEST_F(HostileFilesTest, EndlessStreamIsNeverReadAsAMesh) {
    EXPECT_NE(messageOf([] { io::ReadWholeFile("/dev/zero"); }).find("/dev/zero: is not a plain"),
              std::string::npos);
}

TEST_F(HostileFilesTest, PlainFileIsReadToTheEnd) {
    const fs::path file = dir / "small.dxf";
    std::ofstream(file) << "0\nEOF\n";
    InputFile in(file.string());
    EXPECT_EQ(in.size(), 6u);
    char buffer[16];
    EXPECT_EQ(in.read(buffer, sizeof buffer), 6u);
    EXPECT_EQ(in.read(buffer, sizeof buffer), 0u);
}

}  // namespace
}  // namespace quarvel
