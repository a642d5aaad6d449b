// The imaging model as the picture windows use it: depth after each kind of operation,
// undo, the crop sequence, the clipboard, progress and recovery.
#include "imaging/imaging_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quarvel::imaging {
namespace {

std::string sample(const std::string& name) {
    return std::string(QUARVEL_TEST_DATA) + "/imaging/" + name;
}

// A model with its own clipboard, holding one of the samples.
struct Fixture {
    MemoryClipboard clipboard;
    ImagingModel model{clipboard};
    explicit Fixture(const std::string& file) {
        EXPECT_TRUE(model.LoadImage(sample(file), 0)) << model.LastError();
    }
};

struct DepthCase {
    const char* name;
    std::function<void(ImagingModel&)> run;
    int from1, from4, from8, from24;  // bit count left for each starting depth
};

class DepthAfterOperation : public ::testing::TestWithParam<DepthCase> {};

TEST_P(DepthAfterOperation, LeavesTheDocumentedBitCount) {
    const DepthCase& c = GetParam();
    const std::pair<const char*, int> starts[] = {
        {"p1.bmp", c.from1}, {"p4.bmp", c.from4}, {"p8.bmp", c.from8}, {"rgb.bmp", c.from24}};
    for (const auto& [file, expected] : starts) {
        Fixture f(file);
        const int width = f.model.ImageWidth();
        c.run(f.model);
        EXPECT_EQ(f.model.ImageBitCount(), expected) << c.name << " on " << file;
        EXPECT_EQ(f.model.UndoCount(), 1) << c.name << " on " << file;
        EXPECT_EQ(f.model.ImageXRes(), f.model.Picture().xResDpi);
        const PixelImage& im = f.model.Picture();
        EXPECT_EQ(im.pixels.size(), im.rowBytes() * static_cast<std::size_t>(im.height));
        if (im.bitCount < 24) {
            ASSERT_LE(im.palette.size(), std::size_t{1} << im.bitCount) << c.name;
            for (std::uint8_t index : im.pixels) ASSERT_LT(index, im.palette.size()) << c.name;
        }
        if (std::string(c.name) != "Rotate90" && std::string(c.name) != "Resize") {
            EXPECT_EQ(f.model.ImageWidth(), width) << c.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Operations, DepthAfterOperation,
    ::testing::Values(
        DepthCase{"ConvertColorsPopularity", [](ImagingModel& m) { m.ConvertColors(1); }, 8, 8, 8,
                  8},
        DepthCase{"ConvertColorsMedianCut", [](ImagingModel& m) { m.ConvertColors(2); }, 8, 8, 8,
                  8},
        DepthCase{"ConvertColors884", [](ImagingModel& m) { m.ConvertColors(4); }, 8, 8, 8, 8},
        DepthCase{"ConvertColors666", [](ImagingModel& m) { m.ConvertColors(8); }, 8, 8, 8, 8},
        DepthCase{"ConvertColorsGrey", [](ImagingModel& m) { m.ConvertColors(16); }, 8, 8, 8, 8},
        DepthCase{"ConvertColorsBlackWhite", [](ImagingModel& m) { m.ConvertColors(32); }, 1, 1, 1,
                  1},
        DepthCase{"ConvertColorsSixteen", [](ImagingModel& m) { m.ConvertColors(64); }, 4, 4, 4, 4},
        DepthCase{"ConvertColorsHalftone", [](ImagingModel& m) { m.ConvertColors(128); }, 8, 8, 8,
                  8},
        DepthCase{"ConvertTo24Bit", [](ImagingModel& m) { m.ConvertTo24Bit(); }, 24, 24, 24, 24},
        DepthCase{"ConvertTo8Colors", [](ImagingModel& m) { m.ConvertTo8Colors(100); }, 4, 4, 4, 4},
        DepthCase{"ReduceGrayLevels", [](ImagingModel& m) { m.ReduceGrayLevels(16); }, 8, 8, 8, 8},
        DepthCase{"GrayscaleWeighted", [](ImagingModel& m) { m.Grayscale(4, 0.3f, 0.59f, 0.11f); },
                  1, 4, 8, 24},
        DepthCase{"Negative", [](ImagingModel& m) { m.Negative(0); }, 1, 4, 8, 24},
        DepthCase{"Posterize", [](ImagingModel& m) { m.Posterize(2); }, 1, 4, 8, 24},
        DepthCase{"AdjustColor", [](ImagingModel& m) { m.AdjustColor(50, 0, -20); }, 1, 4, 8, 24},
        DepthCase{"Brightness", [](ImagingModel& m) { m.Brightness(10, 3); }, 1, 4, 8, 24},
        DepthCase{"Contrast", [](ImagingModel& m) { m.Contrast(2, 253, 3); }, 1, 4, 8, 24},
        DepthCase{"Sharpen", [](ImagingModel& m) { m.Sharpen(); }, 1, 4, 8, 24},
        DepthCase{"Despeckle", [](ImagingModel& m) { m.Despeckle(); }, 1, 4, 8, 24},
        DepthCase{"Emboss", [](ImagingModel& m) { m.Emboss(3); }, 1, 4, 8, 24},
        DepthCase{"Sobel", [](ImagingModel& m) { m.Sobel(10, false); }, 1, 4, 8, 24},
        DepthCase{"ShiftDifference", [](ImagingModel& m) { m.ShiftDifference(3); }, 1, 4, 8, 24},
        DepthCase{"LambertShade", [](ImagingModel& m) { m.LambertShade(45, 45, 3, 0.1f); }, 1, 4, 8,
                  24},
        DepthCase{"Rotate90", [](ImagingModel& m) { m.Rotate(90.0f); }, 1, 4, 8, 24},
        DepthCase{"Resize", [](ImagingModel& m) { m.ResizeImage(0.5); }, 1, 4, 8, 24}),
    [](const auto& info) { return std::string(info.param.name); });

PixelImage solid(int width, int height, std::uint8_t value) {
    PixelImage image = MakeImage(width, height, 24);
    std::fill(image.pixels.begin(), image.pixels.end(), value);
    return image;
}

TEST(Undo, KeepsTheNewestTenSteps) {
    for (const int steps : {10, 11}) {
        MemoryClipboard clipboard;
        ImagingModel model(clipboard);
        model.SetUndoSize(10);
        model.SetImage(solid(4, 3, 0));
        std::vector<PixelImage> before;
        for (int i = 0; i < steps; ++i) {
            before.push_back(model.Picture());
            model.Brightness(1, 3);  // each step adds 3 (1 % of 255, rounded)
        }
        EXPECT_EQ(model.UndoCount(), 10);
        for (int i = steps - 1; i >= steps - 10; --i) {
            model.Undo();
            EXPECT_EQ(model.Picture().pixels, before[static_cast<std::size_t>(i)].pixels) << i;
        }
        EXPECT_EQ(model.UndoCount(), 0);
        // After 11 steps the first one is gone: the oldest picture left has one step in it.
        EXPECT_EQ(model.Picture().pixels[0], steps == 10 ? 0 : 3);
        model.Undo();  // at the bottom: nothing happens
        EXPECT_EQ(model.Picture().pixels[0], steps == 10 ? 0 : 3);
    }
}

TEST(Clipboard, CopySelectNoneClearImagePasteCropsToTheSelection) {
    Fixture f("rgb.bmp");
    const PixelImage whole = f.model.Picture();
    f.model.SetSelection({5, 4, 10, 8});
    ASSERT_TRUE(f.model.HasSelection());
    f.model.Copy();
    f.model.SelectNone();
    EXPECT_FALSE(f.model.HasSelection());
    f.model.ClearImage();
    EXPECT_FALSE(f.model.HasImage());
    ASSERT_TRUE(f.model.Paste());
    ASSERT_EQ(f.model.ImageWidth(), 10);
    ASSERT_EQ(f.model.ImageHeight(), 8);
    EXPECT_EQ(f.model.ImageBitCount(), 24);
    for (int y = 0; y < 8; ++y)
        for (int b = 0; b < 30; ++b)
            ASSERT_EQ(f.model.Picture().row(y)[b], whole.row(y + 4)[15 + b]);
    // The selection stays on the clipboard, and one Undo brings the whole picture back.
    EXPECT_EQ(f.clipboard.getImage()->width, 10);
    f.model.Undo();
    EXPECT_EQ(f.model.Picture().pixels, whole.pixels);
}

TEST(Clipboard, SelectionIsClippedAndCutFillsWithWhite) {
    Fixture f("p8.bmp");
    f.model.SetSelection({-5, 20, 10, 50});
    EXPECT_EQ(f.model.Selection().x, 0);
    EXPECT_EQ(f.model.Selection().width, 5);
    EXPECT_EQ(f.model.Selection().height, 4);
    f.model.Cut();
    EXPECT_EQ(f.model.UndoCount(), 1);
    EXPECT_EQ(f.clipboard.getImage()->bitCount, 8);
    const PixelImage white = [] {
        PixelImage w = MakeImage(1, 1, 24);
        w.pixels = {255, 255, 255};
        return w;
    }();
    const std::uint8_t nearestWhite = MapToPalette(white, f.model.Picture().palette, 8).pixels[0];
    EXPECT_EQ(f.model.Picture().row(23)[0], nearestWhite);
    f.model.SetSelection({40, 40, 5, 5});
    EXPECT_FALSE(f.model.HasSelection());
}

TEST(Clipboard, PasteWithEmptyClipboardChangesNothing) {
    MemoryClipboard clipboard;
    ImagingModel model(clipboard);
    EXPECT_FALSE(model.Paste());
    EXPECT_FALSE(model.HasImage());
    model.Copy();  // no picture: nothing goes to the clipboard
    EXPECT_FALSE(clipboard.getImage().has_value());
}

TEST(LoadImage, FailureLeavesNoPictureAndAReason) {
    Fixture f("rgb.bmp");
    f.model.Negative(0);
    EXPECT_FALSE(f.model.LoadImage(sample("does-not-exist.bmp"), 0));
    EXPECT_FALSE(f.model.HasImage());
    EXPECT_EQ(f.model.UndoCount(), 0);
    EXPECT_NE(f.model.LastError().find("no such file"), std::string::npos);
    f.model.Sharpen();  // without a picture every operation does nothing
    f.model.Rotate(90);
    EXPECT_EQ(f.model.UndoCount(), 0);
}

TEST(Progress, ReportsAtLeastEveryTenPercentAndEndsAtTheTotal) {
    MemoryClipboard clipboard;
    ImagingModel model(clipboard);
    model.SetImage(solid(50, 200, 90));
    std::vector<std::pair<long, long>> reports;
    model.OnProgressReport = [&](long done, long total) { reports.emplace_back(done, total); };
    model.Blur();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().first, reports.back().second);
    double last = 0.0;
    for (const auto& [done, total] : reports) {
        const double share = static_cast<double>(done) / static_cast<double>(total);
        EXPECT_LE(share - last, 0.1 + 1e-9);
        last = share;
    }
}

// The event carries percentages (of 100) rounded as the status bar rounds done / total,
// halves to even, so the gauge shows what a report of rows would have shown.
TEST(Progress, RowsBecomePercentagesRoundedHalfToEven) {
    MemoryClipboard clipboard;
    ImagingModel model(clipboard);
    model.SetImage(solid(5, 8, 90));
    std::vector<std::pair<long, long>> reports;
    model.OnProgressReport = [&](long done, long total) { reports.emplace_back(done, total); };
    model.Blur();
    // Rows 1..7 of 8: 12.5 -> 12, 37.5 -> 38, 62.5 -> 62, 87.5 -> 88; then the filter's
    // end and the step's end.
    const std::vector<std::pair<long, long>> expected{{12, 100}, {25, 100},  {38, 100},
                                                      {50, 100}, {62, 100},  {75, 100},
                                                      {88, 100}, {100, 100}, {100, 100}};
    EXPECT_EQ(reports, expected);
}

// Decoders that report their rows (GIF's does not: its gauge jumps).
TEST(Progress, LoadingReportsAtLeastEveryTenPercent) {
    for (const char* file : {"rgb150.jpg", "rgb.bmp", "p8.bmp", "rgb.tif", "rgb.png", "rgb.pcx"}) {
        MemoryClipboard clipboard;
        ImagingModel model(clipboard);
        std::vector<long> percents;
        model.OnProgressReport = [&](long done, long total) {
            percents.push_back(done * 100 / total);
        };
        ASSERT_TRUE(model.LoadImage(sample(file), 0));
        ASSERT_FALSE(percents.empty()) << file;
        EXPECT_EQ(percents.back(), 100) << file;
        long last = 0;
        for (long p : percents) {
            EXPECT_LE(p - last, 10) << file;
            EXPECT_GE(p, last) << file;
            last = p;
        }
    }
}

TEST(RecoverFromError, DropsTheHalfFinishedStep) {
    MemoryClipboard clipboard;
    ImagingModel model(clipboard);
    model.SetImage(solid(8, 8, 10));
    model.Negative(0);
    const PixelImage good = model.Picture();
    model.OnProgressReport = [](long, long) { throw std::runtime_error("view failed"); };
    EXPECT_THROW(model.Blur(), std::runtime_error);
    model.OnProgressReport = nullptr;
    model.RecoverFromError();
    EXPECT_EQ(model.Picture().pixels, good.pixels);
    EXPECT_EQ(model.UndoCount(), 1);
    model.RecoverFromError();  // nothing open: nothing happens
    EXPECT_EQ(model.UndoCount(), 1);
}

TEST(Rotate, OnlyQuarterTurnsChangeThePicture) {
    MemoryClipboard clipboard;
    ImagingModel model(clipboard);
    PixelImage image = MakeImage(3, 2, 8);
    image.palette = GreyRamp(256);
    image.pixels = {1, 2, 3, 4, 5, 6};
    image.xResDpi = 100;
    image.yResDpi = 50;
    model.SetImage(image);
    model.Rotate(45.0f);
    EXPECT_EQ(model.UndoCount(), 0);
    model.Rotate(90.0f);  // clockwise
    ASSERT_EQ(model.ImageWidth(), 2);
    ASSERT_EQ(model.ImageHeight(), 3);
    EXPECT_EQ(model.Picture().pixels, (std::vector<std::uint8_t>{4, 1, 5, 2, 6, 3}));
    EXPECT_EQ(model.ImageXRes(), 50);
    model.Rotate(180.0f);
    EXPECT_EQ(model.Picture().pixels, (std::vector<std::uint8_t>{3, 6, 2, 5, 1, 4}));
    model.Rotate(-270.0f);  // a quarter turn clockwise, back to where it started
    EXPECT_EQ(model.Picture().pixels, image.pixels);
}

TEST(ResizeImage, FollowsTheRatio) {
    Fixture f("rgb.bmp");
    f.model.ResizeImage(0.5);
    EXPECT_EQ(f.model.ImageWidth(), 16);
    EXPECT_EQ(f.model.ImageHeight(), 12);
    f.model.ResizeImage(2.5);
    EXPECT_EQ(f.model.ImageWidth(), 40);
    EXPECT_EQ(f.model.ImageHeight(), 30);
    f.model.ResizeImage(0.0);  // refused
    f.model.ResizeImage(-1.0);
    f.model.ResizeImage(5000.0);  // 200000 pixels wide: refused with a reason
    EXPECT_EQ(f.model.UndoCount(), 2);
    EXPECT_EQ(f.model.ImageWidth(), 40);
    EXPECT_NE(f.model.LastError().find("too large"), std::string::npos);
}

}  // namespace
}  // namespace quarvel::imaging
