#pragma once
// A direct reader for the usual JPEG files (grey, or colour stored as YCbCr): libjpeg-turbo
// decodes them straight into our rows, which skips ImageMagick's 16-bit pixel cache.
// Anything else goes to ImageMagick.
#include <string_view>

#include "imaging/pixel_image.h"
#include "imaging/row_reporter.h"

namespace quarvel::imaging::detail {

// Fills `image` and returns true when `bytes` is a complete 8-bit JPEG of one grey or
// three YCbCr channels that decodes without a single complaint: grey as 8 bits with the
// grey ramp, colour as 24 bits, the JFIF density as dots per inch. Returns false
// (leaving `image` alone) for anything else, including damaged or truncated files, so
// that the general decoder gives the reason. `progress` follows the rows.
bool ReadPlainJpeg(std::string_view bytes, PixelImage& image, Progress& progress = NoProgress());

}  // namespace quarvel::imaging::detail
