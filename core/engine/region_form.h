#pragma once
// The fields of the Create Regions dialog and their rules, without any widget: the texts
// with their defaults, which characters a field takes, which controls are enabled after
// each click, and the reading of the fields into RegionRunParams. The dialog shows this
// model and forwards clicks and typing; quarvel-cli contours types its options into it.
#include <array>
#include <cstddef>
#include <string>

#include "engine/region_run.h"
#include "text/error.h"

namespace quarvel::engine {

enum class RegionField {
    Width,
    Depth,
    OpDepth,
    ZStep,
    CutDepth,
    Feedrate,
    Rapid,
    Reduce,    // value box of the Reduce check box
    CurveFit,  // value box of the Curve Fit check box
    Filter,    // value box of the Filter check box
};
inline constexpr std::size_t kRegionFieldCount = 10;

enum class RegionCheck { Reduce, CurveFit, Filter };

// The caption of a field as the dialog shows it ("Op Depth", "Curve Fit", ...).
const char* RegionFieldCaption(RegionField field);

// Whether a typed character stays in the field: Op Depth, Z Step and Feedrate keep only
// "0".."9" and "." (Backspace, which types character 8, is discarded too); the others
// keep everything.
bool KeepsTypedCharacter(RegionField field, char32_t typed);

// A field that does not hold the number a run needs.
class RegionFieldError : public InvalidInput {
public:
    RegionFieldError(RegionField field, const std::string& what)
        : InvalidInput(what), field_(field) {}
    RegionField field() const { return field_; }

private:
    RegionField field_;
};

// Which controls can be used; the check boxes themselves always can.
struct RegionFormEnabled {
    bool width = false, depth = false;
    bool opDepth = true, zStep = false, cutDepth = true;
    bool regionDepths = false;  // the Region Depths group
    bool undo = false;
};

class RegionRunForm {
public:
    RegionRunForm();

    const std::string& text(RegionField field) const { return texts_[slot(field)]; }
    void setText(RegionField field, std::string text) { texts_[slot(field)] = std::move(text); }

    RegionStyle style() const { return style_; }
    bool multipleDepths() const { return multipleDepths_; }
    bool checked(RegionCheck box) const { return checks_[checkSlot(box)]; }
    bool valueEnabled(RegionCheck box) const { return valueEnabled_[checkSlot(box)]; }
    const RegionFormEnabled& enabled() const { return enabled_; }

    // The dialog becomes visible for a mesh window: radio groups back to Single Depth and
    // One Depth, Undo off, the three value boxes off, Width and Depth only for a picture
    // run. `opDepthText` is the default Op Depth of the active mesh window, empty to keep
    // the text as it is. The check boxes keep their state and all other texts stay.
    void show(bool pictureRun, const std::string& opDepthText);
    void clickStyle(RegionStyle style);
    void clickRegionDepths(bool multiple);
    // Checking a box enables its value box, unchecking disables it.
    void clickCheck(RegionCheck box, bool checked);
    // Undo is enabled by every Create and disabled by Undo and by Clear.
    void setUndoEnabled(bool on) { enabled_.undo = on; }

    // True when a run on this kind of window reads `field`: Op Depth unless Vectorize,
    // Z Step for Topography, Cut Depth unless the regions keep their own levels, a value
    // box while its check box is checked, Width and Depth for a picture run; Feedrate and
    // Rapid always.
    bool isRead(RegionField field, bool pictureRun) const;

    // The fields as Create reads them. A field that is read and does not hold a number
    // (surrounding blanks allowed; the three value boxes whole numbers) throws
    // RegionFieldError naming it; fields not read keep their defaults.
    RegionRunParams readParams(bool pictureRun) const;

private:
    static std::size_t slot(RegionField f) { return static_cast<std::size_t>(f); }
    static std::size_t checkSlot(RegionCheck c) { return static_cast<std::size_t>(c); }
    double number(RegionField field) const;
    std::int32_t wholeNumber(RegionField field) const;

    std::array<std::string, kRegionFieldCount> texts_;
    RegionStyle style_ = RegionStyle::SingleDepth;
    bool multipleDepths_ = false;
    std::array<bool, 3> checks_{};
    std::array<bool, 3> valueEnabled_{};
    RegionFormEnabled enabled_;
};

}  // namespace quarvel::engine
