#pragma once
// How the viewers place model coordinates on a panel before projection: one scale that
// fits the extents to the panel, a base line for model y = 0, and the draft box drawn
// while the mouse is held.
#include "geom/types.h"
#include "view3d/projection.h"

namespace quarvel::view3d {

// Model units to panel pixels, and the panel row of model y = 0.
struct ModelScale {
    double scale = 1.0;
    int base = 0;
    friend bool operator==(const ModelScale&, const ModelScale&) = default;
};

// The smaller of panelWidth / spanX and panelHeight / spanY, on the base line
// `chartBottom`. When spanX or spanY is exactly 0 there is nothing to fit: scale 1 and
// base line 0 (the panel's top).
ModelScale FitModelScale(const MeshBounds& bounds, int panelWidth, int panelHeight,
                         int chartBottom);

// The extents as drawn: when spanX or spanY is 0, x and y become the box 0..1 (z kept).
MeshBounds DrawnBounds(const MeshBounds& bounds);

// An integer panel point, as the 3D canvas takes it.
struct PanelPoint {
    int x = 0, y = 0, z = 0;
    friend bool operator==(const PanelPoint&, const PanelPoint&) = default;
};

// (round(x*S), B - round(y*S), round(z*S)), rounding halves to even: the origin sits at
// the panel's left edge on the base line and y grows upwards.
inline PanelPoint ModelToPanel(const ModelScale& s, double x, double y, double z) {
    return {RoundToPixel(x * s.scale), s.base - RoundToPixel(y * s.scale),
            RoundToPixel(z * s.scale)};
}

// The two quadrilaterals of the draft box: the x-y rectangle of `drawn` at its lowest
// and at its highest z.
struct DraftBox {
    PixelRect rect;  // corners (minX, minY) and (maxX, maxY) on the panel
    int lowZ = 0, highZ = 0;
};
DraftBox DraftBoxOf(const MeshBounds& drawn, const ModelScale& scale);

}  // namespace quarvel::view3d
