#pragma once
// Filter plug-ins, Linux form: every executable file in a folder is a plug-in. It is run
// without a shell as `program INPUT OUTPUT`, where INPUT is the picture saved as a BMP
// file of its own depth and OUTPUT is where the program writes its result (any format
// the program reads). Exit status 0 and a readable OUTPUT mean success; otherwise the
// text the program wrote to its error stream (or to its output stream) is the reason.
#include <chrono>
#include <string>
#include <vector>

#include "imaging/pixel_image.h"

namespace quarvel::imaging {

struct PluginInfo {
    std::string name;  // the file name, shown in the menu
    std::string path;  // full path of the executable
};

struct PluginOutcome {
    bool succeeded = false;
    std::string message;  // why it failed (the program's error text when it gave one)
};

// The executable regular files of `folder`, sorted by name; empty when the folder does
// not exist or cannot be read.
std::vector<PluginInfo> ListPlugins(const std::string& folder);

// Runs `plugin` on `input`. On success `result` holds the picture the program wrote.
// A program still running after `timeLimit` is killed and the run fails.
PluginOutcome RunPluginProgram(const PluginInfo& plugin, const PixelImage& input,
                               std::chrono::milliseconds timeLimit, PixelImage& result);

}  // namespace quarvel::imaging
