#pragma once
// A direct reader for the usual true-colour TIFF files (8-bit RGB in strips, any of
// libtiff's compressions): libtiff decodes them straight into our rows, which skips
// ImageMagick's 16-bit pixel cache. Anything else goes to ImageMagick.
#include <string_view>

#include "imaging/pixel_image.h"
#include "imaging/row_reporter.h"

namespace quarvel::imaging::detail {

// Fills `image` with the first picture of `bytes` and returns true when it is 8-bit RGB
// without extra samples, stored in strips of contiguous samples, and decodes without a
// single complaint; the resolution becomes dots per inch. Returns false (leaving `image`
// alone) for anything else, including damaged or truncated files, so that the general
// decoder gives the reason. `progress` follows the rows.
bool ReadPlainTiff(std::string_view bytes, PixelImage& image, Progress& progress = NoProgress());

}  // namespace quarvel::imaging::detail
