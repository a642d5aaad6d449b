#pragma once
// The one job state of a run: what passes between a picture window, the surface job
// dialog, the Create Regions dialog and the mesh window. The main frame owns the only
// instance and hands it to the windows it creates.
#include <cstdint>
#include <string>

#include "geom/picture_facets.h"
#include "geom/types.h"

namespace quarvel {

// The job being prepared, which decides how the windows and dialogs that read JobMode
// behave. The numbers are the job codes as they are shown and compared outside the
// program; inside, only the names are used.
enum class JobModeCode : std::int32_t {
    MeshImport = 0,
    DxfSurface = 10,
    GCode = 20,
    RasterToVector = 35,
    MeshToolpaths = 40,
};

// The number of a job code, for where it leaves the program.
constexpr std::int32_t jobModeNumber(JobModeCode mode) { return static_cast<std::int32_t>(mode); }

struct JobState {
    JobModeCode JobMode = JobModeCode::MeshImport;
    TZGrid HeightGrid;           // per-pixel level 0..255, row 0 = top scan line
    PictureFacetList FacetList;  // triangulated picture, sorted by lowest corner
    quarvel::MeshBounds MeshBounds;
    std::int32_t GridColumns = 0;
    std::int32_t GridRows = 0;
    std::int32_t ViewWidth = 0;
    std::int32_t ViewHeight = 0;
    bool CancelRequested = false;
    std::int32_t TargetWindowIndex = 0;  // position in the frame's child list, newest first
    std::int32_t ProgressCounter = 0;
    std::string PluginPath;
    std::string JobFileName;
    double RapidHeight = 0.0;
    std::uint8_t LightDirection = 0;  // 1 North .. 8 North West, clockwise

    // What creating the main frame sets.
    void initialiseForFrame() {
        GridColumns = 1;
        GridRows = 1;
        LightDirection = 1;
    }
};

}  // namespace quarvel
