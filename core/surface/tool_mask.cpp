#include "surface/tool_mask.h"

#include <algorithm>
#include <cmath>

#include "surface/rounding.h"

namespace quarvel::surface {

namespace {

constexpr std::uint8_t kOutside = 255;

// Mask size along one axis: round(diameter / cell - 1), made even.
std::int64_t evenSpan(double diameter, double cell) {
    std::int64_t n = roundHalfEvenToInt(diameter / cell - 1.0);
    if (n % 2 != 0) n += 1;
    return std::max<std::int64_t>(n, 0);
}

std::uint8_t clampLevel(double v) {
    if (!(v > 0.0)) return 0;
    if (v > 255.0) return 255;
    return static_cast<std::uint8_t>(v);
}

std::uint8_t entryValue(ToolKind kind, double g, double r2, double d2) {
    if (d2 >= r2) return kOutside;
    switch (kind) {
        case ToolKind::BallMill: return clampLevel(255.0 - roundHalfEven(g * std::sqrt(r2 - d2)));
        case ToolKind::V45: return clampLevel(roundHalfEven(g * std::sqrt(d2)));
        case ToolKind::V60: return clampLevel(roundHalfEven(g * std::sqrt(d2) * std::sqrt(3.0)));
        case ToolKind::EndMill: break;
    }
    return 0;
}

}  // namespace

ToolKind ToolKindFromName(std::string_view name) {
    return ToolKindForListName(name).value_or(ToolKind::EndMill);
}

std::optional<ToolKind> ToolKindForListName(std::string_view name) {
    if (name == kToolNames[0]) return ToolKind::EndMill;
    if (name == kToolNames[1]) return ToolKind::BallMill;
    if (name == kToolNames[2]) return ToolKind::V45;
    if (name == kToolNames[3]) return ToolKind::V60;
    return std::nullopt;
}

TToolMask BuildToolMask(ToolKind kind, double diameter, double cellX, double cellY, double depth,
                        MaskClip clip) {
    const double g = 256.0 / depth;
    const double r2 = (diameter / 2.0) * (diameter / 2.0);
    const std::int64_t halfColumns = evenSpan(diameter, cellX) / 2;
    const std::int64_t halfRows = evenSpan(diameter, cellY) / 2;
    const int keptColumns =
        static_cast<int>(std::min<std::int64_t>(halfColumns, clip.maxColumnOffset));
    const int keptRows = static_cast<int>(std::min<std::int64_t>(halfRows, clip.maxRowOffset));

    TToolMask mask;
    mask.rows = 2 * keptRows + 1;
    mask.columns = 2 * keptColumns + 1;
    mask.centreRow = keptRows;
    mask.centreColumn = keptColumns;
    mask.cells.resize(static_cast<std::size_t>(mask.rows) * mask.columns);
    for (int i = 0; i < mask.rows; ++i) {
        const double dy = static_cast<double>(i - keptRows) * cellY;
        for (int j = 0; j < mask.columns; ++j) {
            const double dx = static_cast<double>(j - keptColumns) * cellX;
            const double d2 = dx * dx + dy * dy;
            mask.cells[static_cast<std::size_t>(i) * mask.columns + j] =
                entryValue(kind, g, r2, d2);
        }
    }
    return mask;
}

}  // namespace quarvel::surface
