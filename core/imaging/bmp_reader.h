#pragma once
// A direct reader for the common, uncompressed Windows bitmaps (1, 4, 8 and 24 bits per
// pixel): they are most of what users load, and reading them ourselves skips a detour
// through ImageMagick's 16-bit pixel cache. Anything else goes to ImageMagick.
#include <string_view>

#include "geom/types.h"

#include "imaging/pixel_image.h"
#include "imaging/row_reporter.h"

namespace quarvel::imaging::detail {

// Fills `image` and returns true when `bytes` is a complete uncompressed BMP of 1, 4, 8
// or 24 bits per pixel; returns false (leaving `image` alone) for anything else,
// including damaged or truncated files, so that the general decoder gives the reason.
// `progress` follows the rows.
bool ReadPlainBmp(std::string_view bytes, PixelImage& image, Progress& progress = NoProgress());

// The red byte of each pixel of the same bitmaps, read from the file's rows straight
// into `grid` (rows top first): what ReadPlainBmp gives once expanded to 24 bits, without
// the picture in between. False, leaving `grid` alone, where ReadPlainBmp is false.
bool ReadPlainBmpRed(std::string_view bytes, TZGrid& grid);
// The same, with the resolution ReadPlainBmp gives (0 where the file has none).
bool ReadPlainBmpRed(std::string_view bytes, TZGrid& grid, int& xResDpi, int& yResDpi);

}  // namespace quarvel::imaging::detail
