// Our direct BMP reader must see exactly what ImageMagick sees.
#include "imaging/bmp_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "imaging/magick_codec.h"
#include "imaging/picture_files.h"
#include "imaging/raw_writers.h"
#include "text/error.h"

namespace quarvel::imaging::detail {
namespace {

std::string bytesOf(const std::string& name) {
    std::ifstream in(std::string(QUARVEL_TEST_DATA) + "/imaging/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ReadPlainBmp, AgreesWithImageMagickAtEveryDepth) {
    // ImageMagick wrote p8.bmp run-length compressed, which is left to it; our own
    // writer gives the uncompressed 8-bit form.
    std::ostringstream plain8;
    PixelImage p8;
    p8.width = 32;
    p8.height = 24;
    p8.bitCount = 8;
    MagickDecoded decoded = DecodeWithMagick("p8.bmp", bytesOf("p8.bmp"), "");
    p8.palette = decoded.colourMap;
    p8.pixels = decoded.indexes;
    p8.xResDpi = p8.yResDpi = 300;
    WriteBmp(p8, plain8);
    const std::pair<std::string, std::string> samples[] = {{"p1.bmp", bytesOf("p1.bmp")},
                                                           {"p4.bmp", bytesOf("p4.bmp")},
                                                           {"p8 uncompressed", plain8.str()},
                                                           {"rgb.bmp", bytesOf("rgb.bmp")}};
    for (const auto& [name, bytes] : samples) {
        PixelImage ours;
        ASSERT_TRUE(ReadPlainBmp(bytes, ours)) << name;
        const MagickDecoded theirs = DecodeWithMagick(name, bytes, "");
        EXPECT_EQ(ExpandTo24(ours).pixels, theirs.bgr) << name;
        EXPECT_EQ(ours.xResDpi, theirs.xResDpi) << name;
    }
}

TEST(ReadPlainBmp, ReadsTopDownRows) {
    std::string bytes = bytesOf("rgb.bmp");
    PixelImage bottomUp;
    ASSERT_TRUE(ReadPlainBmp(bytes, bottomUp));
    // Negative height: the same rows stored top row first.
    const std::size_t offset = 54, stride = 32 * 3;
    std::string flipped = bytes.substr(0, offset);
    for (int r = 23; r >= 0; --r)
        flipped += bytes.substr(offset + stride * static_cast<std::size_t>(r), stride);
    const std::int32_t negative = -24;
    std::memcpy(flipped.data() + 22, &negative, 4);
    PixelImage topDown;
    ASSERT_TRUE(ReadPlainBmp(flipped, topDown));
    EXPECT_EQ(topDown.pixels, bottomUp.pixels);
}

TEST(ReadPlainBmp, LeavesDamagedFilesToTheGeneralDecoder) {
    const std::string bytes = bytesOf("p8.bmp");
    PixelImage image;
    EXPECT_FALSE(ReadPlainBmp(bytes.substr(0, bytes.size() - 10), image));
    EXPECT_FALSE(ReadPlainBmp(bytes.substr(0, 40), image));
    EXPECT_FALSE(ReadPlainBmp("GIF89a", image));
    std::string rle = bytes;
    rle[30] = 1;  // run-length compressed
    EXPECT_FALSE(ReadPlainBmp(rle, image));
    EXPECT_TRUE(image.empty());
}

// Damaged files of every kind must give a picture or a reason, never a crash.
TEST(ReadPicture, SurvivesTruncationAndFlippedBytes) {
    const auto dir = std::filesystem::temp_directory_path() / "quarvel-damaged";
    std::filesystem::create_directories(dir);
    std::mt19937 rng{1234};
    for (const char* name : {"p1.bmp", "p4.bmp", "rgb.bmp", "pal.pcx", "planar1.pcx", "planar4.pcx",
                             "rgb.tif", "pal.gif"}) {
        const std::string good = bytesOf(name);
        for (int trial = 0; trial < 40; ++trial) {
            std::string bad = good;
            if (trial % 2 == 0) {
                bad.resize(rng() % good.size());
            } else {
                for (int flips = 0; flips < 4; ++flips)
                    bad[rng() % std::min<std::size_t>(bad.size(), 140)] = static_cast<char>(rng());
            }
            const std::string path = (dir / name).string();
            std::ofstream(path, std::ios::binary | std::ios::trunc) << bad;
            try {
                const imaging::DecodedPicture p = imaging::ReadPicture(path);
                ASSERT_FALSE(p.image.empty()) << name << " trial " << trial;
                ASSERT_EQ(p.image.pixels.size(),
                          p.image.rowBytes() * static_cast<std::size_t>(p.image.height));
            } catch (const quarvel::Error&) {
                // A reason is the other sound outcome.
            }
        }
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace quarvel::imaging::detail
