// quarvel-cli preview: a picture of a G-code file's tool path, as the DNC viewer plots it.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "cli_run.h"
#include "gcode/dnc_reader.h"
#include "imaging/picture_files.h"
#include "text/error.h"
#include "view3d/dnc_preview.h"

namespace quarvel::cli {

namespace {

struct PreviewArgs {
    std::string input;
    std::string output;
    std::string view = "iso";
    std::string size = "800x600";
};

imaging::PixelImage toPixelImage(const view3d::RgbRaster& raster) {
    imaging::PixelImage image = imaging::MakeImage(raster.width(), raster.height(), 24);
    const std::vector<std::uint8_t>& rgb = raster.bytes();
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {  // ours are blue, green, red
        image.pixels[i] = rgb[i + 2];
        image.pixels[i + 1] = rgb[i + 1];
        image.pixels[i + 2] = rgb[i];
    }
    return image;
}

view3d::PreviewParams checkedParams(const PreviewArgs& args) {
    view3d::PreviewParams params;
    if (args.view == "top") {
        params.view = view3d::PresetView::Top;
    } else if (args.view != "iso") {
        throw InvalidInput("--view: expected top or iso, found '" + args.view + "'");
    }
    const auto size = view3d::ParsePreviewSize(args.size);
    if (!size)
        throw InvalidInput("--size: expected WxH from 1x1 to 16384x16384, found '" + args.size +
                           "'");
    params.width = size->first;
    params.height = size->second;
    return params;
}

int runPreview(const PreviewArgs& args) {
    const view3d::PreviewParams params = checkedParams(args);
    const int format = imaging::FileTypeOf(args.output);
    if (format == imaging::kFormatUnknown || format == imaging::kFormatWmf)
        throw InvalidInput(args.output +
                           ": cannot write this format (use .png, .bmp, .pcx, .tif, .jpg or .gif)");
    TerminalProgress progress("preview");
    const gcode::DncReadResult read = gcode::LoadDncFile(args.input, progress);
    progress.finish();
    if (read.status == RunStatus::Cancelled) {
        std::cerr << "Process Cancelled...\n";
        return kExitCancelled;
    }
    imaging::WritePicture(toPixelImage(view3d::RenderDncPreview(read, params)), args.output,
                          format);
    if (read.notUnderstoodCount > 0)
        std::cerr << args.input << ": " << read.notUnderstoodCount
                  << " lines not understood (see quarvel-cli dnc-info)\n";
    return kExitOk;
}

}  // namespace

void addPreviewCommands(CLI::App& app, CliRun& run) {
    auto args = std::make_shared<PreviewArgs>();
    CLI::App* cmd = app.add_subcommand(
        "preview",
        "Draw the tool path of a DNC (G-code) file into a picture as the DNC viewer plots it: "
        "rapid moves blue, feed moves and arcs green");
    cmd->add_option("FILE", args->input, "G-code file")->required();
    cmd->add_option("-o,--output", args->output, "OUT.png (or .bmp, .tif, .jpg, .pcx, .gif)")
        ->required();
    cmd->add_option("--view", args->view, "top or iso")->capture_default_str();
    cmd->add_option("--size", args->size, "picture size WxH in pixels")->capture_default_str();
    cmd->callback([args, &run] { run.exitCode = runPreview(*args); });
}

}  // namespace quarvel::cli
