#pragma once
// TIFF encoding straight from our 8-bit rows with libtiff: going through ImageMagick
// costs a copy into its 16-bit pixels and back again.
#include <ostream>

#include "imaging/pixel_image.h"

namespace quarvel::imaging::detail {

// Writes `image` as one LZW-compressed TIFF picture of contiguous samples:
// - 24-bit as RGB, 8 bits per sample, with horizontal differencing;
// - 1, 4 and 8-bit pictures whose palette is the even grey ramp of 2^bits levels as
//   grey (zero is black) of that many bits, any other palette as a colour map of 2^bits
//   entries, so every depth and colour comes back exactly.
// A resolution is written in pixels per inch. Throws Error.
void WriteTiff(const PixelImage& image, std::ostream& out);

}  // namespace quarvel::imaging::detail
