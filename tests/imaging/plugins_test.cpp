// Plug-ins: executables run on the picture with input and output paths.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "imaging/imaging_model.h"

namespace quarvel::imaging {
namespace {

namespace fs = std::filesystem;

class Plugins : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("quarvel-plugins-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        ASSERT_TRUE(model_.LoadImage(std::string(QUARVEL_TEST_DATA) + "/imaging/p4.bmp", 0));
        model_.OnPluginFilterComplete = [this] { ++completions_; };
    }
    void TearDown() override { fs::remove_all(folder_); }

    void addScript(const std::string& name, const std::string& body, bool executable = true) {
        const fs::path path = folder_ / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        ::chmod(path.c_str(), executable ? 0755 : 0644);
    }
    void loadPlugins() {
        model_.SetPluginPathName(folder_.string());
        model_.LoadPlugins();
    }
    std::size_t indexOf(const std::string& name) const {
        for (std::size_t i = 0; i < model_.Plugins().size(); ++i)
            if (model_.Plugins()[i].name == name) return i;
        return model_.Plugins().size();
    }

    fs::path folder_;
    MemoryClipboard clipboard_;
    ImagingModel model_{clipboard_};
    int completions_ = 0;
};

TEST_F(Plugins, ListsOnlyExecutableFilesByName) {
    addScript("b-copy", "cp \"$1\" \"$2\"");
    addScript("a-copy", "cp \"$1\" \"$2\"");
    addScript("notes", "not a program", false);
    fs::create_directories(folder_ / "sub");
    loadPlugins();
    ASSERT_EQ(model_.Plugins().size(), 2u);
    EXPECT_EQ(model_.Plugins()[0].name, "a-copy");
    EXPECT_EQ(model_.Plugins()[1].name, "b-copy");
    model_.SetPluginPathName((folder_ / "missing").string());
    model_.LoadPlugins();
    EXPECT_TRUE(model_.Plugins().empty());
}

TEST_F(Plugins, RoundTripIsOneUndoStep) {
    addScript("copy", "cp \"$1\" \"$2\"");
    loadPlugins();
    const PixelImage before = model_.Picture();
    const PluginOutcome outcome = model_.RunPlugin(indexOf("copy"));
    EXPECT_TRUE(outcome.succeeded) << outcome.message;
    EXPECT_EQ(completions_, 1);
    EXPECT_EQ(model_.UndoCount(), 1);
    EXPECT_EQ(model_.ImageBitCount(), 4);  // the picture travels at its own depth
    EXPECT_EQ(ExpandTo24(model_.Picture()).pixels, ExpandTo24(before).pixels);
}

TEST_F(Plugins, ResultMayBeAnotherPicture) {
    const std::string other = std::string(QUARVEL_TEST_DATA) + "/imaging/rgb.png";
    addScript("swap", "test $# -eq 2 && cp '" + other + "' \"$2\"");
    model_.ResizeImage(0.5);
    loadPlugins();
    EXPECT_TRUE(model_.RunPlugin(0).succeeded);
    EXPECT_EQ(model_.ImageWidth(), 32);
    EXPECT_EQ(model_.ImageBitCount(), 24);
    model_.Undo();
    EXPECT_EQ(model_.ImageWidth(), 16);
}

struct RefusalCase {
    const char* name;
    const char* body;
    const char* reason;
};

TEST_F(Plugins, FailuresKeepThePictureAndGiveTheReason) {
    const RefusalCase cases[] = {
        {"refuses", "echo 'cannot handle 4-bit pictures' >&2; exit 3",
         "cannot handle 4-bit pictures"},
        {"silent", "exit 0", "wrote no picture"},
        {"garbage", "echo nonsense > \"$2\"", "wrote a picture that cannot be read: not a picture"},
        {"slow", "sleep 5; cp \"$1\" \"$2\"", "stopped after"},
    };
    for (const RefusalCase& c : cases) addScript(c.name, c.body);
    loadPlugins();
    const PixelImage before = model_.Picture();
    for (const RefusalCase& c : cases) {
        // Only the slow one meets a short limit; the others have the usual minute.
        const bool slow = std::string(c.name) == "slow";
        model_.SetPluginTimeLimit(std::chrono::milliseconds(slow ? 300 : 60000));
        const PluginOutcome outcome = model_.RunPlugin(indexOf(c.name));
        EXPECT_FALSE(outcome.succeeded) << c.name;
        EXPECT_NE(outcome.message.find(c.reason), std::string::npos)
            << c.name << ": " << outcome.message;
        EXPECT_NE(outcome.message.find(c.name), std::string::npos) << outcome.message;
    }
    EXPECT_EQ(model_.UndoCount(), 0);
    EXPECT_EQ(model_.Picture().pixels, before.pixels);
    EXPECT_EQ(completions_, 4);
    EXPECT_FALSE(model_.RunPlugin(99).succeeded);
}

}  // namespace
}  // namespace quarvel::imaging
