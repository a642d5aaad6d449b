// quarvel-cli: the program's jobs without windows (batch conversion, scripts, tests).
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <iostream>

#include "cli_run.h"
#include "text/error.h"

int main(int argc, char** argv) {
    using namespace quarvel::cli;
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
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << "\n";
        return kExitFailure;
    }
    return run.exitCode;
}
