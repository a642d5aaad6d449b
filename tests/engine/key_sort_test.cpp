#include "engine/key_sort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "geom/quick_sort.h"

namespace quarvel::engine {
namespace {

// Keys drawn from a few values (long runs of equal keys, where the order the sort leaves
// them in depends on every exchange), from many values, already in order, reversed, all
// equal, and with keys that are not numbers.
std::vector<double> keys(int kind, std::size_t n, std::mt19937& rng) {
    std::vector<double> out(n);
    std::uniform_int_distribution<int> few(0, 6), many(0, 1000000);
    for (std::size_t k = 0; k < n; ++k) {
        switch (kind) {
            case 0: out[k] = few(rng); break;
            case 1: out[k] = many(rng) / 7.0; break;
            case 2: out[k] = static_cast<double>(k / 3); break;
            case 3: out[k] = static_cast<double>(n - k / 5); break;
            case 4: out[k] = 2.5; break;
            default:
                out[k] = few(rng) == 0 ? std::numeric_limits<double>::quiet_NaN() : few(rng);
                break;
        }
    }
    return out;
}

TEST(QuickSortKeys, LeavesExactlyTheOrderOfThePlainQuicksort) {
    std::mt19937 rng{99};
    for (std::size_t n : {1u, 2u, 255u, 256u, 257u, 300u, 1000u, 4099u, 20000u}) {
        for (int kind = 0; kind < 6; ++kind) {
            const std::vector<double> k = keys(kind, n, rng);
            std::vector<KeyEntry> fast, plain;
            for (std::size_t i = 0; i < n; ++i) fast.push_back({k[i], i});
            plain = fast;
            // Also part of a list: the range leaves some elements out at both ends.
            const auto low = static_cast<std::int64_t>(n > 40 ? 7 : 0);
            const auto high = static_cast<std::int64_t>(n > 40 ? n - 11 : n - 1);
            quickSortKeys(fast, low, high, [] { return false; });
            quickSortBy(
                plain, low, high, [](const KeyEntry& e) { return e.key; }, [] { return false; });
            for (std::size_t i = 0; i < n; ++i)
                ASSERT_EQ(fast[i].position, plain[i].position)
                    << "n " << n << " kind " << kind << " at " << i;
        }
    }
}

TEST(QuickSortKeys, StoppedAtTheSamePointLeavesTheSameOrder) {
    std::mt19937 rng{5};
    const std::vector<double> k = keys(0, 5000, rng);
    for (int stopAfter : {1, 2, 5, 40}) {
        std::vector<KeyEntry> fast, plain;
        for (std::size_t i = 0; i < k.size(); ++i) fast.push_back({k[i], i});
        plain = fast;
        int fastAsked = 0, plainAsked = 0;
        EXPECT_FALSE(quickSortKeys(fast, 0, 4999, [&] { return ++fastAsked > stopAfter; }));
        EXPECT_FALSE(quickSortBy(
            plain, 0, 4999, [](const KeyEntry& e) { return e.key; },
            [&] { return ++plainAsked > stopAfter; }));
        for (std::size_t i = 0; i < k.size(); ++i) ASSERT_EQ(fast[i].position, plain[i].position);
    }
}

}  // namespace
}  // namespace quarvel::engine
