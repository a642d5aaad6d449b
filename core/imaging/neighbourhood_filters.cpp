#include "imaging/neighbourhood_filters.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/portability.h"

namespace quarvel::imaging {

namespace {

using Byte = std::uint8_t;

// The hot loops work on the interleaved bytes of a row: the same channel of the left and
// right neighbours lies 3 bytes away. Rows are padded with one repeated pixel at each
// end, so a[i - 3] and a[i + 3] are valid for every byte i of the row.
inline Byte clampByte(int v) { return static_cast<Byte>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Rounds sum / Div to the nearest integer (halves up) for negative sums too: the
// offset keeps the dividend positive so that integer division truncates like floor.
template <int Div>
inline int roundedDiv(int sum) {
    if constexpr (Div == 1) {
        return sum;
    } else {
        constexpr int kLift = 4096;
        return (sum + Div / 2 + Div * kLift) / Div - kLift;
    }
}

template <int K0, int K1, int K2, int K3, int K4, int K5, int K6, int K7, int K8, int Div>
inline void convolveRow(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const int sum = K0 * a[i - 3] + K1 * a[i] + K2 * a[i + 3] + K3 * b[i - 3] + K4 * b[i] +
                        K5 * b[i + 3] + K6 * c[i - 3] + K7 * c[i] + K8 * c[i + 3];
        out[i] = clampByte(roundedDiv<Div>(sum));
    }
}

QUARVEL_AVX2_CLONES
void sharpenRow(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    convolveRow<-1, -1, -1, -1, 26, -1, -1, -1, -1, 18>(a, b, c, out, n);
}
QUARVEL_AVX2_CLONES
void sharpenMoreRow(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    convolveRow<-1, -1, -1, -1, 17, -1, -1, -1, -1, 9>(a, b, c, out, n);
}
QUARVEL_AVX2_CLONES
void sharpenMaxRow(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    convolveRow<-2, -2, -2, -2, 25, -2, -2, -2, -2, 9>(a, b, c, out, n);
}
QUARVEL_AVX2_CLONES
void softenRow(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    convolveRow<1, 1, 1, 1, 8, 1, 1, 1, 1, 16>(a, b, c, out, n);
}
QUARVEL_AVX2_CLONES
void blurRow(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    convolveRow<1, 2, 1, 2, 4, 2, 1, 2, 1, 16>(a, b, c, out, n);
}
QUARVEL_AVX2_CLONES
void blurMoreRow(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    convolveRow<1, 1, 1, 1, 1, 1, 1, 1, 1, 9>(a, b, c, out, n);
}
QUARVEL_AVX2_CLONES
void laplaceRow(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    convolveRow<-1, -1, -1, -1, 8, -1, -1, -1, -1, 1>(a, b, c, out, n);
}
QUARVEL_AVX2_CLONES
void enhanceEdgesRow(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    convolveRow<0, -1, 0, -1, 5, -1, 0, -1, 0, 1>(a, b, c, out, n);
}

inline void sortPair(Byte& x, Byte& y) {
    const Byte low = std::min(x, y);
    y = std::max(x, y);
    x = low;
}

// Median of nine by the 19-exchange network of Paeth / Devillard ("opt_med9").
QUARVEL_AVX2_CLONES
void medianRow(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        Byte p0 = a[i - 3], p1 = a[i], p2 = a[i + 3], p3 = b[i - 3], p4 = b[i], p5 = b[i + 3],
             p6 = c[i - 3], p7 = c[i], p8 = c[i + 3];
        sortPair(p1, p2);
        sortPair(p4, p5);
        sortPair(p7, p8);
        sortPair(p0, p1);
        sortPair(p3, p4);
        sortPair(p6, p7);
        sortPair(p1, p2);
        sortPair(p4, p5);
        sortPair(p7, p8);
        sortPair(p0, p3);
        sortPair(p5, p8);
        sortPair(p4, p7);
        sortPair(p3, p6);
        sortPair(p1, p4);
        sortPair(p2, p5);
        sortPair(p4, p7);
        sortPair(p4, p2);
        sortPair(p6, p4);
        sortPair(p4, p2);
        out[i] = p4;
    }
}

struct Weights {
    int k[9];
    int offset;
};

QUARVEL_AVX2_CLONES
void weightedRow(const Weights& w, const Byte* a, const Byte* b, const Byte* c, Byte* out,
                 std::size_t n) {
    const int k0 = w.k[0], k1 = w.k[1], k2 = w.k[2], k3 = w.k[3], k4 = w.k[4], k5 = w.k[5],
              k6 = w.k[6], k7 = w.k[7], k8 = w.k[8], offset = w.offset;
    for (std::size_t i = 0; i < n; ++i) {
        const int sum = k0 * a[i - 3] + k1 * a[i] + k2 * a[i + 3] + k3 * b[i - 3] + k4 * b[i] +
                        k5 * b[i + 3] + k6 * c[i - 3] + k7 * c[i] + k8 * c[i + 3];
        out[i] = clampByte(sum + offset);
    }
}

QUARVEL_AVX2_CLONES
void sobelRow(int threshold, bool darkEdges, const Byte* a, const Byte* b, const Byte* c, Byte* out,
              std::size_t n) {
    const int flip = darkEdges ? 255 : 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int gx = (a[i + 3] + 2 * b[i + 3] + c[i + 3]) - (a[i - 3] + 2 * b[i - 3] + c[i - 3]);
        const int gy = (c[i - 3] + 2 * c[i] + c[i + 3]) - (a[i - 3] + 2 * a[i] + a[i + 3]);
        int m = std::abs(gx) + std::abs(gy);
        m = m > 255 ? 255 : m;
        m = m < threshold ? 0 : m;
        out[i] = static_cast<Byte>(m ^ flip);
    }
}

