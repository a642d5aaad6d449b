// The DNC plot: scale and base line, which moves draw with which pen, arcs drawn as
// chords of their circle, the small line rasterizer and the preview picture.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gcode/dnc_reader.h"
#include "view3d/dnc_plot.h"
#include "view3d/dnc_preview.h"
#include "view3d/model_scale.h"
#include "view3d/plot_raster.h"

using namespace quarvel;
using namespace quarvel::view3d;

namespace {

int countColour(const RgbRaster& r, Rgb colour) {
    int count = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) count += r.at(x, y) == colour;
    return count;
}

}  // namespace

TEST(FitModelScale, SmallerRatioOnTheChartBottom) {
    MeshBounds b{0, 4, 0, 2, -1, 0, 2, 4};
    EXPECT_EQ(FitModelScale(b, 400, 300, 280), (ModelScale{100.0, 280}));  // 400/4 < 300/2
    b.spanY = 0;
    EXPECT_EQ(FitModelScale(b, 400, 300, 280), (ModelScale{1.0, 0}));
    const MeshBounds drawn = DrawnBounds(b);
    EXPECT_EQ(drawn.maxX, 1.0);
    EXPECT_EQ(drawn.maxY, 1.0);
    EXPECT_EQ(drawn.minZ, -1.0);
}

TEST(DraftBox, CornersAndDepthsOnThePanel) {
    const DraftBox box = DraftBoxOf({0, 2, -1, 1, -0.5, 0.25, 2, 2}, {10.0, 100});
    EXPECT_EQ(box.rect, (PixelRect{0, 110, 20, 90}));
    EXPECT_EQ(box.lowZ, -5);
    EXPECT_EQ(box.highZ, 2);  // 2.5 rounds to even
}

TEST(DncPlotPoints, RapidsAndFeedsFromTheOriginOthersDrawNothing) {
    // X5 before any motion word, and the F word, move the pen nowhere.
    const auto read = gcode::ReadDncText("X5\nF10\nG0 Z1\nG1 X1 Y2 Z-1\nX2\n");
    const DncPlot plot = DncPlotPoints(read, {10.0, 50});
    EXPECT_EQ(plot.origin, (PanelPoint{0, 50, 0}));
    ASSERT_EQ(plot.points.size(), 3u);
    EXPECT_EQ(plot.points[0], (PlotPoint{{50, 50, 10}, PlotPen::Rapid}));
    EXPECT_EQ(plot.points[1], (PlotPoint{{10, 30, -10}, PlotPen::Feed}));
    EXPECT_EQ(plot.points[2], (PlotPoint{{20, 30, -10}, PlotPen::Feed}));
}

TEST(DncPlotPoints, ArcFollowsItsCircleAndEndsOnItsEndPoint) {
    // Clockwise half turn from (0, 0) about (1, 0) to (2, 0), sinking from z 0 to -1.
    const auto read = gcode::ReadDncText("G2 X2 Y0 Z-1 I1 J0\nG1 X3\n");
    const double s = 100.0;
    const DncPlot plot = DncPlotPoints(read, {s, 0});
    ASSERT_GT(plot.points.size(), 10u);
    const PlotPoint& end = plot.points[plot.points.size() - 2];
    EXPECT_EQ(end.at, (PanelPoint{200, 0, -100}));
    EXPECT_EQ(plot.points.back().at, (PanelPoint{300, 0, -100}));
    int lastZ = 1;
    for (std::size_t k = 0; k + 1 < plot.points.size(); ++k) {
        const PlotPoint& p = plot.points[k];
        EXPECT_EQ(p.pen, PlotPen::Feed);
        // Panel y is flipped: a clockwise arc from (0, 0) passes above the centre.
        EXPECT_LE(p.at.y, 0);
        EXPECT_NEAR(std::hypot(p.at.x - 100.0, p.at.y), 100.0, 1.0);
        EXPECT_LE(p.at.z, lastZ);  // z falls evenly along the arc
        lastZ = p.at.z;
    }
}

TEST(ArcPieces, BoundedByRadiusAndTurn) {
    EXPECT_EQ(ArcPieces(0.5, std::numbers::pi), 1);  // a dot's worth of arc
    EXPECT_EQ(ArcPieces(100.0, 0.0), 1);
    EXPECT_EQ(ArcPieces(1e9, 2 * std::numbers::pi), kMostArcPieces);
    EXPECT_EQ(ArcPieces(1e9, -40.0), kMostArcPieces);  // never more than a full turn
    const int half = ArcPieces(50.0, std::numbers::pi);
    EXPECT_GT(half, 4);
    // The chord of each piece strays at most half a pixel.
    EXPECT_LE(50.0 * (1 - std::cos(std::numbers::pi / half / 2)), 0.5);
}

TEST(RgbRaster, LinesIncludeBothEndsAndAreClipped) {
    RgbRaster r(10, 8);
    r.drawLine({1, 1}, {4, 1}, kFeedColour);
    EXPECT_EQ(countColour(r, kFeedColour), 4);
    EXPECT_EQ(r.at(1, 1), kFeedColour);
    EXPECT_EQ(r.at(4, 1), kFeedColour);
    r.drawLine({7, 7}, {7, 7}, kRapidColour);
    EXPECT_EQ(countColour(r, kRapidColour), 1);
    // Far beyond the picture on both sides: only the visible row, drawn at once.
    r.drawLine({-1073741824, 5}, {1073741824, 5}, kRapidColour);
    EXPECT_EQ(countColour(r, kRapidColour), 1 + 10);
    RgbRaster empty(10, 8);
    empty.drawLine({-50, -50}, {-1, 20}, kFeedColour);
    empty.drawLine({20, 3}, {30, 3}, kFeedColour);
    EXPECT_EQ(countColour(empty, kFeedColour), 0);
}

TEST(RenderDncPreview, MatchesTheProjectedPlotAndItsColours) {
    const auto read = gcode::ReadDncText("G0 Z0.1\nX1 Y1\nG1 Z-0.1\nX3\nY2\nG0 Z0.1\n");
    for (const PresetView view : {PresetView::Top, PresetView::Isometric}) {
        const RgbRaster r = RenderDncPreview(read, {200, 100, view});
        EXPECT_GT(countColour(r, kRapidColour), 0);
        EXPECT_GT(countColour(r, kFeedColour), 0);
        // The end of the first feed move along x, as the panel of that size projects it.
        const PixelRect chart = ChartRect({0, 0, 200, 100}, kPanelBorder);
        const ModelScale scale = FitModelScale(read.bounds, 200, 100, chart.bottom);
        const TView3DOptions options = PresetOptions(view);
        const ProjectedPlot plot =
            ProjectPlot(DncPlotPoints(read, scale), MakeProjection(&options, chart));
        const ScreenPoint corner = plot.points[3].at;
        ASSERT_TRUE(corner.x >= 0 && corner.x < 200 && corner.y >= 0 && corner.y < 100);
        EXPECT_NE(r.at(corner.x, corner.y), kWhite);
    }
}

TEST(ParsePreviewSize, WholeNumbersInRange) {
    EXPECT_EQ(ParsePreviewSize("800x600"), (std::pair{800, 600}));
    EXPECT_EQ(ParsePreviewSize("1x16384"), (std::pair{1, 16384}));
    for (const char* bad : {"", "800", "800x", "x600", "0x10", "10x16385", "8o0x600", "800x600x",
                            "-5x10", "800 x600"}) {
        EXPECT_FALSE(ParsePreviewSize(bad).has_value()) << bad;
    }
}
