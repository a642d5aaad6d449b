// Pixel values of the operations, worked out by hand on tiny pictures.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/colour_reduction.h"
#include "imaging/lambert_shade.h"
#include "imaging/neighbourhood_filters.h"
#include "imaging/point_operations.h"

namespace quarvel::imaging {
namespace {

// A 24-bit picture whose three channels hold the same grey in every pixel.
PixelImage greyPicture(int width, int height, const std::vector<int>& greys) {
    PixelImage image = MakeImage(width, height, 24);
    for (std::size_t i = 0; i < greys.size(); ++i)
        for (int c = 0; c < 3; ++c)
            image.pixels[3 * i + static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(greys[i]);
    return image;
}

int greyAt(const PixelImage& image, int x, int y) { return image.row(y)[3 * x]; }

struct FlatCase {
    Kernel3x3 kernel;
    int expected;  // response on a flat picture of 100
};

TEST(Kernel3x3, FlatPictureGivesTheKernelsDcResponse) {
    const FlatCase cases[] = {
        {Kernel3x3::Sharpen, 100}, {Kernel3x3::SharpenMore, 100},  {Kernel3x3::SharpenMax, 100},
        {Kernel3x3::Soften, 100},  {Kernel3x3::Blur, 100},         {Kernel3x3::BlurMore, 100},
        {Kernel3x3::Laplace, 0},   {Kernel3x3::EnhanceEdges, 100}, {Kernel3x3::Despeckle, 100}};
    const PixelImage flat = greyPicture(5, 4, std::vector<int>(20, 100));
    for (const FlatCase& c : cases) {
        const PixelImage out = ApplyKernel(flat, c.kernel);
        for (std::uint8_t v : out.pixels) ASSERT_EQ(v, c.expected) << static_cast<int>(c.kernel);
    }
}

TEST(Kernel3x3, SinglePeakResponses) {
    // 3 x 3 picture, 0 everywhere but 90 in the middle.
    const PixelImage peak = greyPicture(3, 3, {0, 0, 0, 0, 90, 0, 0, 0, 0});
    EXPECT_EQ(greyAt(ApplyKernel(peak, Kernel3x3::Blur), 1, 1), 23);      // 90*4/16 = 22.5 -> 23
    EXPECT_EQ(greyAt(ApplyKernel(peak, Kernel3x3::Blur), 0, 0), 6);       // 90/16 = 5.6
    EXPECT_EQ(greyAt(ApplyKernel(peak, Kernel3x3::BlurMore), 2, 2), 10);  // 90/9
    EXPECT_EQ(greyAt(ApplyKernel(peak, Kernel3x3::Soften), 1, 1), 45);    // 90*8/16
    EXPECT_EQ(greyAt(ApplyKernel(peak, Kernel3x3::SharpenMore), 1, 1), 170);  // 90*17/9
    EXPECT_EQ(greyAt(ApplyKernel(peak, Kernel3x3::SharpenMore), 0, 1), 0);    // -10 clamps
    EXPECT_EQ(greyAt(ApplyKernel(peak, Kernel3x3::Sharpen), 1, 1), 130);      // 90*26/18
    EXPECT_EQ(greyAt(ApplyKernel(peak, Kernel3x3::Laplace), 1, 1), 255);      // 720 clamps
    EXPECT_EQ(greyAt(ApplyKernel(peak, Kernel3x3::Despeckle), 1, 1), 0);      // speckle gone
}

TEST(Kernel3x3, BordersRepeatTheEdgePixels) {
    // A left-to-right ramp: at the left border the repeated pixel makes the box mean
    // (0+0+10)/3 per row.
    const PixelImage ramp = greyPicture(3, 1, {0, 10, 20});
    const PixelImage out = ApplyKernel(ramp, Kernel3x3::BlurMore);
    EXPECT_EQ(greyAt(out, 0, 0), 3);
    EXPECT_EQ(greyAt(out, 1, 0), 10);
    EXPECT_EQ(greyAt(out, 2, 0), 17);
}

TEST(CompassFilters, StepLitFromTheWestOrTheEast) {
    // Dark left column, bright right columns.
    const PixelImage step = greyPicture(3, 3, {0, 60, 60, 0, 60, 60, 0, 60, 60});
    // East (3): +1 on the right neighbours, -1 on the left: 3 * 60 at the middle pixel.
    EXPECT_EQ(greyAt(ApplyGradientEdge(step, 3), 1, 1), 180);
    EXPECT_EQ(greyAt(ApplyGradientEdge(step, 7), 1, 1), 0);  // West: negative, clamped
    EXPECT_EQ(greyAt(ApplyEmboss(step, 7), 1, 1), 0);        // 128 - 180 clamps
    EXPECT_EQ(greyAt(ApplyEmboss(step, 1), 1, 1), 128);      // North sees no slope
    EXPECT_EQ(greyAt(ApplyEmboss(step, 3), 2, 1), 128);      // flat inside the bright part
}

TEST(EdgeDetectors, RespondOnlyAtTheStep) {
    const PixelImage step = greyPicture(3, 3, {0, 60, 60, 0, 60, 60, 0, 60, 60});
    const PixelImage sobel = ApplySobel(step, 10, false);
    EXPECT_EQ(greyAt(sobel, 1, 1), 240);  // |Gx| = 4 * 60
    EXPECT_EQ(greyAt(sobel, 2, 1), 0);
    EXPECT_EQ(greyAt(ApplySobel(step, 10, true), 2, 1), 255);  // inverted
    const PixelImage shifted = ApplyShiftDifference(step, 1);
    EXPECT_EQ(greyAt(shifted, 0, 0), 0);
    EXPECT_EQ(greyAt(shifted, 1, 0), 60);
    EXPECT_EQ(greyAt(shifted, 2, 0), 0);
    // A bright vertical line: the vertical mask gives 3*line - all = 3*90 - 3*90 + ...
    const PixelImage line = greyPicture(3, 3, {0, 90, 0, 0, 90, 0, 0, 90, 0});
    EXPECT_EQ(greyAt(ApplyMatchedFilter(line, 2), 1, 1), 255);  // 3*270 - 270 = 540
    EXPECT_EQ(greyAt(ApplyMatchedFilter(line, 1), 1, 1), 0);    // 3*90 - 270 = 0
    EXPECT_EQ(greyAt(ApplyMatchedFilter(line, 0), 1, 1), 255);
}

TEST(PointOperations, GreyModesAndAdjustments) {
    PixelImage px = MakeImage(1, 1, 24);
    const auto reset = [&] { px.pixels = {30, 120, 200}; };  // blue, green, red
    reset();
    ToGrey(px, 1, 0.3f, 0.5f, 0.2f);
    EXPECT_EQ(px.pixels[0], 200);
    reset();
    ToGrey(px, 2, 0.3f, 0.5f, 0.2f);
    EXPECT_EQ(px.pixels[1], 117);  // 350 / 3 = 116.7
    reset();
    ToGrey(px, 4, 0.3f, 0.59f, 0.11f);
    EXPECT_EQ(px.pixels[2], 134);  // 60 + 70.8 + 3.3 = 134.1
    reset();
    Invert(px);
    EXPECT_EQ(px.pixels, (std::vector<std::uint8_t>{225, 135, 55}));
    reset();
    PosterizeLevels(px, 2);
    EXPECT_EQ(px.pixels, (std::vector<std::uint8_t>{0, 0, 255}));
    reset();
    StretchContrast(px, 20, 220, 2);  // red only: (200-20)*255/200 = 229.5 -> 230
    EXPECT_EQ(px.pixels, (std::vector<std::uint8_t>{30, 120, 230}));
    reset();
    AddBrightness(px, 10, 0);  // blue only: + 25.5 -> +26 (halves to even)
    EXPECT_EQ(px.pixels, (std::vector<std::uint8_t>{56, 120, 200}));
    reset();
    ScaleChannels(px, 50, -100, 0);
    EXPECT_EQ(px.pixels, (std::vector<std::uint8_t>{30, 0, 255}));
}

TEST(PointOperations, ReduceGreyLevelsKeepsEightBits) {
    PixelImage grey = MakeImage(4, 1, 8);
    grey.palette = GreyRamp(256);
    grey.pixels = {0, 20, 100, 255};
    ReduceGreyLevels(grey, 3);  // levels 0, 128, 255
    EXPECT_EQ(grey.bitCount, 8);
    std::vector<int> seen;
    for (std::uint8_t i : grey.pixels) seen.push_back(grey.palette[i].red);
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 128, 255}));
}

