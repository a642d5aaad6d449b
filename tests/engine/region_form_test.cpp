#include "engine/region_form.h"

#include <gtest/gtest.h>

#include <string>

namespace quarvel::engine {
namespace {

TEST(RegionRunForm, StartsWithTheDesignedTexts) {
    const RegionRunForm form;
    EXPECT_EQ(form.text(RegionField::Width), "1");
    EXPECT_EQ(form.text(RegionField::Depth), "1");
    EXPECT_EQ(form.text(RegionField::OpDepth), "0");
    EXPECT_EQ(form.text(RegionField::ZStep), "0");
    EXPECT_EQ(form.text(RegionField::CutDepth), "0");
    EXPECT_EQ(form.text(RegionField::Feedrate), "10");
    EXPECT_EQ(form.text(RegionField::Rapid), ".25");
    EXPECT_EQ(form.text(RegionField::Reduce), "2");
    EXPECT_EQ(form.text(RegionField::CurveFit), "1");
    EXPECT_EQ(form.text(RegionField::Filter), "5");
    EXPECT_EQ(form.style(), RegionStyle::SingleDepth);
    EXPECT_FALSE(form.multipleDepths());
}

TEST(RegionRunForm, ShowResetsGroupsAndEnablingButKeepsChecksAndTexts) {
    RegionRunForm form;
    form.clickCheck(RegionCheck::Filter, true);
    form.clickStyle(RegionStyle::Topography);
    form.clickRegionDepths(true);
    form.setText(RegionField::ZStep, ".5");
    form.setUndoEnabled(true);
    form.show(true, "1.5");
    const RegionFormEnabled& on = form.enabled();
    EXPECT_TRUE(on.width && on.depth && on.opDepth && on.cutDepth);
    EXPECT_FALSE(on.zStep || on.regionDepths || on.undo);
    EXPECT_EQ(form.style(), RegionStyle::SingleDepth);
    EXPECT_FALSE(form.multipleDepths());
    EXPECT_TRUE(form.checked(RegionCheck::Filter));
    EXPECT_FALSE(form.valueEnabled(RegionCheck::Filter));  // the box keeps its tick only
    EXPECT_EQ(form.text(RegionField::OpDepth), "1.5");
    EXPECT_EQ(form.text(RegionField::ZStep), ".5");
    form.show(false, "");
    EXPECT_FALSE(form.enabled().width || form.enabled().depth);
    EXPECT_EQ(form.text(RegionField::OpDepth), "1.5");
}

struct StyleCase {
    RegionStyle style;
    bool multiple;
    bool opDepth, zStep, cutDepth, regionDepths;
};

std::string styleCaseName(const ::testing::TestParamInfo<StyleCase>& info) {
    const std::string style = info.param.style == RegionStyle::SingleDepth  ? "SingleDepth"
                              : info.param.style == RegionStyle::Topography ? "Topography"
                                                                            : "Vectorize";
    return style + (info.param.multiple ? "MultipleDepths" : "OneDepth");
}

class StyleClick : public ::testing::TestWithParam<StyleCase> {};

TEST_P(StyleClick, EnablesTheFieldsTheStyleUses) {
    const StyleCase& c = GetParam();
    RegionRunForm form;
    form.show(false, "");
    form.clickStyle(RegionStyle::Topography);  // opens the Region Depths group
    form.clickRegionDepths(c.multiple);
    form.clickStyle(c.style);
    const RegionFormEnabled& on = form.enabled();
    EXPECT_EQ(on.opDepth, c.opDepth);
    EXPECT_EQ(on.zStep, c.zStep);
    EXPECT_EQ(on.cutDepth, c.cutDepth);
    EXPECT_EQ(on.regionDepths, c.regionDepths);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, StyleClick,
    ::testing::Values(StyleCase{RegionStyle::SingleDepth, false, true, false, true, false},
                      StyleCase{RegionStyle::SingleDepth, true, true, false, true, false},
                      StyleCase{RegionStyle::Topography, false, true, true, true, true},
                      StyleCase{RegionStyle::Topography, true, true, true, false, true},
                      StyleCase{RegionStyle::Vectorize, false, false, false, true, true},
                      StyleCase{RegionStyle::Vectorize, true, false, false, false, true}),
    styleCaseName);

TEST(RegionRunForm, RegionDepthsAndCheckBoxesSwitchTheirFields) {
    RegionRunForm form;
    form.clickStyle(RegionStyle::Vectorize);
    form.clickRegionDepths(true);
    EXPECT_FALSE(form.enabled().cutDepth);
    form.clickRegionDepths(false);
    EXPECT_TRUE(form.enabled().cutDepth);
    form.clickCheck(RegionCheck::CurveFit, true);
    EXPECT_TRUE(form.checked(RegionCheck::CurveFit) && form.valueEnabled(RegionCheck::CurveFit));
    form.clickCheck(RegionCheck::CurveFit, false);
    EXPECT_FALSE(form.checked(RegionCheck::CurveFit) || form.valueEnabled(RegionCheck::CurveFit));
}

TEST(KeepsTypedCharacter, FiltersOnlyOpDepthZStepAndFeedrate) {
    for (RegionField f : {RegionField::OpDepth, RegionField::ZStep, RegionField::Feedrate}) {
        EXPECT_TRUE(KeepsTypedCharacter(f, U'7'));
        EXPECT_TRUE(KeepsTypedCharacter(f, U'.'));
        EXPECT_FALSE(KeepsTypedCharacter(f, U'-'));
        EXPECT_FALSE(KeepsTypedCharacter(f, U'a'));
        EXPECT_FALSE(KeepsTypedCharacter(f, U'\b'));  // Backspace is a typed character too
    }
    for (RegionField f : {RegionField::CutDepth, RegionField::Rapid, RegionField::Width}) {
        EXPECT_TRUE(KeepsTypedCharacter(f, U'-'));
        EXPECT_TRUE(KeepsTypedCharacter(f, U'\b'));
    }
}

TEST(RegionRunForm, ReadsTheRunValuesAndStoresValueBoxesWithinTheirLimits) {
    RegionRunForm form;
    form.clickStyle(RegionStyle::Topography);
    form.clickRegionDepths(true);
    form.setText(RegionField::OpDepth, " 2 ");
    form.setText(RegionField::ZStep, ".5");
    form.setText(RegionField::Feedrate, "12.5");
    form.setText(RegionField::Rapid, "-0.1");
    form.setText(RegionField::Width, "4");
    form.clickCheck(RegionCheck::Reduce, true);
    form.setText(RegionField::Reduce, "0");
    form.clickCheck(RegionCheck::Filter, true);
    form.setText(RegionField::Filter, "-3");
    const RegionRunParams p = form.readParams(true);
    EXPECT_EQ(p.style, RegionStyle::Topography);
    EXPECT_TRUE(p.multipleDepths);
    EXPECT_EQ(p.opDepth, 2.0);
    EXPECT_EQ(p.zStep, 0.5);
    EXPECT_EQ(p.feedRate, 12.5);
    EXPECT_EQ(p.rapid, -0.1);
    EXPECT_EQ(p.width, 4.0);
    EXPECT_TRUE(p.reduceOn && p.filterOn && !p.curveFitOn);
    const RegionRunSettings s = MakeRunSettings(p, 4);
    EXPECT_EQ(s.ReduceEvery, 1);
    EXPECT_EQ(s.FilterMinSegments, 0);
}

struct RefusalCase {
    RegionField field;
    const char* text;
};

std::string refusalName(const ::testing::TestParamInfo<RefusalCase>& info) {
    std::string name = RegionFieldCaption(info.param.field);
    std::erase(name, ' ');
    return name;
}

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, NamesTheFieldThatIsNoNumber) {
    RegionRunForm form;
    form.clickStyle(RegionStyle::Topography);
    form.clickCheck(RegionCheck::CurveFit, true);
    form.setText(GetParam().field, GetParam().text);
    try {
        (void)form.readParams(true);
        FAIL() << "no refusal";
    } catch (const RegionFieldError& e) {
        EXPECT_EQ(e.field(), GetParam().field);
        EXPECT_EQ(std::string(e.what()).rfind(RegionFieldCaption(GetParam().field), 0), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, Refusal,
                         ::testing::Values(RefusalCase{RegionField::OpDepth, "1..2"},
                                           RefusalCase{RegionField::ZStep, ""},
                                           RefusalCase{RegionField::CutDepth, "abc"},
                                           RefusalCase{RegionField::Feedrate, "1,5"},
                                           RefusalCase{RegionField::Rapid, "nan"},
                                           RefusalCase{RegionField::Width, "x"},
                                           RefusalCase{RegionField::CurveFit, "1.5"}),
                         refusalName);

TEST(RegionRunForm, FieldsARunDoesNotReadMayHoldAnything) {
    RegionRunForm form;
    form.clickStyle(RegionStyle::Vectorize);
    form.clickRegionDepths(true);
    for (RegionField f : {RegionField::OpDepth, RegionField::ZStep, RegionField::CutDepth,
                          RegionField::Width, RegionField::Depth, RegionField::Reduce})
        form.setText(f, "junk");
    const RegionRunParams p = form.readParams(false);
    EXPECT_EQ(p.width, 1.0);
    EXPECT_EQ(p.opDepth, 0.0);
    EXPECT_FALSE(p.reduceOn);
}

}  // namespace
}  // namespace quarvel::engine
