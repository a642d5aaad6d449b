#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "platform/portability.h"

namespace quarvel::platform {
namespace {

TEST(HugePages, ReserveKeepsTheContentsAndNeverShrinks) {
    std::vector<std::uint32_t> list(1000);
    std::iota(list.begin(), list.end(), 7u);
    const std::size_t large = kHugePageWorthwhile / sizeof(std::uint32_t) * 3 + 5;
    reserveOnHugePages(list, large);
    ASSERT_GE(list.capacity(), large);
    EXPECT_EQ(list.size(), 1000u);
    EXPECT_EQ(list.front(), 7u);
    EXPECT_EQ(list.back(), 1006u);
    // The advised room is written like any other.
    list.resize(large, 3u);
    EXPECT_EQ(list.back(), 3u);
    const std::size_t capacity = list.capacity();
    reserveOnHugePages(list, 10);
    EXPECT_EQ(list.capacity(), capacity);
}

TEST(HugePages, AdviceOnOddRangesIsHarmless) {
    std::vector<std::uint8_t> bytes(kHugePageWorthwhile + 12345, 9);
    adviseHugePages(bytes.data() + 1, bytes.size() - 3);  // neither end on a page
    adviseHugePages(bytes.data(), 100);                   // too small to matter
    adviseHugePages(nullptr, kHugePageWorthwhile * 2);
    EXPECT_EQ(bytes[5], 9);
    EXPECT_EQ(bytes.back(), 9);
}

}  // namespace
}  // namespace quarvel::platform