TEST(ColourReduction, UniformAndBlackWhiteAndHalftone) {
    PixelImage px = greyPicture(2, 1, {0, 0});
    px.pixels = {255, 255, 255, 10, 200, 250};  // white; red 250 green 200 blue 10
    PixelImage uni = px;
    ASSERT_TRUE(ConvertColourMethod(uni, kColoursUniform666));
    EXPECT_EQ(uni.palette.size(), 216u);
    EXPECT_EQ(uni.pixels[0], 215);
    EXPECT_EQ(uni.pixels[1], 5 * 36 + 4 * 6 + 0);
    PixelImage bw = px;
    ASSERT_TRUE(ConvertColourMethod(bw, kColoursBlackWhite));
    EXPECT_EQ(bw.bitCount, 1);
    EXPECT_EQ(bw.pixels, (std::vector<std::uint8_t>{1, 1}));  // luminance 255 and 193
    // A flat mid grey halftones into a mix of neighbouring cube levels whose mean is it.
    PixelImage half = greyPicture(8, 8, std::vector<int>(64, 100));
    ASSERT_TRUE(ConvertColourMethod(half, kColoursHalftone));
    double sum = 0;
    for (std::uint8_t i : half.pixels) sum += half.palette[i].red;
    EXPECT_NEAR(sum / 64.0, 100.0, 3.0);
    PixelImage unknown = px;
    EXPECT_FALSE(ConvertColourMethod(unknown, 3));
    EXPECT_EQ(unknown.pixels, px.pixels);
}

