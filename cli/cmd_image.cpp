// Picture commands: describe picture files, and convert one format into another.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli_run.h"
#include "output_checks.h"
#include "imaging/picture_files.h"
#include "text/error.h"

namespace quarvel::cli {

namespace {

struct ImageInfoArgs {
    std::vector<std::string> files;
};

struct ConvertArgs {
    std::string input;
    std::string output;
};

// One line per file; a file that cannot be read gets its reason and a failing exit.
int runImageInfo(const ImageInfoArgs& args) {
    checkJobFiles(args.files);
    int exitCode = kExitOk;
    for (const std::string& file : args.files) {
        try {
            const imaging::DecodedPicture picture = imaging::ReadPicture(file);
            const imaging::PixelImage& image = picture.image;
            std::cout << file << ": " << picture.format << " " << image.width << "x" << image.height
                      << " " << image.bitCount << "-bit " << image.xResDpi << "x" << image.yResDpi
                      << " dpi\n";
        } catch (const IoError& e) {
            std::cout << file << ": error: " << (e.path() == file ? e.reason() : e.what()) << "\n";
            exitCode = kExitFailure;
        } catch (const Error& e) {
            std::cout << file << ": error: " << e.what() << "\n";
            exitCode = kExitFailure;
        }
    }
    return exitCode;
}

int runConvert(const ConvertArgs& args) {
    const int code = imaging::FileTypeOf(args.output);
    if (code == imaging::kFormatUnknown || code == imaging::kFormatWmf)
        throw InvalidInput(args.output +
                           ": cannot write this format (use .bmp, .pcx, .tif, "
                           ".jpg, .png or .gif)");
    checkJobFiles({args.input}, args.output);
    const imaging::DecodedPicture picture = imaging::ReadPicture(args.input);
    imaging::WritePicture(picture.image, args.output, code);
    return kExitOk;
}

}  // namespace

void addImageCommands(CLI::App& app, CliRun& run) {
    auto info = std::make_shared<ImageInfoArgs>();
    CLI::App* infoCmd = app.add_subcommand(
        "image-info", "Print format, size, bit count and resolution of picture files.");
    infoCmd->add_option("files", info->files, "Picture files")->required();
    infoCmd->callback([info, &run] { run.exitCode = runImageInfo(*info); });

    auto convert = std::make_shared<ConvertArgs>();
    CLI::App* convertCmd = app.add_subcommand(
        "convert", "Load a picture and save it in the format of OUT's extension.");
    convertCmd->add_option("IN", convert->input, "Picture to read")->required();
    convertCmd->add_option("OUT", convert->output, "File to write (.bmp .pcx .tif .jpg)")
        ->required();
    convertCmd->callback([convert, &run] { run.exitCode = runConvert(*convert); });
}

}  // namespace quarvel::cli
