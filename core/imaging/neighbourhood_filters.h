#pragma once
// Filters that read each pixel's 3 x 3 neighbourhood, channel by channel, on 24-bit
// pictures. Pixels beyond the border repeat the nearest border pixel. Every result is
// rounded to the nearest integer and clamped to 0..255.
#include "imaging/pixel_image.h"
#include "imaging/row_reporter.h"

namespace quarvel::imaging {

enum class Kernel3x3 {
    Sharpen,       // unsharp mask, amount 1/2:  p + (p - box3x3)/2
    SharpenMore,   // unsharp mask, amount 1:    p + (p - box3x3)
    SharpenMax,    // unsharp mask, amount 2:    p + 2 (p - box3x3)
    Soften,        // centre-weighted mean [1 1 1; 1 8 1; 1 1 1] / 16
    Blur,          // 3 x 3 binomial (Gaussian) [1 2 1; 2 4 2; 1 2 1] / 16
    BlurMore,      // 3 x 3 box mean / 9
    Laplace,       // 8-neighbour Laplacian [-1 -1 -1; -1 8 -1; -1 -1 -1]
    EnhanceEdges,  // p plus its 4-neighbour Laplacian [0 -1 0; -1 5 -1; 0 -1 0]
    Despeckle,     // 3 x 3 median
};

// All take a 24-bit picture and return a new one of the same size and resolution.
PixelImage ApplyKernel(const PixelImage& src, Kernel3x3 kernel, Progress& progress = NoProgress());

// Compass kernels for the eight directions 1 North .. 8 North West (clockwise): weight
// +1 on the neighbours towards the direction, -1 on those away from it, 0 across
// (Prewitt compass masks). Emboss adds 128 to the response (light from `direction`);
// the gradient edge keeps the plain response. Directions outside 1..8 count as 1.
PixelImage ApplyEmboss(const PixelImage& src, int direction, Progress& progress = NoProgress());
PixelImage ApplyGradientEdge(const PixelImage& src, int direction,
                             Progress& progress = NoProgress());

// Sobel gradient magnitude |Gx| + |Gy| (the usual L1 form). Responses below `threshold`
// become 0; with `darkEdges` the result is inverted (dark edges on white).
PixelImage ApplySobel(const PixelImage& src, int threshold, bool darkEdges,
                      Progress& progress = NoProgress());

// Matched line detector: the response of the line masks (for example horizontal
// [-1 -1 -1; 2 2 2; -1 -1 -1]) for orientation 1 horizontal, 2 vertical, 3 rising
// diagonal, 4 falling diagonal, or the largest of the four for any other value.
PixelImage ApplyMatchedFilter(const PixelImage& src, int orientation,
                              Progress& progress = NoProgress());

// Shift and difference: |p - q| where q is the neighbour to the left (mode 1), above
// (mode 2) or above-left (any other mode).
PixelImage ApplyShiftDifference(const PixelImage& src, int mode, Progress& progress = NoProgress());

}  // namespace quarvel::imaging
