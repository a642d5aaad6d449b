// quarvel-cli machines: the machine profiles G-code can be written for.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli_run.h"
#include "machine_files/profile_catalogue.h"
#include "machine_options.h"

namespace quarvel::cli {

namespace {

int listMachines() {
    const std::string folder = userMachinesFolder();
    const machine::ProfileCatalogue catalogue = machine::LoadProfileCatalogue(folder);
    for (const machine::ProfileEntry& e : catalogue.entries) {
        std::cout << e.profile.name << "  " << e.profile.description << "  (" << e.profile.extension
                  << ")  [" << e.source << "]\n";
    }
    for (const machine::ProfileProblem& p : catalogue.problems)
        std::cerr << "warning: machine profile skipped: " << p.message << "\n";
    std::cout << "User profiles are read from " << folder << "\n";
    return kExitOk;
}

}  // namespace

void addMachineCommands(CLI::App& app, CliRun& run) {
    CLI::App* cmd = app.add_subcommand(
        "machines", "List the machine profiles G-code can be written for, with their source");
    cmd->callback([&run] { run.exitCode = listMachines(); });
}

}  // namespace quarvel::cli
