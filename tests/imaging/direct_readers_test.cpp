// Our direct JPEG and TIFF readers must see exactly what ImageMagick sees, and hand
// every file they do not fully understand to it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

#include "imaging/jpeg_reader.h"
#include "imaging/jpeg_writer.h"
#include "imaging/magick_codec.h"
#include "imaging/picture_files.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "text/error.h"

namespace quarvel::imaging::detail {
namespace {

std::string bytesOf(const std::string& name) {
    std::ifstream in(std::string(QUARVEL_TEST_DATA) + "/imaging/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool readDirectly(const std::string& bytes, PixelImage& image, Progress& progress = NoProgress()) {
    return ReadPlainJpeg(bytes, image, progress) || ReadPlainTiff(bytes, image, progress);
}

// Same size, pixels and resolution as ImageMagick decodes; grey as the 256-level ramp.
void expectSameAsMagick(const std::string& name, const std::string& bytes,
                        const PixelImage& direct) {
    const MagickDecoded magick = DecodeWithMagick(name, bytes, "");
    ASSERT_EQ(direct.width, magick.width) << name;
    ASSERT_EQ(direct.height, magick.height) << name;
    EXPECT_EQ(direct.xResDpi, magick.xResDpi) << name;
    EXPECT_EQ(direct.yResDpi, magick.yResDpi) << name;
    if (direct.bitCount == 8) {
        EXPECT_EQ(direct.palette, GreyRamp()) << name;
        EXPECT_EQ(direct.pixels, magick.indexes) << name;
    } else {
        ASSERT_EQ(direct.bitCount, 24) << name;
        EXPECT_TRUE(direct.pixels == magick.bgr) << name;
    }
}

struct SampleCase {
    const char* file;
    bool direct;  // false: left to ImageMagick
    friend void PrintTo(const SampleCase& c, std::ostream* os) { *os << c.file; }
};

class DirectReaders : public ::testing::TestWithParam<SampleCase> {};

TEST_P(DirectReaders, AgreeWithImageMagickOrLeaveItToIt) {
    const SampleCase c = GetParam();
    const std::string bytes = bytesOf(c.file);
    ASSERT_FALSE(bytes.empty()) << c.file;
    PixelImage image;
    ASSERT_EQ(readDirectly(bytes, image), c.direct) << c.file;
    if (c.direct)
        expectSameAsMagick(c.file, bytes, image);
    else
        EXPECT_TRUE(image.empty()) << c.file;
}

INSTANTIATE_TEST_SUITE_P(
    Samples, DirectReaders,
    ::testing::Values(SampleCase{"rgb.jpg", true}, SampleCase{"rgb150.jpg", true},
                      SampleCase{"grey.jpg", true}, SampleCase{"rgb420.jpg", true},
                      SampleCase{"progressive.jpg", true}, SampleCase{"percm.jpg", true},
                      SampleCase{"density1.jpg", true}, SampleCase{"cmyk.jpg", false},
                      SampleCase{"rgb.tif", true}, SampleCase{"percm.tif", true},
                      SampleCase{"bigendian.tif", true}, SampleCase{"strips7.tif", true},
                      SampleCase{"alpha.tif", false}, SampleCase{"tiled.tif", false},
                      SampleCase{"grey.tif", false}, SampleCase{"pal.tif", false},
                      SampleCase{"mono.tif", false}, SampleCase{"rgb.png", false},
                      SampleCase{"rgb.bmp", false}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& ch : name)
            if (ch == '.') ch = '_';
        return name;
    });

TEST(DirectReaders, ReadWhatOurWritersWrite) {
    PixelImage colour = ReadPicture(std::string(QUARVEL_TEST_DATA) + "/imaging/rgb.bmp").image;
    colour.xResDpi = 300;
    colour.yResDpi = 150;
    PixelImage grey = MakeImage(33, 17, 8);
    grey.palette = GreyRamp();
    for (std::size_t i = 0; i < grey.pixels.size(); ++i)
        grey.pixels[i] = static_cast<std::uint8_t>(i * 7);
    struct Written {
        const char* name;
        std::string bytes;
    };
    std::ostringstream jpeg, greyJpeg, tiff, magickTiff;
    WriteJpeg(colour, jpeg);
    WriteJpeg(grey, greyJpeg);
    WriteTiff(colour, tiff);
    EncodeWithMagick(colour, "TIFF", magickTiff);
    for (const Written& w :
         {Written{"colour.jpg", jpeg.str()}, Written{"grey.jpg", greyJpeg.str()},
          Written{"ours.tif", tiff.str()}, Written{"magick.tif", magickTiff.str()}}) {
        PixelImage image;
        ASSERT_TRUE(readDirectly(w.bytes, image)) << w.name;
        expectSameAsMagick(w.name, w.bytes, image);
    }
}

TEST(DirectReaders, LeaveDamagedFilesToImageMagick) {
    for (const char* name : {"rgb.jpg", "progressive.jpg", "rgb.tif", "strips7.tif"}) {
        const std::string whole = bytesOf(name);
        for (std::size_t keep :
             {std::size_t{3}, std::size_t{20}, whole.size() / 2, whole.size() - 2}) {
            PixelImage image;
            EXPECT_FALSE(readDirectly(whole.substr(0, keep), image)) << name << " " << keep;
            EXPECT_TRUE(image.empty());
        }
    }
    // A JPEG header that declares a picture far larger than the data could hold.
    std::string huge = bytesOf("rgb.jpg");
    const std::size_t frame = huge.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    huge[frame + 5] = huge[frame + 6] = huge[frame + 7] = huge[frame + 8] = '\x7F';
    PixelImage image;
    EXPECT_FALSE(ReadPlainJpeg(huge, image));
}

// A sink whose gauge fails (the window went away): the failure must leave the reader.
class ThrowingSink final : public Progress {
public:
    void setPosition(int) override { throw std::runtime_error("stop"); }
    void pump() override {}
    bool cancelRequested() const override { return false; }
};

TEST(DirectReaders, ProgressSinkMayStopTheLoad) {
    for (const char* name : {"progressive.jpg", "strips7.tif"}) {
        ThrowingSink stop;
        PixelImage image;
        EXPECT_THROW(readDirectly(bytesOf(name), image, stop), std::runtime_error) << name;
        EXPECT_TRUE(image.empty()) << name;
    }
}

}  // namespace
}  // namespace quarvel::imaging::detail
