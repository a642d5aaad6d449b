#include "machine/run_time_estimate.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

class BlockList {
public:
    explicit BlockList(const Limits& limits) : limits_(limits) {}

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
        b.maxEntrySquared = blocks_.empty() ? 0.0 : junctionSquared(blocks_.back(), b, limits_);
        blocks_.push_back(b);
        at_ = to;
    }
    void jumpTo(const Vec3& to) { at_ = to; }
    const Vec3& at() const { return at_; }
    std::vector<Block>& blocks() { return blocks_; }
    const Limits& limits() const { return limits_; }

private:
    Limits limits_;
    Vec3 at_;
    std::vector<Block> blocks_;
};

// An arc as chords no farther than the arc tolerance from it (helical in z).
void addArc(BlockList& list, const gcode::GCodeArc& arc, const Vec3& end, double feed) {
    const double sweep = arc.endAngle - arc.startAngle;
    const double r = arc.radius;
    const double tol = std::min(list.limits().arcTolerance, r);
    const double chordAngle = r > 0.0 ? 2.0 * std::acos(std::max(-1.0, 1.0 - tol / r)) : kPi;
    const double wanted = chordAngle > 0.0 ? std::ceil(std::abs(sweep) / chordAngle) : 1.0;
    const auto count = static_cast<int>(std::clamp(wanted, 1.0, 100000.0));
    const Vec3 start = list.at();
    for (int k = 1; k < count; ++k) {
        const double t = static_cast<double>(k) / count;
        const double angle = arc.startAngle + sweep * t;
        list.moveTo({arc.centreX + r * std::cos(angle), arc.centreY + r * std::sin(angle),
                     start.z + (end.z - start.z) * t},
                    false, feed);
    }
    list.moveTo(end, false, feed);
}

// Entry speeds: no faster than the corner allows, than stopping by the end of the
// program allows (backward pass), or than speeding up from the start allows (forward).
void planSpeeds(std::vector<Block>& blocks) {
    double exitSquared = 0.0;
    for (std::size_t k = blocks.size(); k-- > 0;) {
        Block& b = blocks[k];
        b.entrySquared = std::min(b.maxEntrySquared, exitSquared + 2.0 * b.acceleration * b.length);
        exitSquared = b.entrySquared;
    }
    for (std::size_t k = 0; k + 1 < blocks.size(); ++k) {
        const Block& b = blocks[k];
        Block& next = blocks[k + 1];
        next.entrySquared =
            std::min(next.entrySquared, b.entrySquared + 2.0 * b.acceleration * b.length);
    }
}

// Time of a trapezoid (or triangle) speed profile from v0 to v1 over the block.
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

}  // namespace

RunTimeEstimate EstimateRunTime(const gcode::DncReadResult& read, const MachineLimits& limits,
                                JobUnits units) {
    BlockList list(limitsIn(limits, units));
    std::size_t nextArc = 0;
    for (std::size_t k = 0; k < read.moves.size(); ++k) {
        const gcode::GCodeMove& m = read.moves[k];
        const Vec3 to{m.x, m.y, m.z};
        if (m.code == gcode::kFeedChangeCode) continue;
        if (m.code == gcode::kBeforeMotionCode) {
            list.jumpTo(to);
        } else if (gcode::isArcCode(m.code)) {
            while (nextArc < read.arcs.size() && read.arcs[nextArc].move < k) ++nextArc;
            if (nextArc < read.arcs.size() && read.arcs[nextArc].move == k)
                addArc(list, read.arcs[nextArc], to, m.feed);
            else
                list.moveTo(to, false, m.feed);
        } else {
            list.moveTo(to, m.code == gcode::kRapidCode, m.feed);
        }
    }
    std::vector<Block>& blocks = list.blocks();
    planSpeeds(blocks);
    RunTimeEstimate estimate;
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        const double exitSquared = k + 1 < blocks.size() ? blocks[k + 1].entrySquared : 0.0;
        const double seconds = blockSeconds(blocks[k], exitSquared);
        (blocks[k].isRapid ? estimate.rapidSeconds : estimate.feedSeconds) += seconds;
    }
    return estimate;
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
