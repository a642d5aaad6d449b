// Our own TIFF and JPEG encoders: depth, colours and resolution come back through the
// reader, the files say what readers expect, and failures leave the old file alone.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "imaging/jpeg_writer.h"
#include "imaging/picture_files.h"
#include "imaging/tiff_writer.h"
#include "text/error.h"

namespace quarvel::imaging {
namespace {

namespace fs = std::filesystem;

fs::path scratchDir() {
    const fs::path dir =
        fs::temp_directory_path() /
        ("quarvel-writers-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// Random indexes into `palette` (or random colours at 24 bits), odd sizes so that packed
// rows end part way through a byte.
PixelImage noisyPicture(int bits, std::vector<PaletteEntry> palette, int width = 37) {
    PixelImage image = MakeImage(width, 23, bits);
    image.palette = std::move(palette);
    std::mt19937 rng{7};
    for (std::uint8_t& v : image.pixels)
        v = static_cast<std::uint8_t>(bits == 24 ? rng() : rng() % image.palette.size());
    image.xResDpi = 120;
    image.yResDpi = 80;
    return image;
}

struct TiffCase {
    const char* name;
    int bits;
    std::vector<PaletteEntry> palette;
    int photometric;
    friend void PrintTo(const TiffCase& c, std::ostream* os) { *os << c.name; }
};

class TiffWriter : public ::testing::TestWithParam<TiffCase> {};

TEST_P(TiffWriter, KeepsDepthColoursAndResolution) {
    const TiffCase& c = GetParam();
    const PixelImage image = noisyPicture(c.bits, c.palette);
    const std::string path = (scratchDir() / "out.tif").string();
    WritePicture(image, path, kFormatTiff);

    const PixelImage back = ReadPicture(path).image;
    EXPECT_EQ(back.bitCount, c.bits);
    EXPECT_EQ(back.xResDpi, 120);
    EXPECT_EQ(back.yResDpi, 80);
    EXPECT_EQ(ExpandTo24(back).pixels, ExpandTo24(image).pixels);

    TIFF* tif = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tif, nullptr);
    std::uint16_t compression = 0, photometric = 0, unit = 0;
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    TIFFClose(tif);
    EXPECT_EQ(compression, COMPRESSION_LZW);
    EXPECT_EQ(photometric, c.photometric);
    EXPECT_EQ(unit, RESUNIT_INCH);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, TiffWriter,
    ::testing::Values(
        TiffCase{"rgb", 24, {}, PHOTOMETRIC_RGB},
        TiffCase{"grey8", 8, GreyRamp(256), PHOTOMETRIC_MINISBLACK},
        TiffCase{"grey4", 4, GreyRamp(16), PHOTOMETRIC_MINISBLACK},
        TiffCase{"bilevel", 1, GreyRamp(2), PHOTOMETRIC_MINISBLACK},
        TiffCase{"colour8", 8, {{1, 2, 3}, {4, 5, 6}, {255, 255, 0}}, PHOTOMETRIC_PALETTE},
        TiffCase{
            "colour4", 4, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}}, PHOTOMETRIC_PALETTE},
        TiffCase{"whiteBlack1", 1, {{255, 255, 255}, {0, 0, 0}}, PHOTOMETRIC_PALETTE},
        // Grey, but not the even ramp: stays a 4-bit palette rather than becoming 8-bit.
        TiffCase{
            "unevenGrey4", 4, {{0, 0, 0}, {77, 77, 77}, {255, 255, 255}}, PHOTOMETRIC_PALETTE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TiffWriter, NoResolutionWritesNone) {
    PixelImage image = noisyPicture(24, {});
    image.xResDpi = image.yResDpi = 0;
    const std::string path = (scratchDir() / "plain.tif").string();
    WritePicture(image, path, kFormatTiff);
    EXPECT_EQ(ReadPicture(path).image.xResDpi, 0);
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tif, nullptr);
    float x = 0;
    EXPECT_EQ(TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x), 0);
    TIFFClose(tif);
}

TEST(TiffWriter, StartsAtTheStreamsPositionAndReportsAFailedStream) {
    const PixelImage image = noisyPicture(4, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    std::ostringstream alone, afterText;
    afterText << "leading text";
    detail::WriteTiff(image, alone);
    detail::WriteTiff(image, afterText);
    EXPECT_EQ(afterText.str(), "leading text" + alone.str());

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    try {
        detail::WriteTiff(image, broken);
        ADD_FAILURE() << "written";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("cannot encode picture as TIFF"), std::string::npos);
    }
}

// The JFIF header: units at byte 13 (1 = dots per inch), then X and Y density.
struct Jfif {
    int units, x, y, components;
};

Jfif jfifOf(const std::string& b) {
    auto at = [&b](std::size_t i) { return static_cast<unsigned char>(b.at(i)); };
    Jfif j{at(13), at(14) << 8 | at(15), at(16) << 8 | at(17), 0};
    const std::size_t frame = b.find("\xFF\xC0");  // baseline start of frame
    if (frame != std::string::npos) j.components = at(frame + 9);
    return j;
}

TEST(JpegWriter, GreyPaletteGivesOneChannelAndDensityIsInInches) {
    const std::vector<PaletteEntry> grey{{0, 0, 0}, {128, 128, 128}, {255, 255, 255}};
    std::ostringstream greyOut, colourOut, plainOut;
    detail::WriteJpeg(noisyPicture(8, grey), greyOut);
    detail::WriteJpeg(noisyPicture(4, {{255, 0, 0}, {0, 0, 255}}), colourOut);
    PixelImage plain = noisyPicture(24, {});
    plain.xResDpi = plain.yResDpi = 0;
    detail::WriteJpeg(plain, plainOut);

    const Jfif g = jfifOf(greyOut.str());
    EXPECT_EQ(g.units, 1);
    EXPECT_EQ(g.x, 120);
    EXPECT_EQ(g.y, 80);
    EXPECT_EQ(g.components, 1);
    EXPECT_EQ(jfifOf(colourOut.str()).components, 3);
    EXPECT_EQ(jfifOf(plainOut.str()).units, 0);
}

TEST(JpegWriter, SmoothPictureComesBackClose) {
    PixelImage image = MakeImage(64, 48, 24);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = image.row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 4);
            p[1] = static_cast<std::uint8_t>(y * 5);
            p[2] = static_cast<std::uint8_t>(200 - x - y);
        }
    const std::string path = (scratchDir() / "smooth.jpg").string();
    WritePicture(image, path, kFormatJpeg);
    const PixelImage back = ReadPicture(path).image;
    ASSERT_EQ(back.pixels.size(), image.pixels.size());
    long worst = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        worst = std::max(worst, std::labs(long{back.pixels[i]} - long{image.pixels[i]}));
    EXPECT_LE(worst, 8);  // quality 90 without chroma subsampling
}

TEST(JpegWriter, TooWideIsRefusedAndTheOldFileKept) {
    const fs::path dir = scratchDir();
    const std::string target = (dir / "keep.jpg").string();
    { std::ofstream(target) << "old"; }
    const PixelImage wide = MakeImage(70000, 1, 24);  // JPEG stops at 65500
    try {
        WritePicture(wide, target, kFormatJpeg);
        ADD_FAILURE() << "written";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("cannot encode picture as JPEG"), std::string::npos)
            << e.what();
    }
    std::ifstream in(target);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(PictureWriters, TruncatedOutputIsReportedNotRead) {
    const fs::path dir = scratchDir();
    const PixelImage image = noisyPicture(24, {}, 301);
    for (const char* name : {"cut.jpg", "cut.tif"}) {
        const std::string whole = (dir / (std::string("whole-") + name)).string();
        WritePicture(image, whole, FileTypeOf(whole));
        const auto size = fs::file_size(whole);
        fs::copy_file(whole, dir / name);
        fs::resize_file(dir / name, size / 3);
        try {
            ReadPicture((dir / name).string());
            ADD_FAILURE() << name << " was read";
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace quarvel::imaging
