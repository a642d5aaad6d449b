#pragma once
// JPEG encoding straight from our 8-bit rows with libjpeg-turbo: going through
// ImageMagick costs a copy into its 16-bit pixels and back again.
#include <ostream>

#include "imaging/pixel_image.h"

namespace quarvel::imaging::detail {

// The JPEG quality the program saves with.
inline constexpr int kJpegQuality = 90;

// Writes `image` as baseline JPEG (fast integer transform, optimised Huffman tables, no chroma
// subsampling): 8-bit pictures with a grey palette as one grey channel, everything else as
// colour. A resolution is written as JFIF dots per inch. Throws Error.
void WriteJpeg(const PixelImage& image, std::ostream& out);

}  // namespace quarvel::imaging::detail
