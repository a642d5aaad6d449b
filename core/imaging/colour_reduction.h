#pragma once
// Depth conversions: true colour to palettes of 256, 16, 8 and 2 colours.
#include <cstdint>

#include "imaging/pixel_image.h"
#include "imaging/row_reporter.h"

namespace quarvel::imaging {

// Method codes of ConvertColors.
inline constexpr std::int32_t kColoursPopularity = 1;
inline constexpr std::int32_t kColoursMedianCut = 2;
inline constexpr std::int32_t kColoursUniform884 = 4;
inline constexpr std::int32_t kColoursUniform666 = 8;
inline constexpr std::int32_t kColoursGreyScale = 16;
inline constexpr std::int32_t kColoursBlackWhite = 32;
inline constexpr std::int32_t kColoursSixteen = 64;
inline constexpr std::int32_t kColoursHalftone = 128;

// Converts any picture by `method` (`progress` follows the rows); returns false (and leaves `image`
// alone) for an unknown code. 1 popularity: the 256 most frequent colours (counted on a 5-5-5 bit
// grid, each entry
//   the mean of its cell), pixels mapped to the nearest entry. 8 bits.
// 2 median cut (Heckbert): the 5-5-5 colour cube split at the median of its longest
//   side, most populous box first, into 256 boxes; entry = mean of the box. 8 bits.
// 4 uniform 8-8-4: 8 red, 8 green and 4 blue levels, nearest level each. 8 bits.
// 8 uniform 6-6-6: the 216-colour cube of 6 levels per channel. 8 bits.
// 16 grey scale: 256 greys by luminance. 8 bits.
// 32 black and white: luminance >= 128 is white. 1 bit.
// 64 sixteen colours: nearest of the 16 standard VGA colours. 4 bits.
// 128 halftone: ordered dither (8 x 8 Bayer matrix) onto the 6-6-6 cube. 8 bits.
bool ConvertColourMethod(PixelImage& image, std::int32_t method, Progress& progress = NoProgress());

// The eight corners of the colour cube (black, red, green, yellow, blue, magenta, cyan,
// white) with Floyd-Steinberg error diffusion, the error scaled by ditherPercent/100
// (0 = plain nearest colour). 4 bits.
void ConvertToEightColours(PixelImage& image, int ditherPercent, Progress& progress = NoProgress());

}  // namespace quarvel::imaging
