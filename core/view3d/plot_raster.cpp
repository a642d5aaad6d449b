#include "view3d/plot_raster.h"

#include <cassert>
#include <cmath>
#include <cstdlib>

namespace quarvel::view3d {

namespace {

// Liang-Barsky: narrows [t0, t1] to where p*t <= q. False when nothing is left.
bool clipSide(double p, double q, double& t0, double& t1) {
    if (p == 0) return q >= 0;  // exact: parallel to this side
    const double t = q / p;
    if (p < 0) {
        if (t > t1) return false;
        if (t > t0) t0 = t;
    } else {
        if (t < t0) return false;
        if (t < t1) t1 = t;
    }
    return true;
}

}  // namespace

RgbRaster::RgbRaster(int width, int height, Rgb background) : width_(width), height_(height) {
    assert(width > 0 && height > 0);
    bytes_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (std::size_t i = 0; i < bytes_.size(); i += 3) {
        bytes_[i] = background.red;
        bytes_[i + 1] = background.green;
        bytes_[i + 2] = background.blue;
    }
}

Rgb RgbRaster::at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
    return {bytes_[i], bytes_[i + 1], bytes_[i + 2]};
}

void RgbRaster::put(int x, int y, Rgb colour) {
    const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
    bytes_[i] = colour.red;
    bytes_[i + 1] = colour.green;
    bytes_[i + 2] = colour.blue;
}

void RgbRaster::drawLine(ScreenPoint a, ScreenPoint b, Rgb colour) {
    const auto inside = [this](ScreenPoint p) {
        return p.x >= 0 && p.y >= 0 && p.x < width_ && p.y < height_;
    };
    if (inside(a) && inside(b)) {
        drawInside(a.x, a.y, b.x, b.y, colour);
        return;
    }
    // Clipped in doubles against the pixel centres' box, then rounded back inside.
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    double t0 = 0.0, t1 = 1.0;
    if (!clipSide(-dx, a.x - 0.0, t0, t1) || !clipSide(dx, (width_ - 1.0) - a.x, t0, t1) ||
        !clipSide(-dy, a.y - 0.0, t0, t1) || !clipSide(dy, (height_ - 1.0) - a.y, t0, t1))
        return;
    const auto pixelAt = [&](double t, int limit, double from, double delta) {
        const int v = RoundToPixel(from + delta * t);
        return v < 0 ? 0 : (v > limit ? limit : v);
    };
    drawInside(pixelAt(t0, width_ - 1, a.x, dx), pixelAt(t0, height_ - 1, a.y, dy),
               pixelAt(t1, width_ - 1, a.x, dx), pixelAt(t1, height_ - 1, a.y, dy), colour);
}

// Bresenham between two pixels of the picture.
void RgbRaster::drawInside(int x0, int y0, int x1, int y1, Rgb colour) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        put(x0, y0, colour);
        if (x0 == x1 && y0 == y1) return;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void DrawPlot(RgbRaster& raster, const ProjectedPlot& plot, Rgb rapid, Rgb feed) {
    ScreenPoint pen = plot.origin;
    for (const ProjectedPoint& p : plot.points) {
        raster.drawLine(pen, p.at, p.pen == PlotPen::Rapid ? rapid : feed);
        pen = p.at;
    }
}

}  // namespace quarvel::view3d
