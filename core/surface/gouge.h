#pragma once
// Gouge control: raises the height grid so that a tool centred over any cell touches
// none of its neighbours.
#include "geom/types.h"
#include "progress/progress.h"
#include "surface/tool_mask.h"

namespace quarvel::surface {

// Grey-level dilation of `grid` by `mask`, in place: every cell of level v below 255
// becomes the largest of v and S[r'][c'] - mask[i][j] over the tool's footprint, where
// S is the grid as it was before the call (results never feed back), r' = r -
// centreRow + i and c' = c - centreColumn + j. Footprint cells outside the grid are
// ignored; mask entries of 255 never raise anything; cells of 255 stay 255.
// Progress follows the counted-loop rule over the rows. Cancelled: rows before the one
// where the stop was seen are corrected, the rest are as they were.
RunStatus ApplyGougeControl(TZGrid& grid, const TToolMask& mask, Progress& progress);

}  // namespace quarvel::surface
