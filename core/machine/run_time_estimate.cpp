#include "machine/run_time_estimate.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

#include "gcode/dnc_reader.h"

namespace quarvel::machine {

namespace {

constexpr double kMmPerInch = 25.4;
// The chord error allowed when arcs are cut into straight moves (GRBL's default), in mm.
constexpr double kArcToleranceMm = 0.002;
constexpr double kPi = 3.14159265358979323846;

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

// One straight move as the planner sees it; speeds in units/s, squared where named so.
struct Block {
    double length = 0.0;
    Vec3 unit;
    double nominalSpeed = 0.0;
    double acceleration = 0.0;
    bool isRapid = false;
    double maxEntrySquared = 0.0;
    double entrySquared = 0.0;
};

// Machine limits in the program's units.
struct Limits {
    double rapidSpeed, maxFeedSpeed, junctionDeviation, arcTolerance;
    Vec3 acceleration;
};

Limits limitsIn(const MachineLimits& l, JobUnits units) {
    const double scale = units == JobUnits::Inch ? 1.0 / kMmPerInch : 1.0;
    return {l.rapidRate * scale / 60.0,
            l.maxFeed * scale / 60.0,
            l.junctionDeviation * scale,
            kArcToleranceMm * scale,
            {l.accelerationX * scale, l.accelerationY * scale, l.accelerationZ * scale}};
}

// The largest acceleration along `unit` that no axis exceeds.
double accelerationAlong(const Vec3& unit, const Vec3& axes) {
    double a = std::numeric_limits<double>::infinity();
    if (unit.x != 0.0) a = std::min(a, axes.x / std::abs(unit.x));
    if (unit.y != 0.0) a = std::min(a, axes.y / std::abs(unit.y));
    if (unit.z != 0.0) a = std::min(a, axes.z / std::abs(unit.z));
    return a;
}

// Squared speed allowed through the corner from `a` into `b` (GRBL's junction deviation:
// the speed at which a circle tangent to both moves, `deviation` from the corner, is
// run at the acceleration limit).
double junctionSquared(const Block& a, const Block& b, const Limits& limits) {
    const double cosTheta = -(a.unit.x * b.unit.x + a.unit.y * b.unit.y + a.unit.z * b.unit.z);
    double limit;
    if (cosTheta > 0.999999) {
        limit = 0.0;  // a reversal: stop
    } else if (cosTheta < -0.999999) {
        limit = std::numeric_limits<double>::infinity();  // straight on
    } else {
        const double sinHalf = std::sqrt(0.5 * (1.0 - cosTheta));
        const double accel = std::min(a.acceleration, b.acceleration);
        limit = accel * limits.junctionDeviation * sinHalf / (1.0 - sinHalf);
    }
    return std::min({limit, a.nominalSpeed * a.nominalSpeed, b.nominalSpeed * b.nominalSpeed});
}

// Time of a trapezoid (or triangle) speed profile from the entry to the exit speed.
double blockSeconds(const Block& b, double exitSquared) {
    const double a = b.acceleration;
    const double v = b.nominalSpeed;
    const double v0 = std::sqrt(b.entrySquared), v1 = std::sqrt(exitSquared);
    const double accelDistance = (v * v - b.entrySquared) / (2.0 * a);
    const double decelDistance = (v * v - exitSquared) / (2.0 * a);
    if (accelDistance + decelDistance <= b.length)
        return (v - v0) / a + (v - v1) / a + (b.length - accelDistance - decelDistance) / v;
    const double peak = std::sqrt(std::max(
        {(2.0 * a * b.length + b.entrySquared + exitSquared) / 2.0, b.entrySquared, exitSquared}));
    return (peak - v0) / a + (peak - v1) / a;
}

// Plans moves as they come, over the last kPlannerBlocks of them like GRBL's block
// buffer: the newest move must be able to stop at its end, and the oldest one runs
// (its time is counted) once the buffer is full.
class Planner {
public:
    explicit Planner(const Limits& limits) : limits_(limits) {}

    void moveTo(const Vec3& to, bool isRapid, double feedPerMinute) {
        Block b;
        b.length = std::sqrt((to.x - at_.x) * (to.x - at_.x) + (to.y - at_.y) * (to.y - at_.y) +
                             (to.z - at_.z) * (to.z - at_.z));
        if (!(b.length > 0.0)) return;
        b.unit = {(to.x - at_.x) / b.length, (to.y - at_.y) / b.length, (to.z - at_.z) / b.length};
        const double feed = feedPerMinute / 60.0;
        b.nominalSpeed =
            isRapid ? limits_.rapidSpeed
                    : (feed > 0.0 ? std::min(feed, limits_.maxFeedSpeed) : limits_.maxFeedSpeed);
        b.isRapid = isRapid;
        b.acceleration = accelerationAlong(b.unit, limits_.acceleration);
        b.maxEntrySquared = hasPrevious_ ? junctionSquared(previous_, b, limits_) : 0.0;
        previous_ = b;
        hasPrevious_ = true;
        at_ = to;
        window_.push_back(b);
        replan();
        if (window_.size() > kPlannerBlocks) runOldest();
    }
    void jumpTo(const Vec3& to) { at_ = to; }
    const Vec3& at() const { return at_; }
    const Limits& limits() const { return limits_; }

