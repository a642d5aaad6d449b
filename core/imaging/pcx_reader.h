#pragma once
// A direct reader for planar PCX pictures of one bit per plane (1 plane: 2 colours,
// 2 to 4 planes: up to 16), whose colours lie in the header palette. ImageMagick reads
// these as black and white whatever their palette; other PCX forms go to it.
#include <string_view>

#include "imaging/pixel_image.h"

namespace quarvel::imaging::detail {

// Fills `image` and returns true when `bytes` is a complete PCX of 1 bit per pixel in 1
// to 4 planes. Pixel index = the bits of the planes, plane 0 lowest; colours from the
// header palette (a two-colour palette of equal entries means black for 0 and white for
// 1). Returns false, leaving `image` alone, for anything else or a damaged file.
bool ReadPlanarPcx(std::string_view bytes, PixelImage& image);

}  // namespace quarvel::imaging::detail
