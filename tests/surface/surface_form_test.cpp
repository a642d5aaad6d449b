#include "surface/surface_form.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "text/error.h"

namespace quarvel::surface {
namespace {

using F = SurfaceField;

// A 200 x 100 picture at 100 pixels per unit: the DXF grid has a frame (202 x 102).
TEST(SurfaceJobForm, DefaultsOfDxfSurface) {
    const SurfaceJobForm form(202, 102, {200, 100, 100, 100}, JobModeCode::DxfSurface);
    EXPECT_EQ(form.text(F::SizeX), "2.01");
    EXPECT_EQ(form.text(F::SizeY), "1.01");
    EXPECT_EQ(form.text(F::StepX), "0.010");
    EXPECT_EQ(form.text(F::StepY), "0.010");
    EXPECT_EQ(form.aspectRatio(), 2.0);
    EXPECT_TRUE(form.keepAspectRatio());
    EXPECT_TRUE(form.useGougeControl());
    EXPECT_EQ(form.text(F::Depth), ".25");
    EXPECT_EQ(form.text(F::DepthPerPass), ".25");
    EXPECT_EQ(form.text(F::Feedrate), "10");
    EXPECT_EQ(form.text(F::RapidHeight), ".1");
    EXPECT_EQ(form.text(F::ToolType), "End Mill");
    EXPECT_EQ(form.text(F::Diameter), ".125");
}

TEST(SurfaceJobForm, DefaultsOfGCode) {
    const SurfaceJobForm form(200, 100, {200, 100, 100, 100}, JobModeCode::GCode);
    EXPECT_EQ(form.text(F::SizeX), "1.99");
    EXPECT_EQ(form.text(F::SizeY), "0.99");
}

struct ResolutionCase {
    int xRes, yRes, expectedX, expectedY;
};
class FormResolution : public testing::TestWithParam<ResolutionCase> {};

TEST_P(FormResolution, MissingValuesAreFilledIn) {
    const auto k = GetParam();
    const SurfaceJobForm form(201, 101, {201, 101, k.xRes, k.yRes}, JobModeCode::GCode);
    EXPECT_EQ(form.xRes(), k.expectedX);
    EXPECT_EQ(form.yRes(), k.expectedY);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormResolution,
                         testing::Values(ResolutionCase{0, 0, 100, 100},
                                         ResolutionCase{0, 72, 72, 72},
                                         ResolutionCase{300, 0, 300, 300},
                                         ResolutionCase{50, 200, 50, 200}));

TEST(SurfaceJobForm, SizeLinksOtherFieldsAndStepIsHeldToOneCell) {
    SurfaceJobForm form(200, 100, {200, 100, 100, 100}, JobModeCode::GCode);
    form.type(F::SizeX, "4");
    EXPECT_EQ(form.text(F::SizeX), "4");
    EXPECT_EQ(form.text(F::SizeY), "2.000");
    EXPECT_EQ(form.text(F::StepX), "0.020");
    EXPECT_EQ(form.text(F::StepY), "0.020");
    form.type(F::StepX, "0.001");
    EXPECT_EQ(form.text(F::StepX), "0.001");
    EXPECT_EQ(form.text(F::StepY), "0.020");
    form.type(F::StepY, "9");  // more than the whole size: held to Size Y
    EXPECT_EQ(form.text(F::StepX), "2.000");
    form.type(F::SizeY, "1");
    EXPECT_EQ(form.text(F::SizeX), "2.000");
    EXPECT_EQ(form.text(F::StepX), "0.010");
    EXPECT_EQ(form.text(F::StepY), "0.010");
}

TEST(SurfaceJobForm, UncheckedBoxLinksNothingButDepthStillCopies) {
    SurfaceJobForm form(200, 100, {200, 100, 100, 100}, JobModeCode::DxfSurface);
    form.setKeepAspectRatio(false);
    form.type(F::SizeX, "4");
    form.type(F::StepY, "0.5");
    EXPECT_EQ(form.text(F::SizeY), "0.99");
    EXPECT_EQ(form.text(F::StepX), "0.010");
    form.type(F::Depth, ".5");
    EXPECT_EQ(form.text(F::DepthPerPass), "0.500");
    form.type(F::SizeX, "abc");  // not a number: nothing else changes
    EXPECT_EQ(form.text(F::SizeY), "0.99");
}

TEST(SurfaceJobForm, JobValuesHoldStepsToOneCellAndRoundCounts) {
    SurfaceJobForm form(200, 100, {200, 100, 100, 100}, JobModeCode::GCode);
    form.type(F::SizeX, "4");
    form.type(F::StepX, "0.001");  // Step Y becomes 0.020; Step X stays 0.001 as typed
    const SurfaceJobValues v = form.readJobValues();
    EXPECT_EQ(v.stepX, 4.0 / 200);
    EXPECT_EQ(v.stepY, 0.02);
    EXPECT_EQ(v.nx, 199);
    EXPECT_EQ(v.ny, 100);
    EXPECT_EQ(v.depthPerPass, 0.25);
    EXPECT_EQ(v.feed, 10.0);
    EXPECT_EQ(v.rapidHeight, 0.1);
}

TEST(SurfaceJobForm, CountsRoundHalvesToEven) {
    SurfaceJobForm form(200, 100, {200, 100, 100, 100}, JobModeCode::GCode);
    form.setKeepAspectRatio(false);
    form.type(F::SizeX, "5");
    form.type(F::StepX, "2");  // 2.5 -> 2, nx = 1
    form.type(F::SizeY, "3");
    form.type(F::StepY, "2");  // 1.5 -> 2
    const SurfaceJobValues v = form.readJobValues();
    EXPECT_EQ(v.nx, 1);
    EXPECT_EQ(v.ny, 2);
}

struct RefusalCase {
    F field;
    const char* text;
    JobModeCode mode;
};
class FormRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(FormRefusal, UnsoundValuesAreRefused) {
    const auto k = GetParam();
    SurfaceJobForm form(200, 100, {200, 100, 100, 100}, k.mode);
    form.setKeepAspectRatio(false);
    form.type(k.field, k.text);
    EXPECT_THROW(form.readJobValues(), InvalidInput);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormRefusal,
                         testing::Values(RefusalCase{F::SizeX, "0", JobModeCode::GCode},
                                         RefusalCase{F::SizeY, "-1", JobModeCode::DxfSurface},
                                         RefusalCase{F::Depth, "0", JobModeCode::DxfSurface},
                                         RefusalCase{F::DepthPerPass, "0", JobModeCode::GCode},
                                         RefusalCase{F::DepthPerPass, "-.1", JobModeCode::GCode},
                                         RefusalCase{F::DepthPerPass, "1e-9", JobModeCode::GCode},
                                         RefusalCase{F::StepX, "4", JobModeCode::GCode},
                                         RefusalCase{F::Feedrate, "ten", JobModeCode::GCode},
                                         RefusalCase{F::SizeX, "nan", JobModeCode::GCode},
                                         RefusalCase{F::StepY, "", JobModeCode::DxfSurface}));

struct ReasonCase {
    F field;
    const char* text;
    const char* message;
};
class FormReason : public testing::TestWithParam<ReasonCase> {};

// Values whose results overflow, vanish or endanger the machine: the message names the
// field and the real reason.
TEST_P(FormReason, RefusalNamesTheFieldAndTheReason) {
    const auto k = GetParam();
    SurfaceJobForm form(200, 100, {200, 100, 100, 100}, JobModeCode::GCode);
    form.setKeepAspectRatio(false);
    form.type(k.field, k.text);
    try {
        form.readJobValues();
        ADD_FAILURE() << "accepted " << k.text;
    } catch (const InvalidInput& e) {
        EXPECT_EQ(std::string(e.what()), k.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormReason,
    testing::Values(
        ReasonCase{F::RapidHeight, "-.1", "Rapid Height must not be below 0 (the top of the work)"},
        ReasonCase{F::Feedrate, "0", "Feedrate must be more than 0"},
        ReasonCase{F::Feedrate, "2000000",
                   "Feedrate is too large: more than 1000000 (more digits than a controller "
                   "reads)"},
        ReasonCase{F::Depth, "1e308", "Depth is too large: more than 1000000000"},
        ReasonCase{F::Depth, "1e400", "Depth is too large: '1e400'"},
        ReasonCase{F::SizeY, "5e-324",
                   "Size Y is too small: one pixel would be less than "
                   "0.000000001 units"},
        ReasonCase{F::StepX, "1e300", "Step X is too large: more than 1000000000"}));

TEST(SurfaceJobForm, PictureOnePixelAcrossIsTooSmallForGCode) {
    for (const auto& [columns, rows] : {std::pair{1, 1}, std::pair{30000, 1}}) {
        SurfaceJobForm form(columns, rows, {columns, rows, 0, 0}, JobModeCode::GCode);
        try {
            form.readJobValues();
            ADD_FAILURE() << columns << " x " << rows;
        } catch (const InvalidInput& e) {
            EXPECT_NE(std::string(e.what()).find(
                          "the picture is too small (it needs at least 2 pixels in each "
                          "direction)"),
                      std::string::npos)
                << e.what();
        }
    }
}

TEST(SurfaceJobForm, LongTextIsQuotedShortInTheMessage) {
    SurfaceJobForm form(200, 100, {200, 100, 100, 100}, JobModeCode::GCode);
    form.type(F::Feedrate, std::string(100000, 'x'));
    try {
        form.readJobValues();
        ADD_FAILURE();
    } catch (const InvalidInput& e) {
        EXPECT_EQ(std::string(e.what()), "Feedrate is not a number: '" + std::string(80, 'x') +
                                             "...' (100000 characters)");
    }
}

TEST(SurfaceJobForm, DepthPerPassIsNotReadForDxf) {
    SurfaceJobForm form(202, 102, {200, 100, 100, 100}, JobModeCode::DxfSurface);
    form.type(F::DepthPerPass, "0");
    EXPECT_NO_THROW(form.readJobValues());
}

TEST(SurfaceJobForm, GougeSettings) {
    SurfaceJobForm form(200, 100, {200, 100, 100, 100}, JobModeCode::GCode);
    form.type(F::ToolType, "60 Deg V");
    form.type(F::Diameter, " .25 ");
    GougeSettings g = form.readGouge();
    EXPECT_TRUE(g.enabled);
    EXPECT_EQ(g.kind, ToolKind::V60);
    EXPECT_EQ(g.diameter, 0.25);
    form.type(F::Diameter, "-1");
    EXPECT_THROW(form.readGouge(), InvalidInput);
    form.setUseGougeControl(false);
    EXPECT_THROW(form.readGouge(), InvalidInput);  // negative even when not used
    form.type(F::Diameter, "x");
    EXPECT_FALSE(form.readGouge().enabled);
}

}  // namespace
}  // namespace quarvel::surface
