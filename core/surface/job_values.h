#pragma once
// The values a surface job runs with, as read from the job's fields when Create is
// pressed.
#include <cstdint>

#include "surface/tool_mask.h"

namespace quarvel::surface {

struct SurfaceJobValues {
    double sizeX = 0.0;  // part width, units
    double sizeY = 0.0;  // part height, units
    double stepX = 0.0;  // never finer than one grid cell
    double stepY = 0.0;
    double depth = 0.0;   // depth of black below white, units
    std::int64_t nx = 0;  // round(sizeX / stepX) - 1
    std::int64_t ny = 0;  // round(sizeY / stepY)
    int columns = 0;      // of the height grid
    int rows = 0;
    // G-code job only.
    double depthPerPass = 0.0;
    double feed = 0.0;
    double rapidHeight = 0.0;

    double scaleX() const { return columns / sizeX; }  // grid cells per unit
    double scaleY() const { return rows / sizeY; }
    double cellX() const { return sizeX / columns; }  // units per grid cell
    double cellY() const { return sizeY / rows; }
};

struct GougeSettings {
    bool enabled = false;
    ToolKind kind = ToolKind::EndMill;
    double diameter = 0.0;
};

}  // namespace quarvel::surface