    RunTimeEstimate finish() {
        while (!window_.empty()) runOldest();
        return estimate_;
    }

private:
    // Backward: every move can slow down in time for the next corner and for a stop at
    // the end of the buffer. Forward: every move can reach its entry speed from the one
    // before. The oldest move's entry is already fixed.
    void replan() {
        double exitSquared = 0.0;
        for (std::size_t k = window_.size(); k-- > 1;) {
            Block& b = window_[k];
            b.entrySquared =
                std::min(b.maxEntrySquared, exitSquared + 2.0 * b.acceleration * b.length);
            exitSquared = b.entrySquared;
        }
        for (std::size_t k = 0; k + 1 < window_.size(); ++k) {
            const Block& b = window_[k];
            Block& next = window_[k + 1];
            next.entrySquared =
                std::min(next.entrySquared, b.entrySquared + 2.0 * b.acceleration * b.length);
        }
    }
    void runOldest() {
        const Block& b = window_.front();
        const double exitSquared = window_.size() > 1 ? window_[1].entrySquared : 0.0;
        (b.isRapid ? estimate_.rapidSeconds : estimate_.feedSeconds) +=
            blockSeconds(b, exitSquared);
        window_.pop_front();
    }

    // GRBL 1.1's planner buffer.
    static constexpr std::size_t kPlannerBlocks = 16;
    Limits limits_;
    Vec3 at_;
    Block previous_;
    bool hasPrevious_ = false;
    std::deque<Block> window_;
    RunTimeEstimate estimate_;
};

// An arc as chords no farther than the arc tolerance from it (helical in z).
void addArc(Planner& planner, const gcode::GCodeArc& arc, const Vec3& end, double feed) {
    const double sweep = arc.endAngle - arc.startAngle;
    const double r = arc.radius;
    const double tol = std::min(planner.limits().arcTolerance, r);
    const double chordAngle = r > 0.0 ? 2.0 * std::acos(std::max(-1.0, 1.0 - tol / r)) : kPi;
    const double wanted = chordAngle > 0.0 ? std::ceil(std::abs(sweep) / chordAngle) : 1.0;
    const auto count = static_cast<int>(std::clamp(wanted, 1.0, 100000.0));
    const Vec3 start = planner.at();
    for (int k = 1; k < count; ++k) {
        const double t = static_cast<double>(k) / count;
        const double angle = arc.startAngle + sweep * t;
        planner.moveTo({arc.centreX + r * std::cos(angle), arc.centreY + r * std::sin(angle),
                        start.z + (end.z - start.z) * t},
                       false, feed);
    }
    planner.moveTo(end, false, feed);
}

}  // namespace

RunTimeEstimate EstimateRunTime(const gcode::DncReadResult& read, const MachineLimits& limits,
                                JobUnits units) {
    Planner planner(limitsIn(limits, units));
    std::size_t nextArc = 0;
    for (std::size_t k = 0; k < read.moves.size(); ++k) {
        const gcode::GCodeMove& m = read.moves[k];
        const Vec3 to{m.x, m.y, m.z};
        if (m.code == gcode::kFeedChangeCode) continue;
        if (m.code == gcode::kBeforeMotionCode) {
            planner.jumpTo(to);
        } else if (gcode::isArcCode(m.code)) {
            while (nextArc < read.arcs.size() && read.arcs[nextArc].move < k) ++nextArc;
            if (nextArc < read.arcs.size() && read.arcs[nextArc].move == k)
                addArc(planner, read.arcs[nextArc], to, m.feed);
            else
                planner.moveTo(to, false, m.feed);
        } else {
            planner.moveTo(to, m.code == gcode::kRapidCode, m.feed);
        }
    }
    return planner.finish();
}

RunTimeEstimate EstimateProgramText(std::string_view text, const MachineProfile& profile,
                                    JobUnits units) {
    RunTimeEstimate estimate = EstimateRunTime(gcode::ReadDncText(text), profile.limits, units);
    if (profile.startsSpindle) estimate.dwellSeconds = profile.dwellSeconds;
    return estimate;
}

std::string DurationText(double seconds) {
    const double rounded = std::isfinite(seconds) ? std::nearbyint(std::max(0.0, seconds)) : 0.0;
    const auto total = static_cast<long long>(rounded);
    const long long h = total / 3600, m = total / 60 % 60, s = total % 60;
    std::string text = std::to_string(h) + ":";
    if (m < 10) text += "0";
    text += std::to_string(m) + ":";
    if (s < 10) text += "0";
    text += std::to_string(s);
    return text;
}

}  // namespace quarvel::machine
