#include "view3d/projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quarvel::view3d {

namespace {

constexpr double kSmallestTerm = 0.00001;
constexpr double kPixelLimit = 1073741824.0;  // 2^30
constexpr double kPerspectiveDivisor = 35000.0;

// One side of the chart rectangle when it would come out empty or inverted.
int keepSideApart(int low, int high, int clientSize) {
    if (high < low) return low + 1;
    if (high == low) return low + clientSize;
    return high;
}

void setRotationTerms(Projection& p, const TView3DOptions& o) {
    const double toRadians = std::numbers::pi / 180.0;
    const double sE = std::sin(o.Elevation * toRadians), cE = std::cos(o.Elevation * toRadians);
    const double sT = std::sin(o.Tilt * toRadians), cT = std::cos(o.Tilt * toRadians);
    const double sR = std::sin(o.Rotation * toRadians), cR = std::cos(o.Rotation * toRadians);
    p.xx = NonZeroTerm(sT * sR * sE + cR * cT);
    p.xy = cE * sT;
    p.xz = sT * cR * sE - sR * cT;
    p.yx = sR * cT * sE - sT * cR;
    p.yy = NonZeroTerm(cE * cT);
    p.yz = cR * cT * sE + sT * sR;
    p.px = cE * sR;
    p.pz = cE * cR;
    p.sE = sE;
}

}  // namespace

PixelRect ChartRect(const PixelRect& client, int border, const ChartMargins& margins) {
    const int width = client.width(), height = client.height();
    PixelRect c;
    c.left = client.left + border + margins.left * width / 100;
    c.top = client.top + border + margins.top * height / 100;
    c.right = client.right - border - margins.right * width / 100;
    c.bottom = client.bottom - border - margins.bottom * height / 100;
    c.right = keepSideApart(c.left, c.right, width);
    c.bottom = keepSideApart(c.top, c.bottom, height);
    return c;
}

double NonZeroTerm(double value) {
    if (std::fabs(value) >= kSmallestTerm) return value;
    return value < 0 ? -kSmallestTerm : kSmallestTerm;
}

Projection MakeProjection(const TView3DOptions* options, const PixelRect& chart, int depth) {
    Projection p;
    p.zoom = options ? options->Zoom * 0.01 : 1.0;
    p.orthogonal = options ? options->Orthogonal : true;
    p.xc = (chart.left + chart.right) / 2;
    p.yc = (chart.top + chart.bottom) / 2;
    p.zc = depth / 2;
    p.xo = p.xc + (options ? options->HorizOffset : 0);
    p.yo = p.yc + (options ? options->VertOffset : 0);
    if (options && options->Perspective > 0) p.pf = options->Perspective / kPerspectiveDivisor;
    if (options && !p.orthogonal) setRotationTerms(p, *options);
    return p;
}

int ClampedPixel(double value) {
    if (std::isnan(value)) return 0;
    if (std::fabs(value) < kPixelLimit) return static_cast<int>(std::nearbyint(value));
    return static_cast<int>(std::copysign(kPixelLimit, value));
}

ScreenPoint OffsetsToCentre(const Projection& p, int x, int y, int z) {
    Projection plain = p;
    plain.xo = 0;
    plain.yo = 0;
    const ScreenPoint at = Project(plain, x, y, z);
    return {-at.x, -at.y};
}

}  // namespace quarvel::view3d
