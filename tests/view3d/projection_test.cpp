// Projection of panel points: the zero-angle identity, rounding halves to even, the
// guarded axis terms (Elevation 90, turned views), chart rectangles of small panels,
// perspective and the oblique projection.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "view3d/projection.h"

using namespace quarvel::view3d;

namespace {

TView3DOptions flatView(int zoom = 100) {
    TView3DOptions o;
    o.Orthogonal = false;
    o.Perspective = 0;
    o.Rotation = 0;
    o.Elevation = 0;
    o.Tilt = 0;
    o.Zoom = zoom;
    return o;
}

const PixelRect kChart{10, 20, 110, 220};  // centre (60, 120)

}  // namespace

TEST(ChartRect, MarginsArePercentagesTruncated) {
    EXPECT_EQ(ChartRect({0, 0, 400, 250}, 0), (PixelRect{12, 10, 388, 240}));
    // 3 % of 150 is 4.5 and 4 % of 30 is 1.2: both truncated; the border comes on top.
    EXPECT_EQ(ChartRect({0, 0, 150, 30}, 1), (PixelRect{5, 2, 145, 28}));
    EXPECT_EQ(ChartRect({5, 7, 405, 257}, 0), (PixelRect{17, 17, 393, 247}));
}

TEST(ChartRect, PanelNarrowerThanItsMarginsStillHasAnArea) {
    // Width 1: the right side falls left of the left side and becomes left + 1.
    EXPECT_EQ(ChartRect({0, 0, 1, 1}, 1), (PixelRect{1, 1, 2, 2}));
    // Width 2: the sides meet and the right one moves out by the client width.
    EXPECT_EQ(ChartRect({0, 0, 2, 2}, 1), (PixelRect{1, 1, 3, 3}));
}

TEST(Projection, ZeroAnglesShiftAndZoomOnly) {
    const TView3DOptions o = flatView(150);
    const Projection p = MakeProjection(&o, kChart);
    EXPECT_EQ(p.xc, 60);
    EXPECT_EQ(p.yc, 120);
    // X = dx * zoom + xo, Y = dy * zoom + yo; z has no part in it.
    EXPECT_EQ(Project(p, 70, 100, 5), (ScreenPoint{75, 90}));
    EXPECT_EQ(Project(p, 70, 100, -500), (ScreenPoint{75, 90}));
    TView3DOptions shifted = o;
    shifted.HorizOffset = 7;
    shifted.VertOffset = -3;
    EXPECT_EQ(Project(MakeProjection(&shifted, kChart), 70, 100, 5), (ScreenPoint{82, 87}));
}

TEST(Projection, HalvesRoundToEven) {
    const TView3DOptions o = flatView(50);
    const Projection p = MakeProjection(&o, kChart);
    EXPECT_EQ(Project(p, 63, 120, 0).x, 62);   // 1.5 -> 2
    EXPECT_EQ(Project(p, 65, 120, 0).x, 62);   // 2.5 -> 2
    EXPECT_EQ(Project(p, 57, 120, 0).x, 58);   // -1.5 -> -2
    EXPECT_EQ(Project(p, 60, 125, 0).y, 122);  // 2.5 -> 2
}

TEST(Projection, NoOptionsDrawsOneUnitPerPixel) {
    const Projection p = MakeProjection(nullptr, kChart);
    EXPECT_EQ(p.zoom, 1.0);
    EXPECT_EQ(Project(p, 63, 125, 0), (ScreenPoint{63, 125}));
}

TEST(Projection, ElevationNinetyGivesAThinBand) {
    TView3DOptions o = flatView();
    o.Elevation = 90;
    const Projection p = MakeProjection(&o, kChart);
    EXPECT_EQ(p.yy, 0.00001);
    // Every height on the screen plane lands on the same row; depth spreads it.
    EXPECT_EQ(Project(p, 60, 0, 0).y, 120);
    EXPECT_EQ(Project(p, 60, 1120, 0).y, 120);
    EXPECT_EQ(Project(p, 60, 120, 30).y, 150);
}