TEST(ColourReduction, PopularityAndMedianCutKeepFewColoursExactly) {
    PixelImage few = greyPicture(4, 1, {0, 0, 0, 0});
    few.pixels = {0, 0, 255, 0, 255, 0, 255, 0, 0, 16, 32, 64};
    for (const std::int32_t method : {kColoursPopularity, kColoursMedianCut}) {
        PixelImage im = few;
        ASSERT_TRUE(ConvertColourMethod(im, method));
        EXPECT_EQ(im.bitCount, 8);
        EXPECT_EQ(ExpandTo24(im).pixels, few.pixels) << method;
    }
}

TEST(ColourReduction, EightColoursDitherAveragesTheGrey) {
    PixelImage mid = greyPicture(16, 16, std::vector<int>(256, 64));
    PixelImage plain = mid;
    ConvertToEightColours(plain, 0);
    for (std::uint8_t i : plain.pixels) ASSERT_EQ(i, 0);  // 64 < 128: black everywhere
    ConvertToEightColours(mid, 100);
    EXPECT_EQ(mid.bitCount, 4);
    int white = 0;
    for (std::uint8_t i : mid.pixels) white += i == 7 ? 1 : 0;
    EXPECT_NEAR(white, 64, 8);  // a quarter of the pixels
}

TEST(LambertShade, FlatPictureFacingTheLight) {
    const PixelImage flat = greyPicture(4, 4, std::vector<int>(16, 128));
    LambertParams straightDown{90.0, 0.0, 3, 0.0};
    for (std::uint8_t v : ShadeLambert(flat, straightDown).pixels) ASSERT_EQ(v, 255);
    LambertParams low{30.0, 0.0, 3, 0.0};  // sin 30 = 0.5
    for (std::uint8_t v : ShadeLambert(flat, low).pixels) ASSERT_NEAR(v, 127.5, 1.0);
    LambertParams rough{45.0, 45.0, 3, 0.5};
    EXPECT_EQ(ShadeLambert(flat, rough).pixels, ShadeLambert(flat, rough).pixels);
    EXPECT_NE(ShadeLambert(flat, rough).pixels, ShadeLambert(flat, low).pixels);
}

}  // namespace
}  // namespace quarvel::imaging
