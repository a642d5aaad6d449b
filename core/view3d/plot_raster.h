#pragma once
// A small RGB picture that projected plots are drawn into without a window system, for
// `quarvel-cli preview`.
#include <cstdint>
#include <vector>

#include "view3d/dnc_plot.h"
#include "view3d/projection.h"

namespace quarvel::view3d {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRapidColour{0, 0, 255};  // blue
inline constexpr Rgb kFeedColour{0, 128, 0};   // green

class RgbRaster {
public:
    // width and height at least 1; every pixel `background`.
    RgbRaster(int width, int height, Rgb background = kWhite);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const;
    // Rows of width * 3 bytes, red, green, blue, the top row first.
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    // A one-pixel line from `a` to `b`, both ends included, clipped to the picture
    // (ends may lie anywhere in the +-2^30 range Project() gives).
    void drawLine(ScreenPoint a, ScreenPoint b, Rgb colour);

private:
    void put(int x, int y, Rgb colour);
    void drawInside(int x0, int y0, int x1, int y1, Rgb colour);

    int width_, height_;
    std::vector<std::uint8_t> bytes_;
};

// The plot as one polyline from its origin, each piece in the colour of its pen.
void DrawPlot(RgbRaster& raster, const ProjectedPlot& plot, Rgb rapid = kRapidColour,
              Rgb feed = kFeedColour);

}  // namespace quarvel::view3d
