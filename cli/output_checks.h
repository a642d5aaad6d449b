#pragma once
// Checks of a command's files made before its job runs, so that nothing is computed for
// an output that cannot be written and no input is ever overwritten by its own result.
#include <string>
#include <vector>

namespace quarvel::cli {

// Remembers `inputs` for messages about them, then, when `output` is not empty, throws
// InvalidInput when it is the same file as an input (through links too), and IoError when
// its folder is missing, not a folder, or not writable. An existing output that is not a
// plain file (a device, a pipe) is written in place and need only be writable itself.
void checkJobFiles(const std::vector<std::string>& inputs, const std::string& output = {});

// The inputs of the running command, joined for a message ("a.dxf, b.bmp").
std::string jobInputsText();

}  // namespace quarvel::cli
