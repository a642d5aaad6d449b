#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Result {
    int status = -1;
    std::string output;
};

Result runCli(const std::string& arguments) {
    Result result;
    const std::string command = std::string(QUARVEL_CLI_PATH) + " " + arguments + " 2>&1";
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

TEST(CliFrame, HelpAndVersionSucceed) {
    const auto help = runCli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("quarvel-cli"), std::string::npos);
    const auto version = runCli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.output.find("2.0"), std::string::npos);
}

TEST(CliFrame, UnknownCommandsAndOptionsAreUsageErrors) {
    EXPECT_EQ(runCli("no-such-command").status, 2);
    EXPECT_EQ(runCli("--no-such-option").status, 2);
}

}  // namespace
