#pragma once
// Our own writers for the two simple formats whose every depth we must keep exactly:
// Windows bitmap and ZSoft PCX (ImageMagick cannot write 1- and 4-bit PCX from every
// source, and picks BMP depths by colour count rather than by the picture's depth).
#include <ostream>

#include "imaging/pixel_image.h"

namespace quarvel::imaging::detail {

// BMP with a 40-byte info header, rows bottom-up padded to 4 bytes, 1/4/8-bit pictures
// with their palette padded to 2^bits entries, resolution as pixels per metre.
void WriteBmp(const PixelImage& image, std::ostream& out);

// PCX version 5, run-length encoded: 24-bit as three 8-bit planes, 8-bit with the
// 256-colour palette after the pixels, 4-bit as four 1-bit planes and 1-bit as one plane
// (both with the palette in the header).
void WritePcx(const PixelImage& image, std::ostream& out);

}  // namespace quarvel::imaging::detail
