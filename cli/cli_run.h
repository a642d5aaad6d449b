#pragma once
// What every command of quarvel-cli shares: the exit status, the progress bar on stderr
// and the SIGINT cancel flag.
#include <string>

#include "progress/progress.h"

namespace CLI {
class App;
}

namespace quarvel::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // a file could not be read or written
inline constexpr int kExitUsage = 2;    // bad arguments or job values
inline constexpr int kExitCancelled = 130;

// Progress on stderr, drawn only when stderr is a terminal. The first Ctrl+C sets the
// cancel flag so that the job stops cleanly; a second one ends the program at once.
class TerminalProgress final : public Progress {
public:
    explicit TerminalProgress(std::string label = {});
    ~TerminalProgress() override;
    void setLabel(std::string label) { label_ = std::move(label); }
    void setPosition(int percent) override;
    void pump() override {}
    bool cancelRequested() const override;
    // Ends the bar's line, if one was drawn.
    void finish();

private:
    std::string label_;
    int shown_ = -1;
    bool drawn_ = false;
};

// Installs the SIGINT handler (once).
void installInterruptHandler();
bool interruptRequested();

struct CliRun {
    int exitCode = kExitOk;
};

// Each group of commands registers its subcommands here.
void addImageCommands(CLI::App& app, CliRun& run);
void addReliefCommands(CLI::App& app, CliRun& run);
void addContourCommands(CLI::App& app, CliRun& run);
void addDncCommands(CLI::App& app, CliRun& run);
void addPreviewCommands(CLI::App& app, CliRun& run);
void addMachineCommands(CLI::App& app, CliRun& run);

}  // namespace quarvel::cli
