#include "imaging/plugins.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "imaging/picture_files.h"
#include "text/error.h"

namespace fs = std::filesystem;

namespace quarvel::imaging {

std::vector<PluginInfo> ListPlugins(const std::string& folder) {
    std::vector<PluginInfo> found;
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        if (!it->is_regular_file(ec)) continue;
        if (::access(path.c_str(), X_OK) != 0) continue;
        found.push_back({path.filename().string(), path.string()});
    }
    std::sort(found.begin(), found.end(),
              [](const PluginInfo& a, const PluginInfo& b) { return a.name < b.name; });
    return found;
}

namespace {

// A private folder for one run, removed with everything in it when the run ends.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "quarvel-plugin-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw IoError(pattern, std::string("cannot create folder: ") + std::strerror(errno));
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    fs::path operator/(const char* name) const { return path_ / name; }

private:
    fs::path path_;
};

struct ChildResult {
    bool started = false;
    bool timedOut = false;
    int exitStatus = -1;  // -1 when killed by a signal
    std::string startError;
};

// Runs `argv` with no shell, stdin from /dev/null and stdout+stderr into `messages`, in
// its own process group so that a time-out also stops whatever it started.
ChildResult runChild(const std::vector<std::string>& argv, const std::string& messages,
                     std::chrono::milliseconds timeLimit) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ChildResult result;
    if (rc != 0) {
        result.startError = std::strerror(rc);
        return result;
    }
    result.started = true;
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            result.timedOut = true;
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    return result;
}

std::string trimmedText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.size() > 2000) text.resize(2000);
    const auto last = text.find_last_not_of(" \t\r\n");
    text.erase(last == std::string::npos ? 0 : last + 1);
    return text;
}

PluginOutcome failed(const std::string& why, const std::string& programText) {
    return {false, programText.empty() ? why : why + ": " + programText};
}

}  // namespace

PluginOutcome RunPluginProgram(const PluginInfo& plugin, const PixelImage& input,
                               std::chrono::milliseconds timeLimit, PixelImage& result) {
    try {
        ScratchFolder folder;
        const std::string inPath = (folder / "input.bmp").string();
        const std::string outPath = (folder / "output.bmp").string();
        const std::string messages = (folder / "messages.txt").string();
        WritePicture(input, inPath, kFormatBmp);
        const ChildResult child = runChild({plugin.path, inPath, outPath}, messages, timeLimit);
        const std::string text = trimmedText(messages);
        if (!child.started) return failed(plugin.name + " could not be started", child.startError);
        if (child.timedOut)
            return failed(plugin.name + " was stopped after " +
                              std::to_string(timeLimit.count() / 1000.0).substr(0, 5) + " s",
                          text);
        if (child.exitStatus != 0) {
            const std::string how = child.exitStatus < 0 ? "was killed"
                                                         : "failed with exit status " +
                                                               std::to_string(child.exitStatus);
            return failed(plugin.name + " " + how, text);
        }
        if (!fs::exists(outPath)) return failed(plugin.name + " wrote no picture", text);
        try {
            result = ReadPicture(outPath).image;
        } catch (const IoError& e) {
            return failed(plugin.name + " wrote a picture that cannot be read",
                          e.path() == outPath ? e.reason() : e.what());
        } catch (const Error& e) {
            return failed(plugin.name + " wrote a picture that cannot be read", e.what());
        }
        return {true, {}};
    } catch (const Error& e) {
        return {false, plugin.name + ": " + e.what()};
    }
}

}  // namespace quarvel::imaging
