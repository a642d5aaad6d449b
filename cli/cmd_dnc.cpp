// quarvel-cli dnc-info: what the DNC viewer reads from a G-code file, as text.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "cli_run.h"
#include "machine/run_time_estimate.h"
#include "machine_options.h"
#include "output_checks.h"
#include "gcode/dnc_reader.h"
#include "gcode/dnc_summary.h"
#include "text/text_format.h"

namespace quarvel::cli {

namespace {

void printBounds(const MeshBounds& b) {
    const auto line = [](const char* name, double value) {
        std::cout << name << ": " << fixedText(value, 4) << "\n";
    };
    line("minX", b.minX);
    line("maxX", b.maxX);
    line("minY", b.minY);
    line("maxY", b.maxY);
    line("minZ", b.minZ);
    line("maxZ", b.maxZ);
    line("spanY", b.spanY);
    line("spanX", b.spanX);
}

void printSummary(const gcode::DncSummary& s) {
    std::cout << "rapid moves: " << s.rapidMoves << "\n"
              << "feed moves: " << s.feedMoves << "\n"
              << "arcs: " << s.clockwiseArcs + s.counterClockwiseArcs << " (clockwise "
              << s.clockwiseArcs << ", counter-clockwise " << s.counterClockwiseArcs << ")\n"
              << "feed changes: " << s.feedChanges << "\n"
              << "moves before a motion word: " << s.movesBeforeMotion << "\n";
}

void printNotUnderstood(const gcode::DncReadResult& read) {
    std::cout << "lines not understood: " << read.notUnderstoodCount << "\n";
    if (read.linesNotUnderstood.empty()) return;
    std::cout << "  at lines:";
    for (const std::int64_t lineNo : read.linesNotUnderstood) std::cout << " " << lineNo;
    if (read.notUnderstoodCount > static_cast<std::int64_t>(read.linesNotUnderstood.size()))
        std::cout << " (first " << read.linesNotUnderstood.size() << " shown)";
    std::cout << "\n";
}

int runDncInfo(const std::string& path, const MachineArgs& machineArgs) {
    const machine::MachineJob machineJob = resolveMachine(machineArgs);
    checkJobFiles({path});
    TerminalProgress progress("dnc-info");
    const gcode::DncReadResult read = gcode::LoadDncFile(path, progress);
    progress.finish();
    if (read.status == RunStatus::Cancelled) {
        std::cerr << "Process Cancelled...\n";
        return kExitCancelled;
    }
    const gcode::DncSummary summary = gcode::SummariseDnc(read);
    std::cout << "lines: " << read.lineCount << "\n";
    printSummary(summary);
    printBounds(read.bounds);
    std::cout << "feed length: " << fixedText(summary.feedLength, 4) << "\n"
              << "rapid length: " << fixedText(summary.rapidLength, 4) << "\n";
    printNotUnderstood(read);
    if (machineArgs.machine) {
        const machine::RunTimeEstimate e =
            machine::EstimateRunTime(read, machineJob.profile.limits, machineJob.units);
        std::cout << "run time on " << machineJob.profile.name << ": "
                  << machine::DurationText(e.totalSeconds()) << " (rapids "
                  << machine::DurationText(e.rapidSeconds) << ", cutting "
                  << machine::DurationText(e.feedSeconds) << ")\n";
    }
    return kExitOk;
}

}  // namespace

void addDncCommands(CLI::App& app, CliRun& run) {
    auto path = std::make_shared<std::string>();
    auto machineArgs = std::make_shared<MachineArgs>();
    CLI::App* cmd = app.add_subcommand(
        "dnc-info",
        "Read a DNC (G-code) file as the viewer does and print its move counts, extents, "
        "path lengths (arcs included) and the lines not understood");
    cmd->add_option("FILE", *path, "G-code file")->required();
    addMachineOptions(cmd, *machineArgs, false);
    cmd->callback([path, machineArgs, &run] { run.exitCode = runDncInfo(*path, *machineArgs); });
}

}  // namespace quarvel::cli
