#pragma once
// The Create Regions run: slices a mesh window's triangles (or the picture's facet
// list) into regions at one depth, at a series of depths or along level areas,
// refines them and appends them to the window's regions. The dialog only gathers
// RegionRunParams, calls RunCreateRegions and shows the texts of the outcome.
#include <cstdint>
#include <functional>
#include <string>

#include "engine/mesh_document.h"
#include "geom/facet_view.h"
#include "geom/types.h"
#include "progress/progress.h"
#include "state/job_state.h"

namespace quarvel::engine {

enum class RegionStyle { SingleDepth, Topography, Vectorize };

// The dialog's fields as numbers (the defaults are the dialog's).
struct RegionRunParams {
    double width = 1.0;  // picture runs only: work width for the picture's columns
    double depth = 1.0;  // picture runs only: depth of black (level 255)
    double opDepth = 0.0;
    double zStep = 0.0;
    double cutDepth = 0.0;
    double feedRate = 10.0;
    double rapid = 0.25;
    RegionStyle style = RegionStyle::SingleDepth;
    bool multipleDepths = false;
    bool reduceOn = false;
    std::int32_t reduceValue = 2;
    bool curveFitOn = false;
    std::int32_t curveFitValue = 1;
    bool filterOn = false;
    std::int32_t filterValue = 5;
    // Threads of a Topography run; 0: one per processor. The result is the same for any.
    std::int32_t threads = 0;
};

// The kind of run the two radio groups (Style, Region Depths) select together. Single
// Depth ignores Region Depths.
enum class StyleCode {
    SingleDepth,
    TopographyOneDepth,
    TopographyMultipleDepths,
    VectorizeOneDepth,
    VectorizeMultipleDepths,
};
StyleCode styleCodeFor(RegionStyle style, bool multipleDepths);

// The run settings derived from the fields; FeedRate and RapidHeight are what the
// writers use afterwards.
struct RegionRunSettings {
    StyleCode style = StyleCode::SingleDepth;
    double FeedRate = 10.0;
    double RapidHeight = 0.25;
    bool ReduceOn = false, CurveFitOn = false, FilterOn = false;
    std::int32_t ReduceEvery = 2;        // at least 1
    std::int32_t CurveFitValue = 1;      // at least 0
    std::int32_t FilterMinSegments = 5;  // at least 0
    float RegionWidth = 1.0f;
    float RegionDepth = 1.0f;
    float XYScale = 1.0f;      // RegionWidth / GridColumns, in single precision
    float LevelScale = 1.0f;   // RegionDepth / 255, in single precision
    std::int32_t Threads = 0;  // 0: one per processor
};
RegionRunSettings MakeRunSettings(const RegionRunParams& params, std::int32_t gridColumns);

// What the run leaves to show: panel 0 and panel 1 of the status bar.
struct RunOutcome {
    RunStatus status = RunStatus::Completed;
    std::string statusText;  // "n Regions Created...", "No Regions Created...", ...
    std::string countText;   // number of regions of the window
    // Regions appended to the window by this run. A Cancelled run may still have
    // appended some (a stop seen after the slicing keeps what was made); they count here.
    std::size_t regionsAdded = 0;
    RegionRunSettings settings;
};

// Called during a Topography run after each level after the first, with the run's
// regions so far and the index of the first one the level added (to draw them).
using LevelDone = std::function<void(const TRegionArray& newRegions, std::size_t firstNew)>;

// The run on a mesh window's own triangles (z in the file's units). Throws InvalidInput
// for depths that cannot give a result (see RunCreateRegions).
RunOutcome CreateMeshRegions(MeshDocument& mesh, double opDepth, double zStep, double cutDepth,
                             const RegionRunSettings& settings, Progress& progress,
                             const LevelDone& levelDone = {});

// The run on the picture's facet list (z in grey levels): depths already converted to
// levels; regions scaled by XYScale; the window's Bounds become the picture's scaled.
// `levelDone` receives each Topography level's regions as sliced: in pixels and grey
// levels, not yet scaled (a drawing scales them by XYScale and LevelScale).
RunOutcome CreateRasterRegions(MeshDocument& mesh, FacetView facetList,
                               const quarvel::MeshBounds& meshBounds, double opDepthLevels,
                               double zStepLevels, double cutDepth,
                               const RegionRunSettings& settings, Progress& progress,
                               const LevelDone& levelDone = {});

// Create: derives the settings, converts depths to grey levels for a picture window
// (JobMode 35: the job's FacetList, MeshBounds and GridColumns), runs, and gives the
// texts to show ("Process Cancelled..." when the user stopped it). Throws InvalidInput,
// before any region changes, for a value that is not a finite number, a Feedrate not
// above 0 or above 1000000, a Rapid below 0 (the top of the work) or above 1e9, a Cut
// Depth beyond 1e9, a Topography Z Step below 0 or so small that Op Depth would take
// more than a million slices or levels that make more than 20 million points (checked
// level by level), a Curve Fit that would make more than 20 million points (checked
// after slicing, before fitting), and, in a picture run, a Width or Depth of
// 0 or less or beyond single precision, or depths that overflow as grey levels.
// Cancelled is reported whenever the user asked to stop during the run, even when the
// stop came after the regions were appended: the regions kept are then in mesh.Regions
// and regionsAdded counts them (0 when the slicing itself was cut short).
RunOutcome RunCreateRegions(MeshDocument& mesh, const RegionRunParams& params, const JobState& job,
                            Progress& progress, const LevelDone& levelDone = {});
// The same for a window that knows its own kind: `pictureRun` instead of JobMode picks
// the picture's facet list or the window's own triangles.
RunOutcome RunCreateRegions(MeshDocument& mesh, bool pictureRun, const RegionRunParams& params,
                            const JobState& job, Progress& progress,
                            const LevelDone& levelDone = {});

// Removes the regions of the last run; returns "The last k Regions were removed..".
std::string UndoLastRun(MeshDocument& mesh);
// Removes every region.
void ClearRegions(MeshDocument& mesh);

// The Op Depth the dialog shows for a mesh window: -0.5 x Bounds.minZ, as its text.
std::string DefaultOpDepthText(const MeshDocument& mesh);

inline constexpr const char* kNoRegionsText = "No Regions Created...Check Parameters...";
inline constexpr const char* kCancelledText = "Process Cancelled...";
inline constexpr const char* kCreatingText = "Creating Vectors...";

}  // namespace quarvel::engine
