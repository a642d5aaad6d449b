#pragma once
// The fields of the surface job dialog and their rules, without any widget: defaults
// from the picture, the linking of sizes and steps under "Keep Aspect Ratio", and the
// reading of the job values. The dialog shows these texts and forwards what the user
// types; the command line types its options into the same model.
#include <array>
#include <cstdint>
#include <string>

#include "state/job_state.h"
#include "surface/job_values.h"

namespace quarvel::surface {

enum class SurfaceField {
    SizeX,
    SizeY,
    Depth,
    DepthPerPass,
    StepX,
    StepY,
    Feedrate,
    RapidHeight,
    ToolType,
    Diameter,
};
inline constexpr std::size_t kSurfaceFieldCount = 10;

// Lengths beyond this (in units) are no work piece: their products overflow on the way
// to the file.
inline constexpr double kMaxLength = 1e9;
// Feed rates are read by controllers as a few digits; more than this is a typing slip.
inline constexpr double kMaxFeedrate = 1e6;

// What the form needs to know about the picture: its size in pixels and resolution in
// pixels per unit (0 when the file gave none).
struct PictureFacts {
    int width = 0;
    int height = 0;
    int xRes = 0;
    int yRes = 0;
};

class SurfaceJobForm {
public:
    // Fills the fields for a height grid of gridColumns x gridRows made from `picture`
    // for the DXF surface or the G-code job. A missing resolution takes the
    // other one's value, or 100 when both are missing.
    SurfaceJobForm(int gridColumns, int gridRows, const PictureFacts& picture, JobModeCode jobMode);

    const std::string& text(SurfaceField field) const;
    // Puts `text` into the field as typed, then runs that field's change rule, which
    // may rewrite other fields (never the one typed into).
    void type(SurfaceField field, const std::string& text);

    bool keepAspectRatio() const { return keepAspect_; }
    void setKeepAspectRatio(bool on) { keepAspect_ = on; }
    bool useGougeControl() const { return useGouge_; }
    void setUseGougeControl(bool on) { useGouge_ = on; }

    double aspectRatio() const { return aspectRatio_; }
    int xRes() const { return xRes_; }  // after the defaults were applied
    int yRes() const { return yRes_; }
    int gridColumns() const { return columns_; }
    int gridRows() const { return rows_; }
    JobModeCode jobMode() const { return jobMode_; }

    // The job values as Create reads them: steps held to at least one grid cell, then
    // nx and ny. Throws InvalidInput, naming the field, when a field used by the job
    // does not hold a number or the values give no sound job: any value beyond 1e9
    // units, Size X, Size Y or Depth of 0 or less, a size that makes one pixel smaller
    // than 1e-9 units, a Step X that leaves no sample position (nx < 0); for G-code
    // also Depth / Pass of 0 or less or needing more than 100000 passes, a Feedrate not
    // above 0 or above 1000000, and a Rapid Height below 0 (the top of the work).
    SurfaceJobValues readJobValues() const;

    // Tool kind from the "Tool Type" text and the diameter; disabled when "Use Gouge
    // Control" is not checked. Throws InvalidInput when the diameter is negative, or
    // not a number while gouge control is on. A diameter of 0 is handed back for the
    // caller to refuse.
    GougeSettings readGouge() const;

private:
    void onSizeX();
    void onSizeY();
    void onStepX();
    void onStepY();
    void onDepth();
    void readMachineValues(SurfaceJobValues& j) const;
    // The field's number; refused when it is not one or its size is above `limit`.
    double readLength(SurfaceField field, double limit = kMaxLength, const char* why = "") const;
    std::string tooSmallReason(SurfaceField field) const;
    void write(SurfaceField field, double value);
    bool read(SurfaceField field, double& value) const;

    std::array<std::string, kSurfaceFieldCount> texts_;
    int columns_;
    int rows_;
    JobModeCode jobMode_;
    int xRes_ = 0;
    int yRes_ = 0;
    double aspectRatio_ = 1.0;
    bool keepAspect_ = false;
    bool useGouge_ = true;
    bool updating_ = false;
};

// The caption of a field as the dialog shows it ("Size X", "Depth / Pass", ...).
const char* FieldCaption(SurfaceField field);

}  // namespace quarvel::surface
