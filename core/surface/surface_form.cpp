#include "surface/surface_form.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

#include "surface/rounding.h"
#include "text/error.h"
#include "text/quoted_input.h"
#include "text/text_format.h"

namespace quarvel::surface {

namespace {

constexpr int kDefaultResolution = 100;
constexpr int kMaxPasses = 100000;
// A grid cell below this rounds away to nothing in the steps.
constexpr double kMinCell = 1e-9;

std::size_t slot(SurfaceField f) { return static_cast<std::size_t>(f); }

// Field text as the user may leave it: surrounding blanks do not matter.
std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

[[noreturn]] void refuse(SurfaceField f, const std::string& what) {
    throw InvalidInput(std::string(FieldCaption(f)) + " " + what);
}

// The texts the fields hold before the picture fills them, in SurfaceField order.
std::array<std::string, kSurfaceFieldCount> designedTexts() {
    return {"0", "0", ".25", ".25", "0", "0", "10", ".1", std::string(kToolNames[0]), ".125"};
}

}  // namespace

const char* FieldCaption(SurfaceField field) {
    switch (field) {
        case SurfaceField::SizeX: return "Size X";
        case SurfaceField::SizeY: return "Size Y";
        case SurfaceField::Depth: return "Depth";
        case SurfaceField::DepthPerPass: return "Depth / Pass";
        case SurfaceField::StepX: return "Step X";
        case SurfaceField::StepY: return "Step Y";
        case SurfaceField::Feedrate: return "Feedrate";
        case SurfaceField::RapidHeight: return "Rapid Height";
        case SurfaceField::ToolType: return "Tool Type";
        case SurfaceField::Diameter: return "Diameter";
    }
    return "";
}

SurfaceJobForm::SurfaceJobForm(int gridColumns, int gridRows, const PictureFacts& picture,
                               JobModeCode jobMode)
    : texts_(designedTexts()), columns_(gridColumns), rows_(gridRows), jobMode_(jobMode) {
    // The fields are filled with the box unchecked, so that they do not link.
    aspectRatio_ = 1.0;
    keepAspect_ = false;
    xRes_ = picture.xRes;
    yRes_ = picture.yRes;
    if (yRes_ == 0 && xRes_ != 0) yRes_ = xRes_;
    if (xRes_ == 0 && yRes_ != 0) xRes_ = yRes_;
    if (xRes_ == 0) xRes_ = kDefaultResolution;
    if (yRes_ == 0) yRes_ = kDefaultResolution;
    const double xRes = xRes_;
    const double yRes = yRes_;
    type(SurfaceField::SizeX, fixedText((columns_ - 1) / xRes, 2));
    type(SurfaceField::SizeY, fixedText((rows_ - 1) / yRes, 2));
    type(SurfaceField::StepX, fixedText(1 / xRes, 3));
    type(SurfaceField::StepY, fixedText(1 / yRes, 3));
    aspectRatio_ = (picture.width / xRes) / (picture.height / yRes);
    keepAspect_ = true;
}

const std::string& SurfaceJobForm::text(SurfaceField field) const { return texts_[slot(field)]; }

void SurfaceJobForm::type(SurfaceField field, const std::string& text) {
    texts_[slot(field)] = text;
    switch (field) {
        case SurfaceField::SizeX: onSizeX(); break;
        case SurfaceField::SizeY: onSizeY(); break;
        case SurfaceField::StepX: onStepX(); break;
        case SurfaceField::StepY: onStepY(); break;
        case SurfaceField::Depth: onDepth(); break;
        default: break;
    }
}

void SurfaceJobForm::write(SurfaceField field, double value) {
    texts_[slot(field)] = fixedText(value, 3);
}

bool SurfaceJobForm::read(SurfaceField field, double& value) const {
    return parseDouble(trimmed(texts_[slot(field)]), value) && std::isfinite(value);
}

// The size and step rules only act with the box checked and while no rule is already
// writing; a rule that does nothing still ends a pending update.
void SurfaceJobForm::onSizeX() {
    double x = 0.0;
    if (!keepAspect_ || updating_ || !read(SurfaceField::SizeX, x)) {
        if (!keepAspect_) updating_ = false;
        return;
    }
    updating_ = true;
    write(SurfaceField::SizeY, x / aspectRatio_);
    write(SurfaceField::StepX, x / columns_);
    write(SurfaceField::StepY, x / aspectRatio_ / rows_);
    updating_ = false;
}

void SurfaceJobForm::onSizeY() {
    double y = 0.0;
    if (!keepAspect_ || updating_ || !read(SurfaceField::SizeY, y)) {
        if (!keepAspect_) updating_ = false;
        return;
    }
    updating_ = true;
    write(SurfaceField::SizeX, y * aspectRatio_);
    write(SurfaceField::StepX, y * aspectRatio_ / columns_);
    write(SurfaceField::StepY, y / rows_);
    updating_ = false;
}

// The step typed stays as typed; the other step gets it held between one grid cell
// and the whole size.
void SurfaceJobForm::onStepX() {
    double s = 0.0;
    double size = 0.0;
    if (!keepAspect_ || updating_ || !read(SurfaceField::StepX, s) ||
        !read(SurfaceField::SizeX, size)) {
        if (!keepAspect_) updating_ = false;
        return;
    }
    updating_ = true;
    s = std::max(s, size / columns_);
    s = std::min(s, size);
    write(SurfaceField::StepY, s);
    updating_ = false;
}

void SurfaceJobForm::onStepY() {
    double s = 0.0;
    double size = 0.0;
    if (!keepAspect_ || updating_ || !read(SurfaceField::StepY, s) ||
        !read(SurfaceField::SizeY, size)) {
        if (!keepAspect_) updating_ = false;
        return;
    }
    updating_ = true;
    s = std::max(s, size / rows_);
    s = std::min(s, size);
    write(SurfaceField::StepX, s);
    updating_ = false;
}

// Depth / Pass follows Depth whether or not the box is checked.
void SurfaceJobForm::onDepth() {
    double d = 0.0;
    if (updating_ || !read(SurfaceField::Depth, d)) return;
    updating_ = true;
    write(SurfaceField::DepthPerPass, d);
    updating_ = false;
}

SurfaceJobValues SurfaceJobForm::readJobValues() const {
    if (columns_ < 1 || rows_ < 1) throw InvalidInput("the picture has no pixels");
    const auto number = [this](SurfaceField f) { return readLength(f); };
    const auto positive = [&](SurfaceField f) {
        const double v = number(f);
        if (!(v > 0.0)) refuse(f, "must be more than 0" + tooSmallReason(f));
        return v;
    };
    SurfaceJobValues j;
    j.columns = columns_;
    j.rows = rows_;
    j.sizeX = positive(SurfaceField::SizeX);
    j.sizeY = positive(SurfaceField::SizeY);
    if (!(j.sizeX / columns_ >= kMinCell) || !(j.sizeY / rows_ >= kMinCell))
        refuse(j.sizeX / columns_ >= kMinCell ? SurfaceField::SizeY : SurfaceField::SizeX,
               "is too small: one pixel would be less than 0.000000001 units");
    j.stepX = number(SurfaceField::StepX);
    j.stepY = number(SurfaceField::StepY);
    j.depth = positive(SurfaceField::Depth);
    if (jobMode_ == JobModeCode::GCode) readMachineValues(j);
    // A step is never finer than one grid cell.
    if (j.sizeX / columns_ > j.stepX) j.stepX = j.sizeX / columns_;
    if (j.sizeY / rows_ > j.stepY) j.stepY = j.sizeY / rows_;
    j.nx = roundHalfEvenToInt(j.sizeX / j.stepX) - 1;
    j.ny = roundHalfEvenToInt(j.sizeY / j.stepY);
    if (j.nx < 0) refuse(SurfaceField::StepX, "is so large that no sample position is left");
    return j;
}

void SurfaceJobForm::readMachineValues(SurfaceJobValues& j) const {
    j.depthPerPass = readLength(SurfaceField::DepthPerPass);
    if (!(j.depthPerPass > 0.0)) refuse(SurfaceField::DepthPerPass, "must be more than 0");
    // A pass count beyond all reason would run for hours and fill the disk.
    if (j.depth / j.depthPerPass > kMaxPasses)
        refuse(SurfaceField::DepthPerPass, "is so small that the job would need more than " +
                                               std::to_string(kMaxPasses) + " passes");
    j.feed =
        readLength(SurfaceField::Feedrate, kMaxFeedrate, " (more digits than a controller reads)");
    if (!(j.feed > 0.0)) refuse(SurfaceField::Feedrate, "must be more than 0");
    j.rapidHeight = readLength(SurfaceField::RapidHeight);
    // Rapid moves travel at this height above the top of the work (Z 0): below it they
    // would cut through the work at full speed.
    if (j.rapidHeight < 0.0)
        refuse(SurfaceField::RapidHeight, "must not be below 0 (the top of the work)");
}

double SurfaceJobForm::readLength(SurfaceField f, double limit, const char* why) const {
    double v = 0.0;
    if (!read(f, v)) {
        // Copied: the library reads a long double up to a terminating zero.
        const std::string text(trimmed(texts_[slot(f)]));
        long double wide = 0.0L;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), wide);
        if (ec == std::errc{} && end == text.data() + text.size() && std::fabs(wide) > 1.0L)
            refuse(f, "is too large: " + quotedInput(text));  // beyond any double
        refuse(f, "is not a number: " + quotedInput(texts_[slot(f)]));
    }
    if (std::fabs(v) > limit) refuse(f, "is too large: more than " + generalText(limit) + why);
    return v;
}

// Why a size is 0 when the user typed none: the default size counts the gaps between
// pixels, and a picture one pixel across has none.
std::string SurfaceJobForm::tooSmallReason(SurfaceField f) const {
    const bool acrossX = f == SurfaceField::SizeX && columns_ < 2;
    const bool acrossY = f == SurfaceField::SizeY && rows_ < 2;
    if (!acrossX && !acrossY) return "";
    return ": the picture is too small (it needs at least 2 pixels in each direction)";
}

GougeSettings SurfaceJobForm::readGouge() const {
    GougeSettings g;
    g.enabled = useGouge_;
    g.kind = ToolKindFromName(texts_[slot(SurfaceField::ToolType)]);
    const bool isNumber = read(SurfaceField::Diameter, g.diameter);
    if (isNumber && g.diameter < 0.0) refuse(SurfaceField::Diameter, "must not be negative");
    if (g.enabled && !isNumber)
        refuse(SurfaceField::Diameter,
               "is not a number: " + quotedInput(texts_[slot(SurfaceField::Diameter)]));
    return g;
}

}  // namespace quarvel::surface
