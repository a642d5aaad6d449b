#include <CLI/CLI.hpp>

#include "cli_run.h"

namespace quarvel::cli {

void addContourCommands(CLI::App&, CliRun&) {}

}  // namespace quarvel::cli
