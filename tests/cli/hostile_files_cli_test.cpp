// Hostile files through the built quarvel-cli: outputs over inputs or devices, missing
// folders, endless or blocking inputs, pictures that declare an enormous size, and jobs
// ended by signals. Each case checks the exit code, the message, the files left in the
// folder and that the old output is intact.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/cli_shell.h"

namespace {

namespace fs = std::filesystem;

template <class... Parts>
std::string cat(const Parts&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

using Result = quarvel::test::ShellResult;

Result shell(const std::string& line) { return quarvel::test::runShell(line); }

std::string readText(const fs::path& path) { return quarvel::test::readFileText(path); }

void put16(std::string& b, std::size_t at, unsigned v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// An 8-bit PCX declaring 65535 x 65535 pixels, with runs of the longest kind after it.
std::string hugePcx(std::size_t bodyBytes) {
    std::string b(128, '\0');
    b[0] = 0x0A;
    b[1] = 5;
    b[2] = 1;
    b[3] = 8;
    put16(b, 8, 65534);
    put16(b, 10, 65534);
    b[65] = 1;
    put16(b, 66, 65535);
    for (std::size_t i = 0; i < bodyBytes / 2; ++i) b += "\xFF\x00";
    return b;
}

// A 24-bit BMP declaring 60000 x 60000 pixels and holding a few.
std::string hugeBmp() {
    std::string b(54 + 64, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, 60000);
    put32(b, 22, 60000);
    put16(b, 26, 1);
    put16(b, 28, 24);
    return b;
}

// A small grey ramp, enough for every job.
std::string rampBmp(int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::string b(54 + static_cast<std::size_t>(stride) * height, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(height));
    put16(b, 26, 1);
    put16(b, 28, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                b[54 + static_cast<std::size_t>(y) * stride + x * 3 + c] =
                    static_cast<char>((x * 7 + y * 3) & 0xFF);
    return b;
}

class HostileFilesCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               cat("quarvel_hostile_cli_", ::getpid(), "_",
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return dir_ / name;
    }
    std::size_t fileCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    std::string in(const std::string& line) const {
        return cat("cd '", dir_.string(), "' && ", line);
    }
    fs::path dir_;
};

TEST_F(HostileFilesCli, OutputThatIsAnInputIsRefusedBeforeTheJob) {
    const std::string picture = rampBmp(20, 12);
    write("pic.bmp", picture);
    const std::string mesh = readText(QUARVEL_TEST_DATA "/fuzz/dxf/quad.dxf");
    write("mesh.dxf", mesh);
    ASSERT_EQ(::link((dir_ / "pic.bmp").c_str(), (dir_ / "hard.bmp").c_str()), 0);
    fs::create_symlink("mesh.dxf", dir_ / "soft.dxf");
    const char* lines[] = {"$CLI gcode pic.bmp -o pic.bmp",
                           "$CLI dxf pic.bmp -o ./hard.bmp",
                           "$CLI convert pic.bmp hard.bmp",
                           "$CLI contours mesh.dxf -o mesh.dxf --style single",
                           "$CLI contours soft.dxf -o mesh.dxf --style single",
                           "$CLI contours mesh.dxf -o soft.dxf --style single"};
    for (const char* line : lines) {
        const Result r = shell(in(line));
        EXPECT_EQ(r.status, 2) << line << "\n" << r.output;
        EXPECT_NE(r.output.find("the output is the input file"), std::string::npos) << r.output;
    }
    EXPECT_EQ(readText(dir_ / "pic.bmp"), picture);
    EXPECT_EQ(readText(dir_ / "mesh.dxf"), mesh);
    EXPECT_EQ(fileCount(), 4u);
}

TEST_F(HostileFilesCli, OutputFolderIsCheckedBeforeTheJob) {
    write("pic.bmp", rampBmp(20, 12));
    write("plain", "not a folder");
    const Result missing = shell(in("$CLI gcode pic.bmp -o nowhere/out.dnc"));
    EXPECT_EQ(missing.status, 1) << missing.output;
    EXPECT_NE(missing.output.find("nowhere/out.dnc: cannot write to folder nowhere"),
              std::string::npos)
        << missing.output;
    const Result notFolder = shell(in("$CLI contours pic.bmp -o plain/out.dnc --style single"));
    EXPECT_EQ(notFolder.status, 1) << notFolder.output;
    EXPECT_NE(notFolder.output.find("plain is not a folder"), std::string::npos)
        << notFolder.output;
    // Nothing was computed: the contour job prints its region count only after running.
    EXPECT_EQ(notFolder.output.find("Region"), std::string::npos) << notFolder.output;
    EXPECT_EQ(fileCount(), 2u);
}

TEST_F(HostileFilesCli, DevicesAreWrittenInPlaceAndAFullOneFails) {
    write("pic.bmp", rampBmp(20, 12));
    const Result null = shell(in("$CLI gcode pic.bmp -o /dev/null"));
    EXPECT_EQ(null.status, 0) << null.output;
    struct stat info {};
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    const Result full = shell(in("$CLI dxf pic.bmp -o /dev/full"));
    EXPECT_EQ(full.status, 1) << full.output;
    EXPECT_NE(full.output.find("no space left on device"), std::string::npos) << full.output;
    EXPECT_EQ(fileCount(), 1u);
}

TEST_F(HostileFilesCli, EndlessAndBlockingInputsAreRefusedAtOnce) {
    ASSERT_EQ(::mkfifo((dir_ / "pipe.dxf").c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    const Result zero = shell("timeout 20 $CLI mesh-info /dev/zero");
    EXPECT_EQ(zero.status, 1) << zero.output;
    EXPECT_NE(zero.output.find("/dev/zero: is not a plain file"), std::string::npos) << zero.output;
    const Result fifo = shell(in("timeout 20 $CLI mesh-info pipe.dxf"));
    EXPECT_EQ(fifo.status, 1) << fifo.output;
    EXPECT_NE(fifo.output.find("pipe.dxf: is not a plain file"), std::string::npos) << fifo.output;
    const Result picture = shell(in("timeout 20 $CLI gcode pipe.dxf -o out.dnc"));
    EXPECT_EQ(picture.status, 1) << picture.output;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_FALSE(fs::exists(dir_ / "out.dnc"));
}

TEST_F(HostileFilesCli, EnormousDeclaredPicturesAreRefusedAtOnce) {
    write("big.pcx", hugePcx(1 << 20));
    write("big.bmp", hugeBmp());
    write("old.dnc", "old");
    // Within 4 GB of address space, as on a small machine. AddressSanitizer reserves far
    // more address space than that for its shadow memory, so its builds run unlimited.
#if defined(__SANITIZE_ADDRESS__)
    const std::string limit;
#else
    const std::string limit = "ulimit -v 4000000; ";
#endif
    const char* jobs[] = {"timeout 60 $CLI image-info big.pcx",
                          "timeout 60 $CLI gcode big.pcx -o old.dnc",
                          "timeout 60 $CLI image-info big.bmp",
                          "timeout 60 $CLI contours big.bmp -o old.dnc --style single"};
    for (const char* job : jobs) {
        const std::string line = limit + job;
        const Result r = shell(in(line));
        EXPECT_EQ(r.status, 1) << line << "\n" << r.output;
        EXPECT_NE(r.output.find("too large"), std::string::npos) << line << "\n" << r.output;
        EXPECT_EQ(r.output.find("bad_alloc"), std::string::npos) << r.output;
    }
    EXPECT_EQ(readText(dir_ / "old.dnc"), "old");
    EXPECT_EQ(fileCount(), 3u);
}

// A relief job stopped by signals while it writes its output.
class SignalledJob : public HostileFilesCli {
protected:
    // Starts the job and waits until its temporary output exists.
    bool startWriting() {
        write("pic.bmp", rampBmp(700, 700));
        write("out.dxf", "old");
        pid_ = ::fork();
        if (pid_ == 0) {
            if (::chdir(dir_.c_str()) != 0) ::_exit(99);
            ::execl(QUARVEL_CLI_PATH, "quarvel-cli", "dxf", "pic.bmp", "-o", "out.dxf",
                    "--no-gouge", static_cast<char*>(nullptr));
            ::_exit(98);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            if (partFiles() > 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
    int partFiles() const {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(dir_))
            if (entry.path().extension() == ".part") ++count;
        return count;
    }
    int waitForEnd() const {
        int raw = 0;
        ::waitpid(pid_, &raw, 0);
        return raw;
    }
    pid_t pid_ = -1;
};

TEST_F(SignalledJob, OneTermOrHangupCancelsLikeCtrlC) {
    for (const int signal : {SIGTERM, SIGHUP}) {
        ASSERT_TRUE(startWriting());
        ::kill(pid_, signal);
        const int raw = waitForEnd();
        ASSERT_TRUE(WIFEXITED(raw)) << "signal " << signal;
        EXPECT_EQ(WEXITSTATUS(raw), 130);
        EXPECT_EQ(partFiles(), 0);
        EXPECT_EQ(readText(dir_ / "out.dxf"), "old");
    }
}

TEST_F(SignalledJob, SecondSignalEndsAtOnceAndLeavesNoTemporaryFile) {
    // Two different signals sent together both arrive (two of one kind may merge into one).
    const std::pair<int, int> pairs[] = {{SIGINT, SIGTERM}, {SIGHUP, SIGINT}};
    for (const auto& [first, second] : pairs) {
        ASSERT_TRUE(startWriting());
        ::kill(pid_, first);
        ::kill(pid_, second);
        const int raw = waitForEnd();
        ASSERT_TRUE(WIFSIGNALED(raw)) << "exit " << WEXITSTATUS(raw);
        // Which of the two counts as the second is the system's choice.
        EXPECT_TRUE(WTERMSIG(raw) == first || WTERMSIG(raw) == second) << WTERMSIG(raw);
        EXPECT_EQ(partFiles(), 0);
        EXPECT_EQ(readText(dir_ / "out.dxf"), "old");
    }
}

}  // namespace
