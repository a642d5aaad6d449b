// Planar PCX pictures keep their palette colours.
#include "imaging/pcx_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "imaging/raw_writers.h"

namespace quarvel::imaging::detail {
namespace {

PixelImage twoColours(int bits, std::vector<PaletteEntry> palette) {
    PixelImage image = MakeImage(10, 3, bits);
    image.palette = std::move(palette);
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<std::uint8_t>(i % image.palette.size());
    return image;
}

TEST(ReadPlanarPcx, KeepsPaletteColoursAtOneAndFourBits) {
    const PixelImage cases[] = {
        twoColours(1, {{255, 0, 0}, {0, 0, 255}}),
        twoColours(4, {{0, 0, 0}, {10, 20, 30}, {200, 100, 50}, {1, 2, 3}, {9, 9, 9}}),
    };
    for (const PixelImage& image : cases) {
        std::ostringstream file;
        WritePcx(image, file);
        PixelImage back;
        ASSERT_TRUE(ReadPlanarPcx(file.str(), back)) << image.bitCount;
        EXPECT_EQ(back.bitCount, image.bitCount);
        EXPECT_EQ(back.width, 10);
        EXPECT_EQ(ExpandTo24(back).pixels, ExpandTo24(image).pixels) << image.bitCount;
    }
}

TEST(ReadPlanarPcx, EmptyTwoColourPaletteMeansBlackAndWhite) {
    std::string file(128, '\0');
    file[0] = 0x0A;
    file[1] = 5;
    file[2] = 1;
    file[3] = 1;
    file[8] = 7;  // 8 x 1 pixels
    file[65] = 1;
    file[66] = 2;                                 // two bytes per line
    file += std::string{'\xC1', '\xF0', '\x00'};  // 1111 0000, then padding
    PixelImage image;
    ASSERT_TRUE(ReadPlanarPcx(file, image));
    EXPECT_EQ(image.bitCount, 1);
    EXPECT_EQ(image.palette[1], (PaletteEntry{255, 255, 255}));
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{1, 1, 1, 1, 0, 0, 0, 0}));
    file.pop_back();  // the line is now cut short
    EXPECT_FALSE(ReadPlanarPcx(file, image));
    file[10] = '\xFF';  // 65536 rows from a few bytes of data
    file[11] = '\xFF';
    EXPECT_FALSE(ReadPlanarPcx(file, image));
}

TEST(ReadPlanarPcx, LeavesOtherPcxFormsToTheGeneralDecoder) {
    PixelImage eight = twoColours(8, {{1, 1, 1}, {2, 2, 2}});
    std::ostringstream file;
    WritePcx(eight, file);
    PixelImage image;
    EXPECT_FALSE(ReadPlanarPcx(file.str(), image));
    EXPECT_FALSE(ReadPlanarPcx("BM not a pcx", image));
}

}  // namespace
}  // namespace quarvel::imaging::detail
