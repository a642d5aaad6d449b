#pragma once
// The options that choose the machine a G-code file is written for, shared by the
// commands that write or read G-code.
#include <optional>
#include <string>

#include "machine/program_frame.h"

namespace CLI {
class App;
}

namespace quarvel::cli {

struct MachineArgs {
    std::optional<std::string> machine;
    std::string units = "inch";
    std::optional<double> spindleSpeed;
};

// --machine NAME, --units inch|mm and, when `forWriting`, --spindle-speed RPM.
void addMachineOptions(CLI::App* cmd, MachineArgs& args, bool forWriting);

// The machine the options name: the built-in "plain" without --machine, else the
// profile of that name (user files included; bad ones are reported on stderr and
// skipped). Throws InvalidInput for an unknown or bad profile and for units other than
// inch and mm.
machine::MachineJob resolveMachine(const MachineArgs& args);

// Reads the G-code file back and prints how long it runs on the job's machine. Prints
// nothing when the output is not a regular file (a device such as /dev/null).
void printRunTime(const std::string& path, const machine::MachineJob& job);

// The folder of the user's profile files.
std::string userMachinesFolder();

}  // namespace quarvel::cli
