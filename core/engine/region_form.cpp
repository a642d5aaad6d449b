#include "engine/region_form.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "text/text_format.h"

namespace quarvel::engine {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool keepsOwnLevels(RegionStyle style, bool multipleDepths) {
    return style != RegionStyle::SingleDepth && multipleDepths;
}

}  // namespace

const char* RegionFieldCaption(RegionField field) {
    switch (field) {
        case RegionField::Width: return "Width";
        case RegionField::Depth: return "Depth";
        case RegionField::OpDepth: return "Op Depth";
        case RegionField::ZStep: return "Z Step";
        case RegionField::CutDepth: return "Cut Depth";
        case RegionField::Feedrate: return "Feedrate";
        case RegionField::Rapid: return "Rapid";
        case RegionField::Reduce: return "Reduce";
        case RegionField::CurveFit: return "Curve Fit";
        case RegionField::Filter: return "Filter";
    }
    return "";
}

bool KeepsTypedCharacter(RegionField field, char32_t typed) {
    const bool filtered = field == RegionField::OpDepth || field == RegionField::ZStep ||
                          field == RegionField::Feedrate;
    return !filtered || (typed >= U'0' && typed <= U'9') || typed == U'.';
}

// The texts of the dialog as designed, in RegionField order.
RegionRunForm::RegionRunForm() : texts_{"1", "1", "0", "0", "0", "10", ".25", "2", "1", "5"} {}

void RegionRunForm::show(bool pictureRun, const std::string& opDepthText) {
    enabled_.undo = false;
    enabled_.opDepth = true;
    enabled_.cutDepth = true;
    enabled_.zStep = false;
    valueEnabled_ = {};
    enabled_.width = pictureRun;
    enabled_.depth = pictureRun;
    style_ = RegionStyle::SingleDepth;
    multipleDepths_ = false;
    enabled_.regionDepths = false;
    if (!opDepthText.empty()) setText(RegionField::OpDepth, opDepthText);
}

void RegionRunForm::clickStyle(RegionStyle style) {
    style_ = style;
    enabled_.opDepth = false;
    enabled_.zStep = false;
    enabled_.cutDepth = false;
    switch (style) {
        case RegionStyle::SingleDepth:
            enabled_.opDepth = true;
            enabled_.cutDepth = true;
            enabled_.regionDepths = false;
            break;
        case RegionStyle::Topography:
            enabled_.opDepth = true;
            enabled_.zStep = true;
            enabled_.regionDepths = true;
            enabled_.cutDepth = !multipleDepths_;
            break;
        case RegionStyle::Vectorize:
            enabled_.regionDepths = true;
            enabled_.cutDepth = !multipleDepths_;
            break;
    }
}

void RegionRunForm::clickRegionDepths(bool multiple) {
    multipleDepths_ = multiple;
    enabled_.cutDepth = !multiple;
}

void RegionRunForm::clickCheck(RegionCheck box, bool isChecked) {
    checks_[checkSlot(box)] = isChecked;
    valueEnabled_[checkSlot(box)] = isChecked;
}

bool RegionRunForm::isRead(RegionField field, bool pictureRun) const {
    switch (field) {
        case RegionField::Width:
        case RegionField::Depth: return pictureRun;
        case RegionField::OpDepth: return style_ != RegionStyle::Vectorize;
        case RegionField::ZStep: return style_ == RegionStyle::Topography;
        case RegionField::CutDepth: return !keepsOwnLevels(style_, multipleDepths_);
        case RegionField::Feedrate:
        case RegionField::Rapid: return true;
        case RegionField::Reduce: return checked(RegionCheck::Reduce);
        case RegionField::CurveFit: return checked(RegionCheck::CurveFit);
        case RegionField::Filter: return checked(RegionCheck::Filter);
    }
    return false;
}

double RegionRunForm::number(RegionField field) const {
    double value = 0.0;
    if (!parseDouble(trimmed(text(field)), value) || !std::isfinite(value))
        throw RegionFieldError(field, std::string(RegionFieldCaption(field)) +
                                          " is not a number: '" + text(field) + "'");
    return value;
}

std::int32_t RegionRunForm::wholeNumber(RegionField field) const {
    const std::string_view t = trimmed(text(field));
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc{} || end != t.data() + t.size())
        throw RegionFieldError(field, std::string(RegionFieldCaption(field)) +
                                          " is not a whole number: '" + text(field) + "'");
    return value;
}

RegionRunParams RegionRunForm::readParams(bool pictureRun) const {
    RegionRunParams p;
    const auto read = [&](RegionField f, double& into) {
        if (isRead(f, pictureRun)) into = number(f);
    };
    const auto readWhole = [&](RegionField f, std::int32_t& into) {
        if (isRead(f, pictureRun)) into = wholeNumber(f);
    };
    read(RegionField::Width, p.width);
    read(RegionField::Depth, p.depth);
    read(RegionField::OpDepth, p.opDepth);
    read(RegionField::ZStep, p.zStep);
    read(RegionField::CutDepth, p.cutDepth);
    read(RegionField::Feedrate, p.feedRate);
    read(RegionField::Rapid, p.rapid);
    readWhole(RegionField::Reduce, p.reduceValue);
    readWhole(RegionField::CurveFit, p.curveFitValue);
    readWhole(RegionField::Filter, p.filterValue);
    p.style = style_;
    p.multipleDepths = multipleDepths_;
    p.reduceOn = checked(RegionCheck::Reduce);
    p.curveFitOn = checked(RegionCheck::CurveFit);
    p.filterOn = checked(RegionCheck::Filter);
    return p;
}

}  // namespace quarvel::engine
