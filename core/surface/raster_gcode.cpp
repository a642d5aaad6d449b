#include "surface/raster_gcode.h"

#include <algorithm>
#include <array>
#include <vector>

#include "surface/rounding.h"

namespace quarvel::surface {

namespace {

struct TColumnSample {
    std::int32_t column = 0;
    double x = 0.0;
};
using TPixelMeshArray = std::vector<TColumnSample>;

// Sample positions along a row: running sums of the step, then the right edge.
TPixelMeshArray samplePositions(const SurfaceJobValues& job) {
    TPixelMeshArray samples(static_cast<std::size_t>(job.nx) + 1);
    const double scaleX = job.scaleX();
    double x = 0.0;
    for (std::int64_t i = 0; i < job.nx; ++i) {
        const std::int64_t c =
            std::clamp<std::int64_t>(roundHalfEvenToInt(x * scaleX), 0, job.columns - 1);
        samples[static_cast<std::size_t>(i)] = {static_cast<std::int32_t>(c), x};
        x = x + job.stepX;
    }
    samples.back() = {job.columns - 1, job.sizeX};
    return samples;
}

class RasterPlanner {
public:
    RasterPlanner(const TZGrid& grid, const SurfaceJobValues& job, MoveSink& sink)
        : grid_(grid),
          job_(job),
          sink_(sink),
          samples_(samplePositions(job)),
          rapidZ_(job.rapidHeight) {}

    RunStatus run(Progress& bar, const std::function<void(int)>& passStarted);

private:
    struct Layered {
        double z;
        bool lifted;
    };
    // What one grey level gives in the current pass: its surface and its layered Z.
    struct LevelStep {
        double surface;
        Layered layered;
    };

    void emit(std::int32_t kind, double x, double y, double z) {
        last_ = {kind, x, y, z};
        sink_.add(last_);
    }
    std::int32_t mode() const { return rapid_ ? kRapidMove : kFeedMove; }
    double surfaceZ(std::uint8_t v) const { return -job_.depth + job_.depth * v / 255.0; }
    Layered layered(double z) const {
        if (q_ + z < 0) return {-q_, false};         // below this layer's floor
        if (prev_ + z >= 0) return {rapidZ_, true};  // finished by earlier layers
        return {z, false};
    }
    const std::uint8_t* gridRow(std::int64_t r) const { return grid_.row(static_cast<int>(r)); }
    // The same values for all 256 levels, worked out once per pass instead of per sample.
    void tabulateLevels() {
        for (int v = 0; v < 256; ++v) {
            const double surface = surfaceZ(static_cast<std::uint8_t>(v));
            levels_[static_cast<std::size_t>(v)] = {surface, layered(surface)};
        }
    }

    void riseToRapidHeight() {
        if (last_.z != rapidZ_) emit(kRapidMove, last_.x, last_.y, rapidZ_);
    }
    bool cutPass(Progress& bar);
    void riseBeforeRow(const std::uint8_t* row, const TColumnSample& first);
    void forwardRow(const std::uint8_t* row, double y);
    void backwardRow(const std::uint8_t* row, double y);
    void sampleStep(double x, std::uint8_t v, double y);
    void closeRun(const TColumnSample& lastSample, double y);

