#include "text/creation_stamp.h"

#include <gtest/gtest.h>

#include <string>

#include "text/error.h"

namespace quarvel {
namespace {

// The stamp goes into a G-code comment: plain ASCII, and never a parenthesis that would
// end the comment early, whatever locale the user runs.
TEST(CreationStamp, IsPlainAsciiWithoutParentheses) {
    const std::string stamp = CreationStamp(0);
    ASSERT_FALSE(stamp.empty());
    for (char c : stamp) {
        const auto u = static_cast<unsigned char>(c);
        EXPECT_TRUE(u >= 0x20 && u < 0x7f) << stamp;
        EXPECT_NE(c, '(');
        EXPECT_NE(c, ')');
    }
}

TEST(CreationStamp, SameTimeGivesSameText) {
    EXPECT_EQ(CreationStamp(86400 * 365), CreationStamp(86400 * 365));
    EXPECT_NE(CreationStamp(0), CreationStamp(86400 * 365 + 3723));
}

TEST(IoError, KeepsThePathAndTheBareReasonApart) {
    const IoError e("/tmp/out.dnc", "no space left on device");
    EXPECT_EQ(e.path(), "/tmp/out.dnc");
    EXPECT_EQ(e.reason(), "no space left on device");
    EXPECT_STREQ(e.what(), "/tmp/out.dnc: no space left on device");
}

}  // namespace
}  // namespace quarvel