// Each line mask is 3 * (its line of three) - (all nine); Orientation 0 takes the largest
// of the four. A template so that every loop has no branch inside and vectorises.
template <int Orientation>
inline void matchedLoop(const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const int sum =
            a[i - 3] + a[i] + a[i + 3] + b[i - 3] + b[i] + b[i + 3] + c[i - 3] + c[i] + c[i + 3];
        const int horizontal = 3 * (b[i - 3] + b[i] + b[i + 3]) - sum;
        const int vertical = 3 * (a[i] + b[i] + c[i]) - sum;
        const int rising = 3 * (c[i - 3] + b[i] + a[i + 3]) - sum;
        const int falling = 3 * (a[i - 3] + b[i] + c[i + 3]) - sum;
        int r = 0;
        if constexpr (Orientation == 1)
            r = horizontal;
        else if constexpr (Orientation == 2)
            r = vertical;
        else if constexpr (Orientation == 3)
            r = rising;
        else if constexpr (Orientation == 4)
            r = falling;
        else
            r = std::max(std::max(horizontal, vertical), std::max(rising, falling));
        out[i] = clampByte(r);
    }
}

QUARVEL_AVX2_CLONES
void matchedRow(int orientation, const Byte* a, const Byte* b, const Byte* c, Byte* out,
                std::size_t n) {
    switch (orientation) {
        case 1: matchedLoop<1>(a, b, c, out, n); break;
        case 2: matchedLoop<2>(a, b, c, out, n); break;
        case 3: matchedLoop<3>(a, b, c, out, n); break;
        case 4: matchedLoop<4>(a, b, c, out, n); break;
        default: matchedLoop<0>(a, b, c, out, n); break;
    }
}

QUARVEL_AVX2_CLONES
void shiftDifferenceRow(int mode, const Byte* a, const Byte* b, Byte* out, std::size_t n) {
    const Byte* q = mode == 1 ? b - 3 : (mode == 2 ? a : a - 3);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<Byte>(std::abs(b[i] - q[i]));
}