TEST(NonZeroTerm, SmallValuesKeepTheirSign) {
    const struct {
        double in, out;
    } cases[] = {{0.0, 0.00001},        {-0.0, 0.00001},    {1e-9, 0.00001}, {-1e-9, -0.00001},
                 {-0.000009, -0.00001}, {0.00001, 0.00001}, {-0.5, -0.5},    {0.75, 0.75}};
    for (const auto& c : cases) EXPECT_EQ(NonZeroTerm(c.in), c.out) << c.in;
}

TEST(Projection, TurnedViewsDoNotCollapse) {
    // A 200-unit line along x keeps its projected length |cos R| * 200 for turns past
    // 90 degrees too (it used to shrink to a point there).
    for (const int rotation : {0, 100, 135, 180, 200, 225, 260, 300, 345}) {
        TView3DOptions o = flatView();
        o.Rotation = rotation;
        const Projection p = MakeProjection(&o, kChart);
        const int width = Project(p, 160, 120, 0).x - Project(p, -40, 120, 0).x;
        const double expected = 200 * std::cos(rotation * 3.14159265358979 / 180);
        EXPECT_NEAR(width, expected, 1.0) << rotation;
    }
    TView3DOptions half = flatView();
    half.Rotation = 180;
    const Projection p = MakeProjection(&half, kChart);
    EXPECT_EQ(Project(p, 70, 120, 0).x, 50);  // mirrored about the centre
}

TEST(Projection, PerspectiveShrinksDeepPoints) {
    TView3DOptions o = flatView();
    const int xc = 60;
    EXPECT_EQ(Project(MakeProjection(&o, kChart), xc + 1000, 120, 350).x, xc + 1000);
    o.Perspective = 15;  // pf = 15 / 35000; s = 1 - pf * dz at zero angles
    const Projection p = MakeProjection(&o, kChart);
    EXPECT_DOUBLE_EQ(p.pf, 15.0 / 35000.0);
    EXPECT_EQ(Project(p, xc + 1000, 120, 350).x, xc + 850);
}

TEST(Projection, OrthogonalIsObliqueAndIgnoresTheAngles) {
    TView3DOptions o = flatView(200);
    o.Orthogonal = true;
    o.Rotation = 123;
    o.Elevation = 45;
    const Projection ortho = MakeProjection(&o, kChart);
    // X = round(zoom * (x + z - xc)) + xo, Y = round((y - yc - z) * zoom) + yo.
    EXPECT_EQ(Project(ortho, 63, 124, 2), (ScreenPoint{60 + 10, 120 + 4}));
    o.Orthogonal = false;
    o.Rotation = 0;
    o.Elevation = 0;
    EXPECT_EQ(Project(MakeProjection(&o, kChart), 63, 124, 2), (ScreenPoint{66, 128}));
}

TEST(Projection, FarPointsStayDrawableIntegers) {
    EXPECT_EQ(RoundToPixel(1e300), 1 << 30);
    EXPECT_EQ(RoundToPixel(-1e300), -(1 << 30));
    EXPECT_EQ(RoundToPixel(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundToPixel(-2.5), -2);
}

TEST(OffsetsToCentre, PutThePointOnTheChartCentre) {
    TView3DOptions o = flatView(80);
    o.Rotation = 345;
    o.Elevation = 300;
    o.Perspective = 15;
    const ScreenPoint offsets = OffsetsToCentre(MakeProjection(&o, kChart), 400, -90, 35);
    o.HorizOffset = offsets.x;
    o.VertOffset = offsets.y;
    EXPECT_EQ(Project(MakeProjection(&o, kChart), 400, -90, 35), (ScreenPoint{60, 120}));
}

TEST(RoundToPixel, AgreesWithNearbyInt) {
    std::mt19937 rng{1234};
    std::uniform_real_distribution<double> any(-5e8, 5e8);
    for (int i = 0; i < 10000; ++i) {
        const double v = i % 2 ? any(rng) : std::floor(any(rng)) + 0.5;  // halves too
        ASSERT_EQ(RoundToPixel(v), static_cast<int>(std::nearbyint(v))) << v;
    }
}
