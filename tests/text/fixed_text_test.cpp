#include "text/fixed_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace quarvel {
namespace {

std::string printed(double v) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.4f", v);
    return buffer;
}

std::string fast(double v) {
    std::string text;
    appendFixed4(text, v);
    return text;
}

TEST(AppendFixed4, EqualsPrintfOnSpecialValues) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {0.0,
                     -0.0,
                     1.0,
                     -1.0,
                     0.00005,
                     -0.00005,
                     0.00004999,
                     0.99995,
                     9.99995,
                     0.03125,
                     -0.03125,
                     0.09375,
                     2.5e-5,
                     1.5e-4,
                     1e-300,
                     -4.9e-324,
                     1099511627775.9999,
                     1099511627776.0,
                     1e15 + 0.3,
                     -1e20,
                     1.7976931348623157e308}) {
        EXPECT_EQ(fast(v), printed(v)) << v;
    }
    // No machine or CAD program reads "inf" or "nan": the writer refuses them.
    for (double v : {inf, -inf, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_THROW(fast(v), NonFiniteOutput) << v;
}

// Exact halves of the last place (odd multiples of 1/32 are k + 0.5 ten-thousandths) go
// to the even neighbour, as printf rounds them.
TEST(AppendFixed4, HalvesRoundToEvenLikePrintf) {
    for (int m = -4001; m <= 4001; m += 2) {
        const double v = m / 32.0;
        ASSERT_EQ(fast(v), printed(v)) << m;
        const double w = m / 32.0 + 1024.0;
        ASSERT_EQ(fast(w), printed(w)) << m;
    }
}

TEST(AppendFixed4, EqualsPrintfOnRandomValuesOfEveryMagnitude) {
    std::mt19937_64 rng(77);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> power(-30, 45);
    std::uniform_int_distribution<std::uint64_t> anyBits;
    for (int k = 0; k < 100000; ++k) {
        const double scaled = std::ldexp(unit(rng), power(rng));
        ASSERT_EQ(fast(scaled), printed(scaled)) << scaled;
        // Values near a rounding boundary: a whole number of ten-thousandths plus a hair.
        const double near = std::round(scaled * 1e4) / 1e4 + unit(rng) * 1e-9;
        ASSERT_EQ(fast(near), printed(near)) << near;
        const std::uint64_t bits = anyBits(rng);
        double raw;
        std::memcpy(&raw, &bits, sizeof raw);
        if (std::isfinite(raw))
            ASSERT_EQ(fast(raw), printed(raw)) << raw;
        else
            ASSERT_THROW(fast(raw), NonFiniteOutput) << raw;
    }
}

}  // namespace
}  // namespace quarvel
