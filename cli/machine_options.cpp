#include "machine_options.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "gcode/dnc_reader.h"
#include "machine/run_time_estimate.h"
#include "machine_files/profile_catalogue.h"
#include "text/error.h"

namespace quarvel::cli {

void addMachineOptions(CLI::App* cmd, MachineArgs& args, bool forWriting) {
    cmd->add_option("--machine", args.machine,
                    "Controller the G-code is written for (see 'quarvel-cli machines') "
                    "[default: plain]")
        ->type_name("NAME");
    cmd->add_option("--units", args.units,
                    "Units the job's numbers are in: inch or mm; chooses G20 or G21, numbers "
                    "are not converted [default: inch]")
        ->type_name("UNITS");
    if (forWriting)
        cmd->add_option("--spindle-speed", args.spindleSpeed,
                        "Spindle speed in rpm for the machine's M3 [default: the machine's]")
            ->type_name("RPM")
            ->check(CLI::PositiveNumber);
}

std::string userMachinesFolder() {
    return machine::DefaultMachinesFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

machine::MachineJob resolveMachine(const MachineArgs& args) {
    machine::MachineJob job;
    const auto units = machine::ParseJobUnits(args.units);
    if (!units) throw InvalidInput("--units must be inch or mm, not \"" + args.units + "\"");
    job.units = *units;
    job.spindleSpeed = args.spindleSpeed;
    if (!args.machine) return job;
    const machine::ProfileCatalogue catalogue = machine::LoadProfileCatalogue(userMachinesFolder());
    if (const machine::ProfileProblem* bad = catalogue.problemWith(*args.machine))
        throw InvalidInput("machine profile " + bad->message);
    for (const machine::ProfileProblem& p : catalogue.problems)
        std::cerr << "warning: machine profile skipped: " << p.message << "\n";
    const machine::ProfileEntry* entry = catalogue.find(*args.machine);
    if (!entry)
        throw InvalidInput("unknown machine \"" + *args.machine +
                           "\" (see 'quarvel-cli machines')");
    job.profile = entry->profile;
    return job;
}

void printRunTime(const std::string& path, const machine::MachineJob& job) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return;  // a device cannot be read back
    NullProgress quiet;
    const gcode::DncReadResult read = gcode::LoadDncFile(path, quiet);
    machine::RunTimeEstimate estimate =
        machine::EstimateRunTime(read, job.profile.limits, job.units);
    if (job.profile.startsSpindle) estimate.dwellSeconds = job.profile.dwellSeconds;
    std::cout << "Estimated run time on " << job.profile.name << ": "
              << machine::DurationText(estimate.totalSeconds()) << " (rapids "
              << machine::DurationText(estimate.rapidSeconds) << ", cutting "
              << machine::DurationText(estimate.feedSeconds) << ")\n";
}

}  // namespace quarvel::cli
