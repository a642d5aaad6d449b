#pragma once
// Operations that change each colour on its own. They work in place on 24-bit pixels or,
// for palette pictures, on the palette, so the depth is kept (ReduceGrayLevels aside).
#include "imaging/pixel_image.h"

namespace quarvel::imaging {

// Grey by mode: 1 the largest of red, green and blue; 2 their mean; 4 the weighted sum
// wr*R + wg*G + wb*B (rounded, clamped to 0..255). Other modes change nothing.
void ToGrey(PixelImage& image, int mode, float redWeight, float greenWeight, float blueWeight);

// 255 - v on every channel.
void Invert(PixelImage& image);

// `levels` evenly spaced values per channel (at least 2): v -> the nearest of
// round(k * 255 / (levels - 1)). 256 or more changes nothing.
void PosterizeLevels(PixelImage& image, int levels);

// v -> v * (100 + p) / 100 per channel, p in percent (rounded, clamped).
void ScaleChannels(PixelImage& image, int redPercent, int greenPercent, int bluePercent);

// Channel codes of Brightness and Contrast: 0 blue, 1 green, 2 red, 3 all.
// Adds round(amount * 255 / 100) to the channel(s).
void AddBrightness(PixelImage& image, int amountPercent, int channel);

// Linear stretch of [low, high] onto [0, 255] on the channel(s):
// v -> round((v - low) * 255 / (high - low)), clamped. Does nothing unless low < high.
void StretchContrast(PixelImage& image, int low, int high, int channel);

// Becomes an 8-bit grey picture (non-grey colours by their luminance 0.299 R + 0.587 G
// + 0.114 B) whose greys are reduced to `levels` (2..256) evenly spaced levels.
void ReduceGreyLevels(PixelImage& image, int levels);

// Luminance 0.299 R + 0.587 G + 0.114 B, rounded.
inline int Luminance(int red, int green, int blue) {
    return (299 * red + 587 * green + 114 * blue + 500) / 1000;
}

}  // namespace quarvel::imaging
