#pragma once
// Operations that move pixels: quarter turns, resampling, cropping and filling.
#include "imaging/pixel_image.h"
#include "imaging/row_reporter.h"

namespace quarvel::imaging {

// Turns the picture clockwise by `degrees` when it is a whole multiple of 90 (negative
// turns anticlockwise), exactly, at any depth; the resolution follows the axes. Returns
// false and changes nothing for any other angle.
bool RotateQuarterTurns(PixelImage& image, double degrees);

// Scales by `ratio` to round(width * ratio) x round(height * ratio) pixels (at least 1)
// with a Lanczos-3 filter, widened by 1/ratio when shrinking so every source pixel
// counts. Palette pictures are resampled in true colour and mapped back onto their own
// palette. The resolution is kept. Throws InvalidInput when the ratio is not positive
// or the result would exceed 30000 pixels a side or 200 million pixels.
PixelImage ResampleByRatio(const PixelImage& image, double ratio,
                           Progress& progress = NoProgress());

// The pixels of the rectangle (already inside the picture), same depth and palette.
PixelImage CropImage(const PixelImage& image, int x, int y, int width, int height);

// Paints the rectangle (already inside the picture) white, or with the palette entry
// nearest to white.
void FillWhite(PixelImage& image, int x, int y, int width, int height);

}  // namespace quarvel::imaging
