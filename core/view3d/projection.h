#pragma once
// Projection of integer 3D panel points onto the screen under a panel's view options.
// Pure arithmetic over plain values; the canvas widget only draws what this returns.
#include "view3d/view_options.h"

namespace quarvel::view3d {

// A pixel rectangle; right and bottom are one past the last column and row.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Margins in percent of the client width (left, right) or height (top, bottom).
struct ChartMargins {
    int left = 3, top = 4, right = 3, bottom = 4;
};

struct ScreenPoint {
    int x = 0, y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The chart rectangle inside `client`: each side moved in by `border` pixels and by its
// margin percentage of the client width or height (integer product, then division
// truncating). A right side left of the left side becomes left + 1, one equal to it
// becomes left + client width; likewise bottom against top.
PixelRect ChartRect(const PixelRect& client, int border, const ChartMargins& margins = {});

// Everything one paint projects with. Computed once per paint from the options.
struct Projection {
    bool orthogonal = true;
    double zoom = 1.0;           // Zoom x 0.01
    int xc = 0, yc = 0, zc = 0;  // projection centre
    int xo = 0, yo = 0;          // screen offsets: centre plus HorizOffset, VertOffset
    double pf = 0.0;             // perspective factor: Perspective / 35000, or 0
    // Rotated mode terms (left 0 in orthogonal mode).
    double xx = 0, xy = 0, xz = 0;
    double yx = 0, yy = 0, yz = 0;
    double px = 0, pz = 0, sE = 0;
};

// The guard that keeps the screen axes' own terms from being exactly 0: a value whose
// magnitude is below 0.00001 becomes 0.00001 with its own sign (0 counts as positive).
double NonZeroTerm(double value);

// The projection of one paint: zoom from the options (1.0 when `options` is null),
// centre at the middle of `chart` (halves truncated towards 0), zc = depth / 2.
Projection MakeProjection(const TView3DOptions* options, const PixelRect& chart, int depth = 0);

// A value beyond +-2^30 held at that bound (NaN gives 0), so that far-off points stay
// drawable integers.
int ClampedPixel(double value);

// Rounds to the nearest integer, halves to even, held within +-2^30.
inline int RoundToPixel(double value) {
    constexpr double kLimit = 1073741824.0;        // 2^30
    constexpr double kShift = 6755399441055744.0;  // 1.5 x 2^52
    if (!(value < kLimit && value > -kLimit)) return ClampedPixel(value);
    // Near 1.5 x 2^52 doubles are whole numbers, so the sum is rounded to an integer in the
    // default mode, to nearest with halves to even, as nearbyint would (but inline).
    return static_cast<int>((value + kShift) - kShift);
}

// Projects the integer panel point (x, y, z). Rotated mode:
//   X = round((dx*xx + dy*xy + dz*xz) * s) + xo,  Y = round((dx*yx + dy*yy + dz*yz) * s) + yo
// with d = point - centre and s = zoom * (1 - pf*(dx*px - dy*sE + dz*pz)) (s = zoom when
// pf is 0). Orthogonal mode: X = round(zoom*(x + z - xc)) + xo, Y = round((y - yc - z)*zoom) + yo.
inline ScreenPoint Project(const Projection& p, int x, int y, int z) {
    if (p.orthogonal) {
        return {RoundToPixel(p.zoom * static_cast<double>(x + z - p.xc)) + p.xo,
                RoundToPixel(static_cast<double>(y - p.yc - z) * p.zoom) + p.yo};
    }
    const double dx = x - p.xc, dy = y - p.yc, dz = z - p.zc;
    double s = p.zoom;
    if (p.pf > 0) s = p.zoom * (1 - p.pf * (dx * p.px - dy * p.sE + dz * p.pz));
    return {RoundToPixel((dx * p.xx + dy * p.xy + dz * p.xz) * s) + p.xo,
            RoundToPixel((dx * p.yx + dy * p.yy + dz * p.yz) * s) + p.yo};
}

// The offsets (HorizOffset, VertOffset) that put the panel point (x, y, z) at the
// chart centre under `p` (whose own offsets are ignored).
ScreenPoint OffsetsToCentre(const Projection& p, int x, int y, int z);

}  // namespace quarvel::view3d
