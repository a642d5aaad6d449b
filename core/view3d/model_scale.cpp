#include "view3d/model_scale.h"

#include <algorithm>

namespace quarvel::view3d {

ModelScale FitModelScale(const MeshBounds& b, int panelWidth, int panelHeight, int chartBottom) {
    if (b.spanX == 0 || b.spanY == 0) return {1.0, 0};  // exact: a flat extent has no scale
    return {std::min(panelWidth / b.spanX, panelHeight / b.spanY), chartBottom};
}

MeshBounds DrawnBounds(const MeshBounds& bounds) {
    MeshBounds b = bounds;
    if (b.spanX == 0 || b.spanY == 0) {
        b.minX = 0;
        b.maxX = 1;
        b.minY = 0;
        b.maxY = 1;
    }
    return b;
}

DraftBox DraftBoxOf(const MeshBounds& b, const ModelScale& s) {
    const PanelPoint low = ModelToPanel(s, b.minX, b.minY, b.minZ);
    const PanelPoint high = ModelToPanel(s, b.maxX, b.maxY, b.maxZ);
    return {{low.x, low.y, high.x, high.y}, low.z, high.z};
}

}  // namespace quarvel::view3d
