#pragma once
// The cutter's shape as a grid of height offsets, used by gouge control.
#include <climits>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quarvel::surface {

// 1 flat end mill, 2 ball end, 3 V cutter rising one unit per unit of distance from the
// axis (90 degrees included), 4 V cutter rising sqrt(3) units per unit (60 degrees).
enum class ToolKind : std::uint8_t { EndMill = 1, BallMill = 2, V45 = 3, V60 = 4 };

// The names of the tool list, in list order.
inline constexpr std::string_view kToolNames[] = {"End Mill", "Ball Mill", "45 Deg V", "60 Deg V"};

// The kind for a tool list text, compared exactly (case matters). Any other text is an
// end mill.
ToolKind ToolKindFromName(std::string_view name);
// The kind for a list name; nothing for any other text.
std::optional<ToolKind> ToolKindForListName(std::string_view name);

// Heights, in grid levels, of the tool's cutting surface above its tip, over a grid
// of cells centred on the tool axis. 255 marks cells outside the tool's circle.
// centreRow/centreColumn give the position of the axis inside `cells`; when the mask
// was clipped to the grid it serves, they differ from (rows - 1) / 2.
struct TToolMask {
    int rows = 0;
    int columns = 0;
    int centreRow = 0;
    int centreColumn = 0;
    std::vector<std::uint8_t> cells;  // rows * columns, row-major

    std::uint8_t at(int i, int j) const { return cells[static_cast<std::size_t>(i) * columns + j]; }
};

// Offsets from the axis farther than these (in cells) are left out of the mask: on a
// grid of R rows and C columns no offset beyond R - 1 rows or C - 1 columns can reach a
// cell, so clipping to them changes no result.
struct MaskClip {
    int maxRowOffset = INT_MAX;
    int maxColumnOffset = INT_MAX;
};

// Builds the mask of a tool of `diameter` units over cells of cellX x cellY units, with
// `depth` units spread over 256 levels. The unclipped mask has nr + 1 rows and nc + 1
// columns, nc = round(diameter / cellX - 1) and nr likewise (halves to even), each made
// even by adding 1 when odd. Inside the circle: end mill 0; ball
// 255 - round(g * sqrt(R^2 - d^2)); V round(g * d) (times sqrt(3) for V60), with
// g = 256 / depth, clamped to 0..255. Needs diameter, cell sizes and depth above 0.
TToolMask BuildToolMask(ToolKind kind, double diameter, double cellX, double cellY, double depth,
                        MaskClip clip = {});

}  // namespace quarvel::surface
