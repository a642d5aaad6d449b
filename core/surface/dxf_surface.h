#pragma once
// The height grid as a DXF file of four-cornered faces (3DFACE), one face per step.
#include <ostream>

#include "geom/types.h"
#include "progress/progress.h"
#include "surface/job_values.h"

namespace quarvel::surface {

// The grid the DXF surface job samples from a picture's levels (`levels`: one red byte
// per pixel, top row first): the levels inside a frame of one white (255) cell on every
// side, so (rows + 2) x (columns + 2); an empty grid gives the 2 x 2 frame alone.
TZGrid FramedSurfaceGrid(const TZGrid& levels);

// Writes the whole DXF text to `out`: head (empty TABLES and BLOCKS), one face per step
// over the grid, rows of faces from the top, then "ENDSEC" and "EOF". Level v lies at
// Z = depth - depth * v / 255 (white 0, black `depth`); the picture's top row at Y =
// sizeY. Lines end in CR LF; numbers as "%.4f". Uses sizeX, sizeY, stepX, stepY, depth,
// nx, ny, columns and rows of `job` (columns and rows must match `grid`).
// `bar` moves by the row-bar rule (RowBarStep), starting half a stride on.
// Cancelled by a stop seen by `bar`: the faces written so far are followed by the
// trailer, so the text is still a whole DXF file.
RunStatus WriteDxfSurface(std::ostream& out, const TZGrid& grid, const SurfaceJobValues& job,
                          Progress& bar);

}  // namespace quarvel::surface
