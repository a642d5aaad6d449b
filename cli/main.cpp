// quarvel-cli: the program's jobs without windows (batch conversion, scripts, tests).
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <iostream>
#include <new>
#include <stdexcept>
#include <string>

#include "platform/portability.h"
#include "cli_run.h"
#include "output_checks.h"
#include "text/error.h"

namespace {

// What "std::bad_alloc" means to the user: the files given are more than memory holds.
std::string outOfMemoryText() {
    const std::string inputs = quarvel::cli::jobInputsText();
    const std::string what = "the input is too large for the available memory";
    return inputs.empty() ? what : inputs + ": " + what;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quarvel::cli;
    quarvel::platform::ReturnLargeBlocksToSystem();
    CLI::App app{"Quarvel command line: turns pictures into CNC machining data.", "quarvel-cli"};
    app.set_version_flag("--version", std::string("quarvel-cli ") + QUARVEL_VERSION);
    app.require_subcommand(0, 1);
    app.footer("Run 'quarvel-cli COMMAND --help' for the options of one command.");

    CliRun run;
    addImageCommands(app, run);
    addReliefCommands(app, run);
    addContourCommands(app, run);
    addDncCommands(app, run);
    addPreviewCommands(app, run);
    addMachineCommands(app, run);
    installInterruptHandler();

    try {
        app.parse(argc, argv);
        if (app.get_subcommands().empty()) {
            std::cout << app.help();
            return kExitOk;
        }
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    } catch (const quarvel::InvalidInput& e) {
        std::cerr << "error: " << e.what() << "\n";
        return kExitUsage;
    } catch (const quarvel::Error& e) {
        std::cerr << "error: " << e.what() << "\n";
        return kExitFailure;
    } catch (const std::bad_alloc&) {
        std::cerr << "error: " << outOfMemoryText() << "\n";
        return kExitFailure;
    } catch (const std::length_error&) {
        std::cerr << "error: " << outOfMemoryText() << "\n";
        return kExitFailure;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << "\n";
        return kExitFailure;
    }
    return run.exitCode;
}
