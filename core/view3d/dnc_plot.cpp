#include "view3d/dnc_plot.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quarvel::view3d {

namespace {

constexpr double kArcTolerancePx = 0.5;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

class PlotBuilder {
public:
    PlotBuilder(const ModelScale& scale, DncPlot& plot) : scale_(scale), plot_(plot) {}

    void line(const gcode::GCodeMove& m, PlotPen pen) {
        plot_.points.push_back({ModelToPanel(scale_, m.x, m.y, m.z), pen});
    }

    // Chords along the circle; the last one ends on the recorded end point, which
    // may lie a little off the circle.
    void arc(const gcode::GCodeMove& m, const gcode::GCodeArc& a, double startZ) {
        const double sweep = a.endAngle - a.startAngle;
        const int pieces = ArcPieces(a.radius * scale_.scale, sweep);
        for (int k = 1; k < pieces; ++k) {
            const double t = static_cast<double>(k) / pieces;
            const double angle = a.startAngle + sweep * t;
            plot_.points.push_back(
                {ModelToPanel(scale_, a.centreX + a.radius * std::cos(angle),
                              a.centreY + a.radius * std::sin(angle), startZ + (m.z - startZ) * t),
                 PlotPen::Feed});
        }
        line(m, PlotPen::Feed);
    }

private:
    const ModelScale& scale_;
    DncPlot& plot_;
};

}  // namespace

int ArcPieces(double radiusPx, double sweep) {
    const double turn = std::min(std::fabs(sweep), kTwoPi);
    if (!(radiusPx > kArcTolerancePx) || !(turn > 0)) return 1;
    // A chord of angle a strays r(1 - cos(a/2)) from its circle.
    const double step =
        std::max(2.0 * std::acos(1.0 - kArcTolerancePx / radiusPx), kTwoPi / kMostArcPieces);
    return std::clamp(static_cast<int>(std::ceil(turn / step)), 1, kMostArcPieces);
}

DncPlot DncPlotPoints(const gcode::DncReadResult& read, const ModelScale& scale) {
    DncPlot plot;
    plot.origin = ModelToPanel(scale, 0.0, 0.0, 0.0);
    plot.points.reserve(read.moves.size());
    PlotBuilder builder(scale, plot);
    auto arc = read.arcs.begin();
    double z = 0.0;  // of the position before the move
    for (std::size_t index = 0; index < read.moves.size(); ++index) {
        const gcode::GCodeMove& m = read.moves[index];
        switch (m.code) {
            case gcode::kRapidCode: builder.line(m, PlotPen::Rapid); break;
            case gcode::kFeedCode: builder.line(m, PlotPen::Feed); break;
            case gcode::kClockwiseArcCode:
            case gcode::kCounterClockwiseArcCode:
                while (arc != read.arcs.end() && arc->move < index) ++arc;
                if (arc != read.arcs.end() && arc->move == index) {
                    builder.arc(m, *arc, z);
                } else {
                    builder.line(m, PlotPen::Feed);
                }
                break;
            case gcode::kFeedChangeCode: continue;  // carries no position
            default: break;
        }
        z = m.z;
    }
    return plot;
}

ProjectedPlot ProjectPlot(const DncPlot& plot, const Projection& projection) {
    ProjectedPlot out;
    const PanelPoint& o = plot.origin;
    out.origin = Project(projection, o.x, o.y, o.z);
    out.points.reserve(plot.points.size());
    for (const PlotPoint& p : plot.points) {
        out.points.push_back({Project(projection, p.at.x, p.at.y, p.at.z), p.pen});
    }
    return out;
}

}  // namespace quarvel::view3d
