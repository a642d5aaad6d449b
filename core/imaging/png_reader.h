#pragma once
// A direct reader of the usual PNG files into the red grid of the relief and contour
// jobs: libpng decodes the rows straight into the grid, which skips ImageMagick's 16-bit
// pixel cache and the 24-bit picture in between. Anything else goes the general way.
#include <string_view>

#include "geom/types.h"

namespace quarvel::imaging::detail {

// Fills `grid` with the red sample of each pixel (rows top first) and the resolution in
// dots per inch (0 where the file gives none or no unit) and returns true when `bytes`
// is a complete, non-interlaced PNG of 8-bit grey or 8-bit RGB samples without
// transparency or colour profile that decodes without a single complaint. Returns false
// (leaving the outputs alone) for anything else, damaged and truncated files included,
// so that the general decoder gives the picture or the reason.
bool ReadPlainPngRed(std::string_view bytes, TZGrid& grid, int& xResDpi, int& yResDpi);

}  // namespace quarvel::imaging::detail
