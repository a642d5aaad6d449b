// Relief commands: a picture becomes a raster G-code file or a DXF 3DFACE surface, set
// up exactly as the surface job dialog would be when opened on the picture.
#include <CLI/CLI.hpp>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "text/creation_stamp.h"
#include "cli_run.h"
#include "machine_options.h"
#include "output_checks.h"
#include "imaging/rgb_load.h"
#include "state/job_state.h"
#include "surface/dxf_surface.h"
#include "surface/raster_dnc.h"
#include "surface/surface_form.h"
#include "surface/surface_jobs.h"
#include "text/error.h"

namespace quarvel::cli {

namespace {

using surface::SurfaceField;

struct ReliefArgs {
    std::string image;
    std::string output;
    std::optional<std::string> sizeX, sizeY, stepX, stepY, depth, depthPerPass, feed, rapid, tool,
        diameter;
    bool noGouge = false;
    MachineArgs machine;
};

// The terminal bar serves as the dialog's gauge and its own bar alike; its label tells
// the stage. Ctrl+C acts as Escape and as the Cancel button.
surface::JobFeedback terminalFeedback(TerminalProgress& terminal) {
    return {terminal, terminal,
            [&terminal](surface::JobStage stage) {
                terminal.setLabel(stage == surface::JobStage::GougeControl ? "Gouge control"
                                  : stage == surface::JobStage::Surface    ? "Surface"
                                                                           : "Writing");
            },
            [&terminal](int pass) { terminal.setLabel("Pass " + std::to_string(pass)); }};
}

// Types the given options into the form in the dialog's field order. Two sizes (or two
// steps) given together are typed with "Keep Aspect Ratio" unchecked, so both stand.
void typeOptions(surface::SurfaceJobForm& form, const ReliefArgs& a) {
    const auto typePair = [&form](SurfaceField first, const std::optional<std::string>& x,
                                  SurfaceField second, const std::optional<std::string>& y) {
        const bool both = x && y;
        if (both) form.setKeepAspectRatio(false);
        if (x) form.type(first, *x);
        if (y) form.type(second, *y);
        if (both) form.setKeepAspectRatio(true);
    };
    typePair(SurfaceField::SizeX, a.sizeX, SurfaceField::SizeY, a.sizeY);
    typePair(SurfaceField::StepX, a.stepX, SurfaceField::StepY, a.stepY);
    const std::pair<SurfaceField, const std::optional<std::string>*> rest[] = {
        {SurfaceField::Depth, &a.depth},   {SurfaceField::DepthPerPass, &a.depthPerPass},
        {SurfaceField::Feedrate, &a.feed}, {SurfaceField::RapidHeight, &a.rapid},
        {SurfaceField::ToolType, &a.tool}, {SurfaceField::Diameter, &a.diameter}};
    for (const auto& [field, value] : rest)
        if (*value) form.type(field, **value);
    if (a.noGouge) form.setUseGougeControl(false);
}

int runRelief(const ReliefArgs& args, JobModeCode jobMode) {
    const machine::MachineJob machineJob = resolveMachine(args.machine);
    checkJobFiles({args.image}, args.output);
    // Only the red byte of each pixel is ever read: the picture goes straight into the grid.
    imaging::RedPicture picture = imaging::LoadRedPicture(args.image);
    const surface::PictureFacts facts{picture.grid.columns, picture.grid.rows, picture.xResDpi,
                                      picture.yResDpi};
    TZGrid grid = jobMode == JobModeCode::DxfSurface ? surface::FramedSurfaceGrid(picture.grid)
                                                     : std::move(picture.grid);
    surface::SurfaceJobForm form(grid.columns, grid.rows, facts, jobMode);
    typeOptions(form, args);
    const surface::SurfaceJobValues job = form.readJobValues();
    const surface::GougeSettings gouge = form.readGouge();
    if (gouge.enabled && !(gouge.diameter > 0.0))
        throw InvalidInput(
            "Diameter must be more than 0 with gouge control on (or use "
            "--no-gouge)");

    TerminalProgress terminal;
    const surface::JobFeedback feedback = terminalFeedback(terminal);
    RunStatus status = RunStatus::Completed;
    if (jobMode == JobModeCode::GCode) {
        const surface::DncFileHead head{CreationStamp(std::time(nullptr)),
                                        std::filesystem::path(args.image).filename().string()};
        const surface::RasterJobEnd end = surface::RunRasterGCodeJobInto(
            grid, job, gouge, head, feedback, args.output, machineJob);
        if (end != surface::RasterJobEnd::Written) status = RunStatus::Cancelled;
    } else {
        status = surface::RunDxfSurfaceJob(grid, job, gouge, args.output, feedback,
                                           surface::CutShortFile::Discard);
    }
    terminal.finish();
    if (status == RunStatus::Cancelled || interruptRequested()) {
        std::cerr << "Process Cancelled...: nothing was written\n";
        return kExitCancelled;
    }
    // The estimate reads the whole program back: only when a machine was named.
    if (jobMode == JobModeCode::GCode && args.machine.machine)
        printRunTime(args.output, machineJob);
    return kExitOk;
}

std::string toolList() {
    std::string names;
    for (std::string_view n : surface::kToolNames) {
        if (!names.empty()) names += ", ";
        names += "\"" + std::string(n) + "\"";
    }
    return names;
}

void addJobOptions(CLI::App* cmd, ReliefArgs& a, bool forGCode) {
    cmd->add_option("IMAGE", a.image, "Picture to read (its red channel gives the heights)")
        ->required();
    cmd->add_option("-o,--output", a.output,
                    forGCode ? "G-code file to write (.dnc)" : "DXF file to write (.dxf)")
        ->required();
    // The dialog's sizes count grid cells, and the DXF grid has a frame of one cell.
    const std::string cells = forGCode ? "pixels - 1" : "pixels + 1";
    cmd->add_option("--size-x", a.sizeX,
                    "Width in units [default: (" + cells +
                        ") / x resolution, 100 pixels per "
                        "unit when the picture has none]; with Keep Aspect Ratio it sets Size Y "
                        "and both steps")
        ->type_name("X");
    cmd->add_option("--size-y", a.sizeY,
                    "Height in units [default: (" + cells +
                        ") / y resolution]; given "
                        "together with --size-x both stand as given")
        ->type_name("Y");
    cmd->add_option("--step-x", a.stepX,
                    "Distance between samples along X [default: 1 / x resolution]; sets "
                    "Step Y, held between one grid cell and Size X")
        ->type_name("S");
    cmd->add_option("--step-y", a.stepY,
                    "Distance between rows along Y [default: 1 / y "
                    "resolution]; sets Step X the same way")
        ->type_name("S");
    cmd->add_option("--depth", a.depth,
                    "Depth of black below white [default: .25]; also "
                    "sets Depth / Pass")
        ->type_name("D");
    cmd->add_option("--depth-per-pass", a.depthPerPass,
                    "Depth of one pass of the G-code [default: .25, or --depth]")
        ->type_name("P");
    cmd->add_option("--feed", a.feed, "Feedrate written to the G-code [default: 10]")
        ->type_name("F");
    cmd->add_option("--rapid", a.rapid, "Height of rapid moves in the G-code [default: .1]")
        ->type_name("R");
    cmd->add_option("--tool", a.tool,
                    "Tool for gouge control: " + toolList() + " [default: \"End Mill\"]")
        ->type_name("NAME")
        ->check(CLI::IsMember(
            {std::string(surface::kToolNames[0]), std::string(surface::kToolNames[1]),
             std::string(surface::kToolNames[2]), std::string(surface::kToolNames[3])}));
    cmd->add_option("--diameter", a.diameter, "Tool diameter in units [default: .125]")
        ->type_name("DIA");
    cmd->add_flag("--no-gouge", a.noGouge,
                  "Do not correct the heights for the tool's shape [default: gouge control on]");
    if (forGCode) addMachineOptions(cmd, a.machine, true);
    cmd->footer(
        "Options are applied in the order listed above, as if typed into the "
        "surface job dialog with \"Keep Aspect Ratio\" checked.");
}

}  // namespace

void addReliefCommands(CLI::App& app, CliRun& run) {
    auto gcode = std::make_shared<ReliefArgs>();
    CLI::App* gcodeCmd = app.add_subcommand(
        "gcode", "Write a layered raster G-code (DNC) file that cuts the picture as a relief.");
    addJobOptions(gcodeCmd, *gcode, true);
    gcodeCmd->callback([gcode, &run] { run.exitCode = runRelief(*gcode, JobModeCode::GCode); });

    auto dxf = std::make_shared<ReliefArgs>();
    CLI::App* dxfCmd =
        app.add_subcommand("dxf", "Write the picture as a DXF surface of 3DFACE entities.");
    addJobOptions(dxfCmd, *dxf, false);
    dxfCmd->callback([dxf, &run] { run.exitCode = runRelief(*dxf, JobModeCode::DxfSurface); });
}

}  // namespace quarvel::cli
