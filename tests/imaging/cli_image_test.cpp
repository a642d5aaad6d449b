// The picture commands of quarvel-cli, run as a user would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct CliResult {
    int exitCode = -1;
    std::string out;
};

CliResult runCli(const std::string& args) {
    const std::string command = std::string(QUARVEL_CLI_PATH) + " " + args + " 2>&1";
    CliResult run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.out += buffer;
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const std::string kData = std::string(QUARVEL_TEST_DATA) + "/imaging/";

TEST(ImageInfoCommand, OneLinePerFileAndFailingExitWhenAnyCannotBeRead) {
    const CliResult ok = runCli("image-info " + kData + "p8.bmp " + kData + "four.gif");
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ok.out, kData + "p8.bmp: BMP 32x24 8-bit 300x300 dpi\n" + kData +
                          "four.gif: GIF 32x24 4-bit 0x0 dpi\n");
    const CliResult bad = runCli("image-info " + kData + "missing.pcx " + kData + "rgb.tif");
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_EQ(bad.out, kData + "missing.pcx: error: no such file\n" + kData +
                           "rgb.tif: TIFF 32x24 24-bit 72x72 dpi\n");
}

TEST(ConvertCommand, FormatFollowsTheOutputExtension) {
    const auto dir = std::filesystem::temp_directory_path() / "quarvel-cli-convert";
    std::filesystem::create_directories(dir);
    const std::string out = (dir / "p4.PCX").string();
    EXPECT_EQ(runCli("convert " + kData + "p4.bmp " + out).exitCode, 0);
    EXPECT_EQ(runCli("image-info " + out).out, out + ": PCX 32x24 4-bit 0x0 dpi\n");
    EXPECT_EQ(runCli("convert " + kData + "p4.bmp " + (dir / "p4.xyz").string()).exitCode, 2);
    EXPECT_EQ(runCli("convert " + kData + "missing.bmp " + out).exitCode, 1);
    std::filesystem::remove_all(dir);
}

}  // namespace