    const TZGrid& grid_;
    const SurfaceJobValues& job_;
    MoveSink& sink_;
    const TPixelMeshArray samples_;
    const double rapidZ_;
    TRasterMove last_;
    double curX_ = 0.0, curZ_ = 0.0;
    double h_ = 0.0, g_ = 0.0, aa_ = 0.0, saved_ = 0.0;
    double lastZ_ = 0.0;  // Z the latest sample step settled on
    double prev_ = 0.0, q_ = 0.0;
    bool rapid_ = true, down_ = false;
    std::array<LevelStep, 256> levels_{};
};

RunStatus RasterPlanner::run(Progress& bar, const std::function<void(int)>& passStarted) {
    emit(kRapidMove, 0.0, 0.0, rapidZ_);
    emit(kRapidMove, 0.0, job_.sizeY, rapidZ_);
    curX_ = 0.0;
    curZ_ = rapidZ_;
    int pass = 0;
    do {
        prev_ = q_;
        q_ = q_ + job_.depthPerPass;
        if (q_ > job_.depth) q_ = job_.depth;
        tabulateLevels();
        // Each pass starts from above the material.
        riseToRapidHeight();
        curZ_ = rapidZ_;
        h_ = rapidZ_;
        curX_ = 0.0;
        ++pass;
        if (passStarted) passStarted(pass);
        down_ = false;
        rapid_ = true;
        if (!cutPass(bar)) return RunStatus::Cancelled;
    } while (job_.depth > q_);
    riseToRapidHeight();
    return RunStatus::Completed;
}

// One layer: row pairs from the top, forward then backward.
bool RasterPlanner::cutPass(Progress& bar) {
    RowBarStep progress(bar, 0, job_.ny / 10);
    const double scaleY = job_.scaleY();
    const std::int64_t lastRow = job_.rows - 1;
    double u = 0.0;
    for (std::int64_t k = 0; k <= job_.ny; ++k) {
        const std::int64_t r1 = roundHalfEvenToInt(u * scaleY);
        const std::int64_t r2 = roundHalfEvenToInt((u + job_.stepY) * scaleY);
        if (r2 > lastRow) {
            if (r1 >= 0 && r1 <= lastRow) forwardRow(gridRow(r1), job_.sizeY - u);
            return true;
        }
        if (!progress.step(k, static_cast<int>(r1 * 100 / job_.rows))) return false;
        forwardRow(gridRow(r1), job_.sizeY - u);
        backwardRow(gridRow(r2), job_.sizeY - u - job_.stepY);
        u = u + job_.stepY + job_.stepY;
    }
    return true;
}

// Before moving onto a row whose first sample lies above the tool, rise where the tool
// stands, so that the move across does not cut through the material.
void RasterPlanner::riseBeforeRow(const std::uint8_t* row, const TColumnSample& first) {
    const Layered next = levels_[row[first.column]].layered;
    if (!(next.z > curZ_)) return;
    if (next.lifted) {
        emit(kRapidMove, curX_, last_.y, rapidZ_);
        rapid_ = true;
        down_ = false;
    } else {
        emit(kFeedMove, curX_, last_.y, next.z);
    }
    curZ_ = next.z;
    h_ = next.z;
}

void RasterPlanner::forwardRow(const std::uint8_t* row, double y) {
    riseBeforeRow(row, samples_.front());
    emit(mode(), curX_, y, curZ_);
    aa_ = g_;
    for (const TColumnSample& s : samples_) sampleStep(s.x, row[s.column], y);
    closeRun(samples_.back(), y);
}

void RasterPlanner::backwardRow(const std::uint8_t* row, double y) {
    // Step over from the end of the forward row.
    h_ = lastZ_;
    curX_ = samples_.back().x;
    curZ_ = h_;
    riseBeforeRow(row, samples_.back());
    emit(mode(), curX_, y, curZ_);
    aa_ = g_;
    for (auto s = samples_.rbegin(); s != samples_.rend(); ++s) sampleStep(s->x, row[s->column], y);
    h_ = lastZ_;
    closeRun(samples_.front(), y);
}

// Ends a straight run that reaches the row's last sample.
void RasterPlanner::closeRun(const TColumnSample& lastSample, double y) {
    if (lastSample.x == aa_) return;  // exact: the run was closed at this very sample
    curX_ = lastSample.x;
    curZ_ = lastZ_;
    emit(mode(), curX_, y, curZ_);
}

// Emits moves only where the height changes; a straight run is ended at its last sample.
void RasterPlanner::sampleStep(double x, std::uint8_t v, double y) {
    const LevelStep& step = levels_[v];
    const Layered l = step.layered;
    if (l.lifted) saved_ = step.surface;
    const double z = l.z;
    if (z != h_) {  // exact: a run goes on while the height stays the very same value
        if (aa_ != g_) {
            curX_ = g_;
            emit(mode(), curX_, y, curZ_);
        }
        if (l.lifted) {
            if (!rapid_) {
                curX_ = x;
                curZ_ = saved_;
                emit(kFeedMove, x, y, saved_);
                curZ_ = rapidZ_;
                emit(kRapidMove, x, y, rapidZ_);
            }
            rapid_ = true;
            down_ = false;
        } else {
            if (!down_) {
                curZ_ = saved_;
                emit(kRapidMove, curX_, y, saved_);
            }
            curX_ = x;
            curZ_ = z;
            emit(kFeedMove, x, y, z);
            down_ = true;
            rapid_ = false;
        }
        h_ = z;
        aa_ = x;
    }
    g_ = x;
    lastZ_ = z;
}

}  // namespace

RunStatus CreateRasterGCode(const TZGrid& grid, const SurfaceJobValues& job, Progress& bar,
                            MoveSink& sink, const std::function<void(int)>& passStarted) {
    RasterPlanner planner(grid, job, sink);
    return planner.run(bar, passStarted);
}

}  // namespace quarvel::surface
