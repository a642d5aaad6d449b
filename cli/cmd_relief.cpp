#include <CLI/CLI.hpp>

#include "cli_run.h"

namespace quarvel::cli {

void addReliefCommands(CLI::App&, CliRun&) {}

}  // namespace quarvel::cli
