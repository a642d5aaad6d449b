#include "engine/region_run.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/level_pool.h"
#include "engine/refinement.h"
#include "engine/region_workspace.h"
#include "engine/rising_slicer.h"
#include "engine/slicing.h"
#include "text/error.h"
#include "text/text_format.h"

namespace quarvel::engine {

StyleCode styleCodeFor(RegionStyle style, bool multipleDepths) {
    switch (style) {
        case RegionStyle::SingleDepth: return StyleCode::SingleDepth;
        case RegionStyle::Topography:
            return multipleDepths ? StyleCode::TopographyMultipleDepths
                                  : StyleCode::TopographyOneDepth;
        case RegionStyle::Vectorize:
            return multipleDepths ? StyleCode::VectorizeMultipleDepths
                                  : StyleCode::VectorizeOneDepth;
    }
    return StyleCode::SingleDepth;
}

RegionRunSettings MakeRunSettings(const RegionRunParams& params, std::int32_t gridColumns) {
    RegionRunSettings s;
    s.style = styleCodeFor(params.style, params.multipleDepths);
    s.FeedRate = params.feedRate;
    s.RapidHeight = params.rapid;
    s.ReduceOn = params.reduceOn;
    s.CurveFitOn = params.curveFitOn;
    s.FilterOn = params.filterOn;
    s.ReduceEvery = std::max<std::int32_t>(params.reduceValue, 1);
    s.CurveFitValue = std::max<std::int32_t>(params.curveFitValue, 0);
    s.FilterMinSegments = std::max<std::int32_t>(params.filterValue, 0);
    s.RegionWidth = static_cast<float>(params.width);
    s.RegionDepth = static_cast<float>(params.depth);
    s.XYScale = s.RegionWidth / static_cast<float>(gridColumns);
    s.LevelScale = s.RegionDepth / 255.0f;
    s.Threads = std::max<std::int32_t>(params.threads, 0);
    return s;
}

namespace {

constexpr double kMaxTopographyLevels = 1e6;

bool isTopography(StyleCode style) {
    return style == StyleCode::TopographyOneDepth || style == StyleCode::TopographyMultipleDepths;
}
bool isVectorize(StyleCode style) {
    return style == StyleCode::VectorizeOneDepth || style == StyleCode::VectorizeMultipleDepths;
}
bool keepsLevelDepths(StyleCode style) {
    return style == StyleCode::TopographyMultipleDepths ||
           style == StyleCode::VectorizeMultipleDepths;
}

// What multiplies the output is refused above this many points, before it is made:
// each point costs about 80 bytes in memory and 25 in the file.
constexpr double kMaxOutputPoints = 20e6;
// The writers' limits on the machine values: rapids stay above the top of the work
// (Z 0), and a feed rate has no more digits than a controller reads.
constexpr double kMaxFeedrate = 1e6;
constexpr double kMaxRapidHeight = 1e9;  // also the largest Cut Depth

void requireFinite(double value, const char* field) {
    if (std::isnan(value)) throw InvalidInput(std::string(field) + " is not a number");
    if (!std::isfinite(value)) throw InvalidInput(std::string(field) + " is too large");
}

// A value the user typed that is fine on its own but overflows once turned into grey
// levels (divided by the picture Depth).
void requireFiniteLevels(double typed, double levels, const char* field) {
    requireFinite(typed, field);
    if (!std::isfinite(levels))
        throw InvalidInput(std::string(field) + " is too large for this Depth");
}

void checkMachineValues(const RegionRunParams& p) {
    requireFinite(p.feedRate, "Feedrate");
    if (!(p.feedRate > 0.0)) throw InvalidInput("Feedrate must be more than 0");
    if (p.feedRate > kMaxFeedrate)
        throw InvalidInput("Feedrate must not be more than " + generalText(kMaxFeedrate) +
                           " (more digits than a controller reads)");
    requireFinite(p.rapid, "Rapid");
    // Rapid moves travel at this height: below the top of the work they would cut
    // through it at full speed.
    if (p.rapid < 0.0) throw InvalidInput("Rapid must not be below 0 (the top of the work)");
    if (p.rapid > kMaxRapidHeight)
        throw InvalidInput("Rapid must not be more than " + generalText(kMaxRapidHeight));
}

// Width and Depth of a picture run are held in single precision as scales.
void checkPictureScale(double typed, float value, float scale, const char* field) {
    if (!(typed > 0.0) || std::isnan(typed))
        throw InvalidInput(std::string(field) + " must be a number above 0");
    if (!std::isfinite(value) || !std::isfinite(scale))
        throw InvalidInput(std::string(field) + " is too large");
    if (!(value > 0.0f) || !(scale > 0.0f))
        throw InvalidInput(std::string(field) + " is too small");
}

std::string millionsText(double count) {
    return std::to_string(static_cast<long long>(count / 1e6));
}

// Points the refinements would leave: Reduce keeps every n-th vertex, Curve Fit makes
// n points per span. Refused before Curve Fit allocates them: the message, or "".
std::string refinedSizeRefusal(const TRegionArray& fresh, const RegionRunSettings& s) {
    if (!s.CurveFitOn || s.CurveFitValue < 1) return "";
    double points = 0.0;
    for (const TRegion& r : fresh) {
        double spans = static_cast<double>(r.segments.size());
        if (s.ReduceOn && r.segments.size() > static_cast<std::size_t>(s.ReduceEvery))
            spans = std::floor((spans - 1) / s.ReduceEvery) + 1;
        points += (spans + 1) * s.CurveFitValue;
    }
    if (points <= kMaxOutputPoints) return "";
    return "Curve Fit " + std::to_string(s.CurveFitValue) + " would make " + millionsText(points) +
           " million points (more than " + millionsText(kMaxOutputPoints) +
           " million): choose a smaller Curve Fit";
}

// Refuses a run whose refinements would cost too much; the window is left as it was.
void checkRefinedSize(MeshDocument& mesh, std::int32_t previousMark, const TRegionArray& fresh,
                      const RegionRunSettings& s) {
    const std::string refusal = refinedSizeRefusal(fresh, s);
    if (refusal.empty()) return;
    mesh.RegionsBeforeRun = previousMark;
    throw InvalidInput(refusal);
}

double segmentCount(const TRegionArray& regions, std::size_t first) {
    double count = 0;
    for (std::size_t i = first; i < regions.size(); ++i)
        count += static_cast<double>(regions[i].segments.size());
    return count;
}

// The heights of a Topography run: one step, then step after step up to Op Depth. Added
// up one step at a time, as the levels have always been, so every height is the same.
std::vector<double> topographyLevels(double opDepth, double zStep) {
    std::vector<double> levels{zStep};
    for (double level = zStep + zStep; level <= opDepth; level += zStep) levels.push_back(level);
    return levels;
}

// The levels one after the other on the calling thread.
// Levels finer than the heights repeat the same rings; a run stops before they fill the
// memory. `points` counts the segments of the levels appended so far.
void checkLevelBudget(double& points, const TRegionArray& fresh, std::size_t firstNew) {
    points += segmentCount(fresh, firstNew);
    if (points > kMaxOutputPoints)
        throw InvalidInput("Z Step is too small: the levels would make more than " +
                           millionsText(kMaxOutputPoints) + " million points");
}

bool sliceLevelsInTurn(FacetView triangles, TRegionArray& fresh, const std::vector<double>& levels,
                       Progress& progress, const LevelDone& levelDone, RegionWorkspace& work) {
    RisingSlicer slicer(triangles);
    SliceAtDepth(slicer, fresh, levels.front(), progress, work);
    if (!progress.pumpAndCheck()) return false;
    double points = 0;
    checkLevelBudget(points, fresh, 0);
    for (std::size_t k = 1; k < levels.size(); ++k) {
        const std::size_t firstNew = fresh.size();
        SliceAtDepth(slicer, fresh, levels[k], progress, work);
        if (!progress.pumpAndCheck()) return false;
        checkLevelBudget(points, fresh, firstNew);
        if (levelDone) levelDone(fresh, firstNew);
    }
    return true;
}

// The levels spread over `threads` workers, each with a slicer and working lists of its
// own; each level's regions are appended in level order, so the result is the one of
// sliceLevelsInTurn whatever the number of threads.
bool sliceLevelsTogether(FacetView triangles, TRegionArray& fresh,
                         const std::vector<double>& levels, std::size_t threads, Progress& progress,
                         const LevelDone& levelDone) {
    struct Worker {
        explicit Worker(FacetView t) : slicer(t) {}
        RisingSlicer slicer;
        RegionWorkspace work;
    };
    std::vector<std::unique_ptr<Worker>> workers(threads);
    std::vector<TRegionArray> perLevel(levels.size());
    const auto work = [&](std::size_t level, std::size_t w, Progress& workerProgress) {
        if (!workers[w]) workers[w] = std::make_unique<Worker>(triangles);
        SliceAtDepth(workers[w]->slicer, perLevel[level], levels[level], workerProgress,
                     workers[w]->work);
    };
    double points = 0;
    const auto finished = [&](std::size_t level) {
        const std::size_t firstNew = fresh.size();
        TRegionArray& made = perLevel[level];
        fresh.insert(fresh.end(), std::make_move_iterator(made.begin()),
                     std::make_move_iterator(made.end()));
        TRegionArray().swap(made);
        checkLevelBudget(points, fresh, firstNew);
        progress.setPosition(static_cast<int>((level + 1) * 100 / levels.size()));
        if (level > 0 && levelDone) levelDone(fresh, firstNew);
    };
    return RunInOrder(levels.size(), threads, progress, work, finished);
}

// Slices by style into `fresh`, with working lists of the run's own. False when the
// user stopped a Topography run between levels (the caller then drops `fresh`).
bool sliceByStyle(FacetView triangles, TRegionArray& fresh, double opDepth, double zStep,
                  StyleCode style, std::size_t threads, Progress& progress,
                  const LevelDone& levelDone) {
    RegionWorkspace work;
    if (style == StyleCode::SingleDepth) {
        SliceAtDepth(triangles, fresh, opDepth, progress, work);
    } else if (isTopography(style)) {
        if (zStep == 0.0) return true;  // exact: nothing to slice, reported as no regions
        const std::vector<double> levels = topographyLevels(opDepth, zStep);
        if (threads > 1)
            return sliceLevelsTogether(triangles, fresh, levels, threads, progress, levelDone);
        return sliceLevelsInTurn(triangles, fresh, levels, progress, levelDone, work);
    } else {
        VectorizeFlats(triangles, fresh, progress, work);
    }
    return true;
}

// Runs the slicing; a refusal on the way leaves the window's Undo mark as it was.
template <class Slice>
bool sliceWithinBudget(MeshDocument& mesh, std::int32_t previousMark, Slice slice) {
    try {
        return slice();
    } catch (const InvalidInput&) {
        mesh.RegionsBeforeRun = previousMark;
        throw;
    }
}

void refine(TRegionArray& fresh, const RegionRunSettings& s, Progress& progress) {
    ClearRegionMarks(fresh);
    if (s.ReduceOn) {
        for (TRegion& r : fresh) {
            if (!ReduceRegion(r, s.ReduceEvery, progress)) r.mark = 1;
        }
        RemoveMarkedRegions(fresh);
    }
    if (s.CurveFitOn) {
        for (TRegion& r : fresh) r = CurveFitRegion(r, s.CurveFitValue, progress);
    }
    ClearRegionMarks(fresh);
    if (s.FilterOn) {
        const auto minimum = static_cast<std::size_t>(s.FilterMinSegments);
        for (TRegion& r : fresh) {
            if (r.segments.size() < minimum) r.mark = 1;
        }
        RemoveMarkedRegions(fresh);
    }
    for (TRegion& r : fresh) MergeCollinear(r, progress);
}

// One region through the steps of refine; false when it is to be dropped.
bool refineOne(TRegion& r, const RegionRunSettings& s, Progress& progress) {
    if (s.ReduceOn && !ReduceRegion(r, s.ReduceEvery, progress)) return false;
    if (s.CurveFitOn) r = CurveFitRegion(r, s.CurveFitValue, progress);
    if (s.FilterOn && r.segments.size() < static_cast<std::size_t>(s.FilterMinSegments))
        return false;
    MergeCollinear(r, progress);
    return true;
}

// refine with the regions shared among `threads` workers. Every step of refine looks
// at one region alone, so taking each region through all of them in turn keeps the
// same regions in the same order.
void refineTogether(TRegionArray& fresh, const RegionRunSettings& s, std::size_t threads,
                    Progress& progress) {
    constexpr std::size_t kBatch = 256;
    ClearRegionMarks(fresh);
    const std::size_t batches = (fresh.size() + kBatch - 1) / kBatch;
    const auto work = [&](std::size_t batch, std::size_t, Progress& workerProgress) {
        const std::size_t end = std::min(fresh.size(), (batch + 1) * kBatch);
        for (std::size_t k = batch * kBatch; k < end; ++k) {
            if (!refineOne(fresh[k], s, workerProgress)) fresh[k].mark = 1;
        }
    };
    (void)RunInOrder(batches, threads, progress, work, [](std::size_t) {});
    RemoveMarkedRegions(fresh);
}

void refineByStyle(TRegionArray& fresh, const RegionRunSettings& s, std::size_t threads,
                   Progress& progress) {
    if (threads > 1 && isTopography(s.style))
        refineTogether(fresh, s, threads, progress);
    else
        refine(fresh, s, progress);
}

// The outcome of a run that appends nothing: stopped between levels, or no region.
RunOutcome emptyOutcome(const MeshDocument& mesh, const RegionRunSettings& s, bool sliced) {
    RunOutcome outcome;
    outcome.settings = s;
    outcome.status = sliced ? RunStatus::Completed : RunStatus::Cancelled;
    outcome.statusText = sliced ? kNoRegionsText : kCancelledText;
    outcome.countText = std::to_string(mesh.Regions.size());
    return outcome;
}

RunOutcome appendRun(MeshDocument& mesh, TRegionArray& fresh, const RegionRunSettings& s) {
    RunOutcome outcome;
    outcome.settings = s;
    const std::size_t n = fresh.size();
    outcome.statusText = std::to_string(n) + " Regions Created...";
    mesh.Regions.append(std::move(fresh));
    outcome.regionsAdded = n;
    outcome.countText = std::to_string(mesh.Regions.size());
    return outcome;
}

void checkSliceValues(double opDepth, double zStep, double cutDepth, StyleCode style) {
    if (!isVectorize(style)) requireFinite(opDepth, "Op Depth");
    if (isTopography(style)) {
        requireFinite(zStep, "Z Step");
        if (zStep < 0.0) throw InvalidInput("Z Step must not be below 0");
        // A step this small would slice for hours (or, once it no longer changes the
        // level, forever) and give a file no machine could run.
        if (zStep > 0.0 && opDepth / zStep > kMaxTopographyLevels)
            throw InvalidInput("Z Step is too small for this Op Depth: more than " +
                               std::to_string(static_cast<long>(kMaxTopographyLevels)) + " slices");
    }
    if (!keepsLevelDepths(style)) {
        requireFinite(cutDepth, "Cut Depth");
        if (std::fabs(cutDepth) > kMaxRapidHeight)
            throw InvalidInput("Cut Depth is too large: more than " + generalText(kMaxRapidHeight));
    }
}

}  // namespace

RunOutcome CreateMeshRegions(MeshDocument& mesh, double opDepth, double zStep, double cutDepth,
                             const RegionRunSettings& settings, Progress& progress,
                             const LevelDone& levelDone) {
    checkSliceValues(opDepth, zStep, cutDepth, settings.style);
    TRegionArray fresh;
    const std::int32_t previousMark = mesh.RegionsBeforeRun;
    mesh.RegionsBeforeRun = static_cast<std::int32_t>(mesh.Regions.size());
    const std::size_t threads = ResolveThreadCount(settings.Threads);
    const bool sliced = sliceWithinBudget(mesh, previousMark, [&] {
        return sliceByStyle(mesh.Triangles, fresh, opDepth, zStep, settings.style, threads,
                            progress, levelDone);
    });
    if (!sliced || fresh.empty()) return emptyOutcome(mesh, settings, sliced);
    checkRefinedSize(mesh, previousMark, fresh, settings);
    refineByStyle(fresh, settings, threads, progress);
    if (!keepsLevelDepths(settings.style)) {
        for (TRegion& r : fresh) r.depth = cutDepth;
    }
    return appendRun(mesh, fresh, settings);
}

RunOutcome CreateRasterRegions(MeshDocument& mesh, FacetView facetList,
                               const quarvel::MeshBounds& meshBounds, double opDepthLevels,
                               double zStepLevels, double cutDepth,
                               const RegionRunSettings& settings, Progress& progress,
                               const LevelDone& levelDone) {
    checkSliceValues(opDepthLevels, zStepLevels, cutDepth, settings.style);
    mesh.Bounds = meshBounds;
    ScaleBounds(mesh.Bounds, settings.XYScale);
    TRegionArray fresh;
    const std::int32_t previousMark = mesh.RegionsBeforeRun;
    mesh.RegionsBeforeRun = static_cast<std::int32_t>(mesh.Regions.size());
    const std::size_t threads = ResolveThreadCount(settings.Threads);
    const bool sliced = sliceWithinBudget(mesh, previousMark, [&] {
        return sliceByStyle(facetList, fresh, opDepthLevels, zStepLevels, settings.style, threads,
                            progress, levelDone);
    });
    if (!sliced || fresh.empty()) return emptyOutcome(mesh, settings, sliced);
    checkRefinedSize(mesh, previousMark, fresh, settings);
    refineByStyle(fresh, settings, threads, progress);
    const double levelScale = settings.LevelScale;
    for (TRegion& r : fresh) {
        ScaleRegion(r, settings.XYScale);
        if (keepsLevelDepths(settings.style))
            r.depth = r.depth * levelScale;
        else
            r.depth = cutDepth;
    }
    return appendRun(mesh, fresh, settings);
}

RunOutcome RunCreateRegions(MeshDocument& mesh, const RegionRunParams& params, const JobState& job,
                            Progress& progress, const LevelDone& levelDone) {
    return RunCreateRegions(mesh, job.JobMode == JobModeCode::RasterToVector, params, job, progress,
                            levelDone);
}

RunOutcome RunCreateRegions(MeshDocument& mesh, bool pictureRun, const RegionRunParams& params,
                            const JobState& job, Progress& progress, const LevelDone& levelDone) {
    const RegionRunSettings settings = MakeRunSettings(params, job.GridColumns);
    checkMachineValues(params);
    RunOutcome outcome;
    if (pictureRun) {
        checkPictureScale(params.width, settings.RegionWidth, settings.XYScale, "Width");
        checkPictureScale(params.depth, settings.RegionDepth, settings.LevelScale, "Depth");
        // Depths in the user's units become grey levels of the picture.
        const double regionDepth = settings.RegionDepth;
        const double opLevels = params.opDepth / regionDepth * 255;
        const double stepLevels = params.zStep / regionDepth * 255;
        if (!isVectorize(settings.style)) requireFiniteLevels(params.opDepth, opLevels, "Op Depth");
        if (isTopography(settings.style)) requireFiniteLevels(params.zStep, stepLevels, "Z Step");
        outcome = CreateRasterRegions(mesh, job.FacetList, job.MeshBounds, opLevels, stepLevels,
                                      params.cutDepth, settings, progress, levelDone);
    } else {
        outcome = CreateMeshRegions(mesh, params.opDepth, params.zStep, params.cutDepth, settings,
                                    progress, levelDone);
    }
    if (progress.cancelRequested()) {
        outcome.status = RunStatus::Cancelled;
        outcome.statusText = kCancelledText;
    }
    return outcome;
}

std::string UndoLastRun(MeshDocument& mesh) {
    // An Undo with nothing left to undo removes nothing.
    const auto before = static_cast<std::size_t>(std::max<std::int32_t>(mesh.RegionsBeforeRun, 0));
    std::size_t removed = 0;
    if (before < mesh.Regions.size()) {
        removed = mesh.Regions.size() - before;
        mesh.Regions.truncate(before);
    }
    return "The last " + std::to_string(removed) + " Regions were removed..";
}

void ClearRegions(MeshDocument& mesh) { mesh.Regions.clear(); }

std::string DefaultOpDepthText(const MeshDocument& mesh) {
    return generalText(-0.5 * mesh.Bounds.minZ);
}

}  // namespace quarvel::engine
