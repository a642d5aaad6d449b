// quarvel-cli contours / mesh-info: the Raster to Vector and Import DXF Mesh roads of the
// program without windows, from the input file to region tool paths or polylines.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "text/creation_stamp.h"
#include "cli_run.h"
#include "machine_options.h"
#include "output_checks.h"
#include "engine/mesh_document.h"
#include "engine/mesh_loading.h"
#include "engine/raster_to_vector.h"
#include "engine/region_form.h"
#include "engine/region_run.h"
#include "imaging/rgb_load.h"
#include "state/job_state.h"
#include "text/error.h"
#include "text/text_format.h"
#include "toolpath/polyline_dxf_writer.h"
#include "toolpath/region_dnc_writer.h"

namespace quarvel::cli {

namespace {

// Every value stays text until the dialog's form model reads it, so that the command
// line and the dialog accept and refuse the same things.
struct ContourOptions {
    std::string input;
    std::string output;
    std::string style;
    bool multipleDepths = false;
    std::optional<std::string> opDepth;
    std::string zStep = "0", cutDepth = "0", feed = "10", rapid = ".25";
    std::string width = "1", depth = "1";
    std::optional<std::string> reduce, curveFit, filter;
    MachineArgs machine;
    int threads = 0;  // 0: one per processor
};

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// Import DXF Mesh: the window's own triangles; JobMode 40 for the run.
bool loadMeshRoad(const std::string& path, engine::MeshDocument& mesh, JobState& job,
                  Progress& progress) {
    if (engine::LoadMesh(path, mesh, progress).status == RunStatus::Cancelled) return false;
    job.JobMode = JobModeCode::MeshToolpaths;
    return true;
}

// Raster to Vector: the picture's facet list and a Vector Conversion window.
bool loadPictureRoad(const std::string& path, engine::MeshDocument& mesh, JobState& job,
                     Progress& progress, std::int32_t threads) {
    return engine::PrepareRasterToVector(imaging::LoadRedGrid(path), job, mesh, progress,
                                         threads) == RunStatus::Completed;
}

// The options typed into the dialog's fields, after the dialog's show step for this
// window (which fills Op Depth from the mesh unless --op-depth gives it).
engine::RegionRunParams runParams(const ContourOptions& o, const engine::MeshDocument& mesh,
                                  bool pictureRun) {
    using engine::RegionField;
    engine::RegionRunForm form;
    form.show(pictureRun, engine::DefaultOpDepthText(mesh));
    form.clickStyle(o.style == "topography"  ? engine::RegionStyle::Topography
                    : o.style == "vectorize" ? engine::RegionStyle::Vectorize
                                             : engine::RegionStyle::SingleDepth);
    form.clickRegionDepths(o.multipleDepths);
    if (o.opDepth) form.setText(RegionField::OpDepth, *o.opDepth);
    form.setText(RegionField::ZStep, o.zStep);
    form.setText(RegionField::CutDepth, o.cutDepth);
    form.setText(RegionField::Feedrate, o.feed);
    form.setText(RegionField::Rapid, o.rapid);
    form.setText(RegionField::Width, o.width);
    form.setText(RegionField::Depth, o.depth);
    struct CheckOption {
        engine::RegionCheck box;
        RegionField value;
        const std::optional<std::string>& given;
    };
    const CheckOption checks[] = {
        {engine::RegionCheck::Reduce, RegionField::Reduce, o.reduce},
        {engine::RegionCheck::CurveFit, RegionField::CurveFit, o.curveFit},
        {engine::RegionCheck::Filter, RegionField::Filter, o.filter}};
    for (const CheckOption& c : checks) {
        form.clickCheck(c.box, c.given.has_value());
        if (c.given) form.setText(c.value, *c.given);
    }
    return form.readParams(pictureRun);
}

int cancelled() {
    std::cerr << "Process Cancelled... nothing written\n";
    return kExitCancelled;
}

int runContours(const ContourOptions& o) {
    const machine::MachineJob machineJob = resolveMachine(o.machine);
    const std::string outExt = lowerExtension(o.output);
    if (outExt != ".dnc" && outExt != ".dxf")
        throw InvalidInput("the output file must end in .dnc or .dxf: " + o.output);
    checkJobFiles({o.input}, o.output);
    TerminalProgress progress("contours");
    engine::MeshDocument mesh;
    JobState job;
    job.initialiseForFrame();
    const std::string inExt = lowerExtension(o.input);
    const bool pictureRun = inExt != ".dxf" && inExt != ".stl";
    const bool loaded = pictureRun ? loadPictureRoad(o.input, mesh, job, progress, o.threads)
                                   : loadMeshRoad(o.input, mesh, job, progress);
    if (!loaded) return cancelled();
    engine::RegionRunParams params = runParams(o, mesh, pictureRun);
    params.threads = o.threads;
    const engine::RunOutcome outcome =
        engine::RunCreateRegions(mesh, pictureRun, params, job, progress);
    progress.finish();
    if (outcome.status == RunStatus::Cancelled || progress.cancelRequested()) return cancelled();
    std::cout << outcome.statusText << "\n";
    if (mesh.Regions.size() == 0) {
        std::cerr << "error: no regions to write\n";
        return kExitFailure;
    }
    RunStatus saved = RunStatus::Completed;
    if (outExt == ".dnc") {
        const toolpath::RegionDncHeader header{
            CreationStamp(std::time(nullptr)), toolpath::DncSourceName(mesh.Caption),
            outcome.settings.FeedRate, outcome.settings.RapidHeight};
        saved = toolpath::SaveRegionDnc(o.output, mesh.Regions.withPlaceholder(), header,
                                        machineJob, progress);
        // The estimate reads the whole program back: only when a machine was named.
        if (saved == RunStatus::Completed && o.machine.machine) printRunTime(o.output, machineJob);
    } else {
        saved = toolpath::SavePolylineDxf(o.output, mesh.Regions.withPlaceholder(), progress);
    }
    return saved == RunStatus::Cancelled ? cancelled() : kExitOk;
}

void printBound(const char* name, double value) {
    std::cout << name << ": " << generalText(value) << "\n";
}

int runMeshInfo(const std::string& path) {
    checkJobFiles({path});
    TerminalProgress progress("mesh-info");
    engine::MeshDocument mesh;
    const engine::MeshLoadOutcome outcome = engine::LoadMesh(path, mesh, progress);
    progress.finish();
    if (outcome.status == RunStatus::Cancelled) return cancelled();
    std::cout << "facets: " << mesh.Triangles.size() << "\n"
              << "edges: " << mesh.Edges.size() << "\n";
    const MeshBounds& b = mesh.Bounds;
    printBound("minX", b.minX);
    printBound("maxX", b.maxX);
    printBound("minY", b.minY);
    printBound("maxY", b.maxY);
    printBound("minZ", b.minZ);
    printBound("maxZ", b.maxZ);
    printBound("spanY", b.spanY);
    printBound("spanX", b.spanX);
    return kExitOk;
}

void addContoursCommand(CLI::App& app, CliRun& run) {
    auto o = std::make_shared<ContourOptions>();
    CLI::App* cmd = app.add_subcommand(
        "contours",
        "Slice a picture or a DXF mesh into regions; write them as a DNC tool path "
        "(.dnc) or as DXF polylines (.dxf)");
    cmd->add_option("INPUT", o->input,
                    "picture file, a .dxf mesh of 3DFACE entities or an .stl mesh")
        ->required()
        ->check(CLI::ExistingFile);
    cmd->add_option("-o,--output", o->output, "OUT.dnc or OUT.dxf")->required();
    cmd->add_option("--style", o->style, "single, topography or vectorize")
        ->required()
        ->check(CLI::IsMember({"single", "topography", "vectorize"}));
    cmd->add_flag("--multiple-depths", o->multipleDepths,
                  "topography/vectorize: each region keeps its own level as depth");
    cmd->add_option("--op-depth", o->opDepth,
                    "slice depth (default: half the mesh height; 0 for a picture)");
    cmd->add_option("--z-step", o->zStep, "topography: step between slices")->capture_default_str();
    cmd->add_option("--cut-depth", o->cutDepth, "depth given to every region (one depth)")
        ->capture_default_str();
    cmd->add_option("--feed", o->feed, "feed rate")->capture_default_str();
    cmd->add_option("--rapid", o->rapid, "rapid height")->capture_default_str();
    cmd->add_option("--reduce", o->reduce, "keep every N-th vertex (at least 1)");
    cmd->add_option("--curve-fit", o->curveFit, "fit a smooth curve, N points per span");
    cmd->add_option("--filter", o->filter, "drop regions of fewer than N segments");
    cmd->add_option("--width", o->width, "picture: work width of the picture")
        ->capture_default_str();
    cmd->add_option("--depth", o->depth, "picture: depth of black")->capture_default_str();
    addMachineOptions(cmd, o->machine, true);
    cmd->add_option("--threads", o->threads, "topography: threads to slice with (0: all cores)")
        ->check(CLI::Range(0, 1024))
        ->capture_default_str();
    cmd->callback([o, &run] { run.exitCode = runContours(*o); });
}

void addMeshInfoCommand(CLI::App& app, CliRun& run) {
    auto path = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("mesh-info",
                                       "Read a DXF mesh and print its facet and "
                                       "edge counts and its extents (z negated)");
    cmd->add_option("FILE", *path, "DXF file of 3DFACE entities, or STL file")
        ->required()
        ->check(CLI::ExistingFile);
    cmd->callback([path, &run] { run.exitCode = runMeshInfo(*path); });
}

}  // namespace

void addContourCommands(CLI::App& app, CliRun& run) {
    addContoursCommand(app, run);
    addMeshInfoCommand(app, run);
}

}  // namespace quarvel::cli
