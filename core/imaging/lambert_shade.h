#pragma once
// Lambertian shading of a picture taken as a height field.
#include "imaging/pixel_image.h"
#include "imaging/row_reporter.h"

namespace quarvel::imaging {

struct LambertParams {
    double latitudeDeg = 45.0;   // height of the light above the picture plane
    double longitudeDeg = 45.0;  // direction of the light in the plane, from east towards north
    int heightScale = 3;         // height in pixel widths of a white pixel over a black one
    double roughness = 0.1;      // texture noise, as a share of heightScale
};

// Height h = heightScale * (luminance / 255 + roughness * u), with u uniform in [-1, 1)
// drawn from std::mt19937 seeded 1234 in row order, so results repeat. The surface normal
// comes from central differences of h (border pixels repeated); the light direction is
// L = (cos lat cos lon, cos lat sin lon, sin lat) with x east, y north, z up. Each pixel
// becomes the grey round(255 * max(0, n . L) / |n|). Palette pictures get the nearest
// entry of their own palette; 24-bit ones the grey itself.
PixelImage ShadeLambert(const PixelImage& image, const LambertParams& params,
                        Progress& progress = NoProgress());

}  // namespace quarvel::imaging
