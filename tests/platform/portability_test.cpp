#include "platform/portability.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace quarvel::platform {
namespace {

constexpr std::uint64_t kAllOnes = ~std::uint64_t{0};

struct KnownProduct {
    std::uint64_t a, b;
    WideProduct expected;
};

// Carries across the halves: the largest factors, powers of two at the 32-bit seams, and
// a double's mantissa times 10000 as the fixed-point text uses it.
TEST(MultiplyWide, GivesKnownProducts) {
    const KnownProduct cases[] = {
        {0, kAllOnes, {0, 0}},
        {1, kAllOnes, {0, kAllOnes}},
        {kAllOnes, kAllOnes, {kAllOnes - 1, 1}},
        {std::uint64_t{1} << 32, std::uint64_t{1} << 32, {1, 0}},
        {std::uint64_t{1} << 63, 2, {1, 0}},
        {0xffffffffu, kAllOnes, {0xfffffffeu, 0xffffffff00000001u}},
        {std::uint64_t{1} << 52 | 12345, 10000, {0x2, 0x71000000075bb290u}},
    };
    for (const KnownProduct& c : cases) {
        const WideProduct plain = multiplyWidePlain(c.a, c.b);
        EXPECT_EQ(plain.high, c.expected.high) << c.a << " * " << c.b;
        EXPECT_EQ(plain.low, c.expected.low) << c.a << " * " << c.b;
        const WideProduct chosen = multiplyWide(c.a, c.b);
        EXPECT_EQ(chosen.high, c.expected.high) << c.a << " * " << c.b;
        EXPECT_EQ(chosen.low, c.expected.low) << c.a << " * " << c.b;
    }
}

// The plain product agrees with the one the compiler offers, and its low half is the
// ordinary wrapped product.
TEST(MultiplyWide, PlainAgreesWithChosenOnRandomFactors) {
    std::mt19937_64 rng(1234);
    std::uniform_int_distribution<int> width(1, 64);
    for (int k = 0; k < 100000; ++k) {
        const std::uint64_t a = rng() >> (64 - width(rng));
        const std::uint64_t b = rng() >> (64 - width(rng));
        const WideProduct plain = multiplyWidePlain(a, b);
        const WideProduct chosen = multiplyWide(a, b);
        ASSERT_EQ(plain.high, chosen.high) << a << " * " << b;
        ASSERT_EQ(plain.low, chosen.low) << a << " * " << b;
        ASSERT_EQ(plain.low, a * b);
    }
}

}  // namespace
}  // namespace quarvel::platform