// Runs `rowFilter(above, here, below, out, bytes)` over every row of a 24-bit picture.
template <class RowFilter>
PixelImage runRows(const PixelImage& src, Progress& progress, RowFilter rowFilter) {
    PixelImage dst = MakeImage(src.width, src.height, 24);
    dst.xResDpi = src.xResDpi;
    dst.yResDpi = src.yResDpi;
    const std::size_t bytes = src.rowBytes();
    const int h = src.height;
    std::vector<Byte> store(3 * (bytes + 6));
    auto slot = [&](int y) { return store.data() + static_cast<std::size_t>(y % 3) * (bytes + 6); };
    auto load = [&](int y) {
        Byte* padded = slot(y);
        const Byte* row = src.row(y);
        std::memcpy(padded + 3, row, bytes);
        std::memcpy(padded, row, 3);
        std::memcpy(padded + 3 + bytes, row + bytes - 3, 3);
    };
    load(0);
    if (h > 1) load(1);
    RowReporter reporter(progress, h);
    for (int y = 0; y < h; ++y) {
        reporter.row(y);
        if (y >= 1 && y + 1 < h) load(y + 1);
        const Byte* above = slot(std::max(y - 1, 0)) + 3;
        const Byte* here = slot(y) + 3;
        const Byte* below = slot(std::min(y + 1, h - 1)) + 3;
        rowFilter(above, here, below, dst.row(y), bytes);
    }
    reporter.finish();
    return dst;
}

using RowFn = void (*)(const Byte*, const Byte*, const Byte*, Byte*, std::size_t);

RowFn rowFunctionOf(Kernel3x3 kernel) {
    switch (kernel) {
        case Kernel3x3::Sharpen: return sharpenRow;
        case Kernel3x3::SharpenMore: return sharpenMoreRow;
        case Kernel3x3::SharpenMax: return sharpenMaxRow;
        case Kernel3x3::Soften: return softenRow;
        case Kernel3x3::Blur: return blurRow;
        case Kernel3x3::BlurMore: return blurMoreRow;
        case Kernel3x3::Laplace: return laplaceRow;
        case Kernel3x3::EnhanceEdges: return enhanceEdgesRow;
        case Kernel3x3::Despeckle: return medianRow;
    }
    return blurRow;
}

// The compass mask for direction 1 North .. 8 North West, as +1/0/-1 by the sign of each
// neighbour's offset projected on the direction (image rows grow downwards).
Weights compassWeights(int direction, int offset) {
    static constexpr int kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    static constexpr int kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    const int d = (direction >= 1 && direction <= 8) ? direction - 1 : 0;
    Weights w{{}, offset};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const int dot = (col - 1) * kDx[d] + (row - 1) * kDy[d];
            w.k[row * 3 + col] = dot > 0 ? 1 : (dot < 0 ? -1 : 0);
        }
    }
    return w;
}

PixelImage applyCompass(const PixelImage& src, int direction, int offset, Progress& progress) {
    const Weights w = compassWeights(direction, offset);
    return runRows(src, progress,
                   [&w](const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
                       weightedRow(w, a, b, c, out, n);
                   });
}

}  // namespace

PixelImage ApplyKernel(const PixelImage& src, Kernel3x3 kernel, Progress& progress) {
    return runRows(src, progress, rowFunctionOf(kernel));
}

PixelImage ApplyEmboss(const PixelImage& src, int direction, Progress& progress) {
    return applyCompass(src, direction, 128, progress);
}

PixelImage ApplyGradientEdge(const PixelImage& src, int direction, Progress& progress) {
    return applyCompass(src, direction, 0, progress);
}

PixelImage ApplySobel(const PixelImage& src, int threshold, bool darkEdges, Progress& progress) {
    return runRows(src, progress,
                   [=](const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
                       sobelRow(threshold, darkEdges, a, b, c, out, n);
                   });
}

PixelImage ApplyMatchedFilter(const PixelImage& src, int orientation, Progress& progress) {
    return runRows(src, progress,
                   [=](const Byte* a, const Byte* b, const Byte* c, Byte* out, std::size_t n) {
                       matchedRow(orientation, a, b, c, out, n);
                   });
}

PixelImage ApplyShiftDifference(const PixelImage& src, int mode, Progress& progress) {
    return runRows(src, progress,
                   [=](const Byte* a, const Byte* b, const Byte*, Byte* out, std::size_t n) {
                       shiftDifferenceRow(mode, a, b, out, n);
                   });
}

}  // namespace quarvel::imaging
