#pragma once
// Gouge control as the plain triple loop: per cell, per mask row and column, with its
// early stops. The reference that the fast dilation is tested and timed against.
#include "geom/types.h"
#include "surface/tool_mask.h"

namespace quarvel::test {

inline TZGrid plainGougeControl(const TZGrid& s, const surface::TToolMask& mask) {
    TZGrid out = s;
    const int hr = (mask.rows - 1) / 2;
    const int hc = (mask.columns - 1) / 2;
    for (int r = 0; r < s.rows; ++r) {
        for (int c = 0; c < s.columns; ++c) {
            const int v = s.at(r, c);
            if (v == 255) continue;
            int raise = 0;
            for (int i = 0; i <= 2 * hr && v + raise <= 254; ++i) {
                const int rr = r - hr + i;
                if (rr < 0 || rr >= s.rows) continue;
                for (int j = 0; j <= 2 * hc; ++j) {
                    const int cc = c - hc + j;
                    if (cc < 0 || cc >= s.columns) continue;
                    const int t = s.at(rr, cc) - v - mask.at(i, j);
                    if (t > raise) {
                        raise = t;
                        if (v + raise > 254) break;
                    }
                }
            }
            out.at(r, c) = static_cast<std::uint8_t>(v + raise > 254 ? 255 : v + raise);
        }
    }
    return out;
}

}  // namespace quarvel::test
