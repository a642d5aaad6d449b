// Reading every format at its own depth, writing every format back, and the reasons
// given for files that cannot be read.
#include "imaging/picture_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "imaging/rgb_load.h"
#include "text/error.h"

namespace quarvel::imaging {
namespace {

namespace fs = std::filesystem;

std::string sample(const std::string& name) {
    return std::string(QUARVEL_TEST_DATA) + "/imaging/" + name;
}

fs::path scratchDir() {
    const fs::path dir =
        fs::temp_directory_path() /
        ("quarvel-imaging-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

struct ReadCase {
    const char* file;
    const char* format;
    int bits;
    int dpi;
};

class ReadPictureFormats : public ::testing::TestWithParam<ReadCase> {};

// The samples were made by ImageMagick's own encoder from its built-in 'rose' picture,
// cropped to 32 x 24; planar1.pcx and planar4.pcx, which it cannot write, come from our
// PCX writer.
TEST_P(ReadPictureFormats, KeepsTheFilesDepthAndResolution) {
    const ReadCase c = GetParam();
    const DecodedPicture p = ReadPicture(sample(c.file));
    EXPECT_EQ(p.format, c.format);
    EXPECT_EQ(p.image.width, 32);
    EXPECT_EQ(p.image.height, 24);
    EXPECT_EQ(p.image.bitCount, c.bits);
    EXPECT_EQ(p.image.xResDpi, c.dpi);
    EXPECT_EQ(p.image.yResDpi, c.dpi);
    if (c.bits < 24) {
        EXPECT_LE(p.image.palette.size(), std::size_t{1} << c.bits);
        for (std::uint8_t index : p.image.pixels) ASSERT_LT(index, p.image.palette.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Samples, ReadPictureFormats,
    ::testing::Values(ReadCase{"p1.bmp", "BMP", 1, 0}, ReadCase{"p4.bmp", "BMP", 4, 0},
                      ReadCase{"p8.bmp", "BMP", 8, 300},  // 11811 px/m rounds to 300 dpi
                      ReadCase{"rgb.bmp", "BMP", 24, 96}, ReadCase{"rgb.jpg", "JPEG", 24, 0},
                      ReadCase{"rgb150.jpg", "JPEG", 24, 150}, ReadCase{"cmyk.jpg", "JPEG", 24, 0},
                      ReadCase{"grey.jpg", "JPEG", 8, 0}, ReadCase{"mono.tif", "TIFF", 1, 0},
                      ReadCase{"four.tif", "TIFF", 4, 0}, ReadCase{"pal.tif", "TIFF", 8, 0},
                      ReadCase{"grey.tif", "TIFF", 8, 0}, ReadCase{"rgb.tif", "TIFF", 24, 72},
                      ReadCase{"four.gif", "GIF", 4, 0}, ReadCase{"pal.gif", "GIF", 8, 0},
                      ReadCase{"pal.pcx", "PCX", 8, 0}, ReadCase{"planar1.pcx", "PCX", 1, 0},
                      ReadCase{"planar4.pcx", "PCX", 4, 0}, ReadCase{"rgb.pcx", "PCX", 24, 0},
                      ReadCase{"rgb.png", "PNG", 24, 0}, ReadCase{"grey.png", "PNG", 8, 0},
                      ReadCase{"alpha.png", "PNG", 24, 0}, ReadCase{"deep.png", "PNG", 24, 0}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& ch : name)
            if (ch == '.') ch = '_';
        return name;
    });

TEST(ReadPicture, SharedSamplesThatImageMagickCannotWrite) {
    const std::string dir = std::string(QUARVEL_SHARED_DATA) + "/images/";
    if (!std::filesystem::exists(dir + "uemf.wmf"))
        GTEST_SKIP() << "no shared samples beside the project";
    const DecodedPicture wmf = ReadPicture(dir + "uemf.wmf");
    EXPECT_EQ(wmf.format, "WMF");
    EXPECT_EQ(wmf.image.bitCount, 24);
    EXPECT_GT(wmf.image.width, 0);
    // Both PCX samples declare 8 bits per pixel in one plane, whatever their palette.
    for (const char* name : {"x1.pcx", "x4.pcx"}) {
        const DecodedPicture pcx = ReadPicture(dir + name);
        EXPECT_EQ(pcx.image.bitCount, 8) << name;
        EXPECT_EQ(pcx.image.width, 200) << name;
        EXPECT_EQ(pcx.image.xResDpi, 150) << name;
    }
}

TEST(ReadPicture, AlphaIsLaidOnWhite) {
    // alpha.png is the rose at 50 % opacity: every channel lies half way to white.
    const Bgr24 seen = LoadBgr24(sample("alpha.png"));
    const Bgr24 solid = LoadBgr24(sample("rgb.png"));
    ASSERT_EQ(seen.bytes.size(), solid.bytes.size());
    for (std::size_t i = 0; i < seen.bytes.size(); ++i)
        ASSERT_NEAR(seen.bytes[i], (solid.bytes[i] + 255) / 2.0, 1.5) << i;
}

TEST(ReadPicture, CmykBecomesRedGreenBlue) {
    const Bgr24 cmyk = LoadBgr24(sample("cmyk.jpg"));
    const Bgr24 rgb = LoadBgr24(sample("rgb.png"));
    ASSERT_EQ(cmyk.bytes.size(), rgb.bytes.size());
    for (int channel = 0; channel < 3; ++channel) {
        double a = 0, b = 0;
        for (std::size_t i = static_cast<std::size_t>(channel); i < rgb.bytes.size(); i += 3) {
            a += cmyk.bytes[i];
            b += rgb.bytes[i];
        }
        EXPECT_NEAR(a / b, 1.0, 0.05) << channel;  // same mean colour, JPEG loss aside
    }
}

struct WriteCase {
    const char* source;
    const char* extension;
    int bitsAfter;
    friend void PrintTo(const WriteCase& c, std::ostream* os) {
        *os << c.source << " as " << c.extension;
    }
};

class WritePictureFormats : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WritePictureFormats, RoundTripKeepsDepthSizeAndResolution) {
    const WriteCase c = GetParam();
    PixelImage image = ReadPicture(sample(c.source)).image;
    image.xResDpi = 200;
    image.yResDpi = 100;
    const std::string out = (scratchDir() / (std::string("out.") + c.extension)).string();
    WritePicture(image, out, FileTypeOf(out));
    const PixelImage back = ReadPicture(out).image;
    EXPECT_EQ(back.bitCount, c.bitsAfter);
    EXPECT_EQ(back.width, image.width);
    EXPECT_EQ(back.height, image.height);
    EXPECT_EQ(back.xResDpi, 200);
    EXPECT_EQ(back.yResDpi, 100);
    if (std::string(c.extension) != "jpg") {
        // Lossless formats give back the very same colours.
        EXPECT_EQ(ExpandTo24(back).pixels, ExpandTo24(image).pixels);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WritePictureFormats,
    ::testing::Values(WriteCase{"p1.bmp", "bmp", 1}, WriteCase{"p4.bmp", "bmp", 4},
                      WriteCase{"p8.bmp", "bmp", 8}, WriteCase{"rgb.bmp", "bmp", 24},
                      WriteCase{"p1.bmp", "pcx", 1}, WriteCase{"p4.bmp", "pcx", 4},
                      WriteCase{"p8.bmp", "pcx", 8}, WriteCase{"rgb.bmp", "pcx", 24},
                      WriteCase{"p1.bmp", "tif", 1}, WriteCase{"p4.bmp", "tif", 4},
                      WriteCase{"p8.bmp", "tif", 8}, WriteCase{"rgb.bmp", "tif", 24},
                      WriteCase{"grey.png", "jpg", 8}, WriteCase{"p4.bmp", "jpg", 24},
                      WriteCase{"rgb.bmp", "jpg", 24}),
    [](const auto& info) {
        std::string name = std::string(info.param.source) + "_" + info.param.extension;
        for (char& ch : name)
            if (ch == '.') ch = '_';
        return name;
    });

TEST(FileTypeOf, UsesTheExtensionInAnyCase) {
    EXPECT_EQ(FileTypeOf("a.Bmp"), kFormatBmp);
    EXPECT_EQ(FileTypeOf("/x/y/pic.JPG"), kFormatJpeg);
    EXPECT_EQ(FileTypeOf("pic.jpeg"), kFormatJpeg);
    EXPECT_EQ(FileTypeOf("pic.Pcx"), kFormatPcx);
    EXPECT_EQ(FileTypeOf("pic.TIF"), kFormatTiff);
    EXPECT_EQ(FileTypeOf("pic.tiff"), kFormatTiff);
    EXPECT_EQ(FileTypeOf("pic.x"), kFormatUnknown);
    EXPECT_EQ(FileTypeOf("pic"), kFormatUnknown);
}

TEST(WritePicture, FailureLeavesTheOldFileAlone) {
    const fs::path dir = scratchDir();
    const std::string target = (dir / "keep.bmp").string();
    { std::ofstream(target) << "old"; }
    const PixelImage image = ReadPicture(sample("rgb.bmp")).image;
    EXPECT_THROW(WritePicture(image, target, 99), InvalidInput);
    EXPECT_THROW(WritePicture(PixelImage{}, target, kFormatBmp), InvalidInput);
    EXPECT_THROW(WritePicture(image, (dir / "no/such/dir/x.bmp").string(), kFormatBmp), IoError);
    std::ifstream in(target);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

struct BadFile {
    const char* name;
    std::string bytes;
    const char* reason;
};

TEST(ReadPicture, BadFilesGiveAClearReason) {
    const fs::path dir = scratchDir();
    std::ifstream whole(sample("rgb.tif"), std::ios::binary);
    const std::string tif((std::istreambuf_iterator<char>(whole)),
                          std::istreambuf_iterator<char>());
    std::ifstream bmpIn(sample("rgb.bmp"), std::ios::binary);
    const std::string bmp((std::istreambuf_iterator<char>(bmpIn)),
                          std::istreambuf_iterator<char>());
    const BadFile cases[] = {
        {"empty.bmp", "", "empty file"},
        {"text.png", "this is not a picture at all", "not a picture"},
        {"notes.txt", "plain words", "not a picture"},
        {"cut.tif", tif.substr(0, tif.size() / 3), "cannot read picture"},
        {"cut.bmp", bmp.substr(0, 60), "cannot read picture"},
    };
    for (const BadFile& c : cases) {
        const std::string path = (dir / c.name).string();
        std::ofstream(path, std::ios::binary) << c.bytes;
        try {
            ReadPicture(path);
            ADD_FAILURE() << c.name << " was read";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
    EXPECT_THROW(ReadPicture((dir / "missing.bmp").string()), IoError);
    EXPECT_THROW(LoadBgr24((dir / "missing.bmp").string()), Error);
}

TEST(LoadBgr24, GivesBlueGreenRedRowsTopFirst) {
    const fs::path dir = scratchDir();
    PixelImage image = MakeImage(2, 2, 8);
    image.palette = {{255, 0, 0}, {0, 0, 255}};  // red, blue
    image.pixels = {0, 1, 1, 0};
    image.xResDpi = 50;
    image.yResDpi = 60;
    const std::string path = (dir / "tiny.bmp").string();
    WritePicture(image, path, kFormatBmp);
    const Bgr24 bgr = LoadBgr24(path);
    EXPECT_EQ(bgr.width, 2);
    EXPECT_EQ(bgr.height, 2);
    EXPECT_EQ(bgr.xResDpi, 50);
    EXPECT_EQ(bgr.yResDpi, 60);
    const std::vector<std::uint8_t> expected{0, 0, 255, 255, 0, 0, 255, 0, 0, 0, 0, 255};
    EXPECT_EQ(bgr.bytes, expected);
}

}  // namespace
}  // namespace quarvel::imaging
