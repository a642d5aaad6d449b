#include "gcode/dnc_summary.h"

#include <cmath>

namespace quarvel::gcode {

namespace {

double segmentLength(const GCodeMove& from, const GCodeMove& to) {
    const double dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double arcLength(const GCodeArc& arc, double dz) {
    return std::hypot(arc.radius * std::abs(arc.endAngle - arc.startAngle), dz);
}

}  // namespace

DncSummary SummariseDnc(const DncReadResult& read) {
    DncSummary s;
    GCodeMove at;  // the origin
    std::size_t nextArc = 0;
    for (std::size_t k = 0; k < read.moves.size(); ++k) {
        const GCodeMove& m = read.moves[k];
        switch (m.code) {
            case kFeedChangeCode: ++s.feedChanges; continue;
            case kRapidCode:
                ++s.rapidMoves;
                s.rapidLength += segmentLength(at, m);
                break;
            case kFeedCode:
                ++s.feedMoves;
                s.feedLength += segmentLength(at, m);
                break;
            case kClockwiseArcCode:
            case kCounterClockwiseArcCode:
                ++(m.code == kClockwiseArcCode ? s.clockwiseArcs : s.counterClockwiseArcs);
                while (nextArc < read.arcs.size() && read.arcs[nextArc].move < k) ++nextArc;
                if (nextArc < read.arcs.size() && read.arcs[nextArc].move == k)
                    s.feedLength += arcLength(read.arcs[nextArc], m.z - at.z);
                break;
            default: ++s.movesBeforeMotion; break;
        }
        at = m;
    }
    return s;
}

}  // namespace quarvel::gcode
