#include "imaging/imaging_model.h"

#include <algorithm>
#include <new>

#include "imaging/colour_reduction.h"
#include "imaging/geometry_operations.h"
#include "imaging/lambert_shade.h"
#include "imaging/neighbourhood_filters.h"
#include "imaging/picture_files.h"
#include "imaging/point_operations.h"
#include "text/error.h"

namespace quarvel::imaging {

ImagingModel::ImagingModel(ClipboardPort& clipboard) : clipboard_(&clipboard), history_(10) {}

void ImagingModel::reportProgress(long done, long total) {
    if (OnProgressReport) OnProgressReport(done, total);
}

bool ImagingModel::beginStep() {
    if (!HasImage()) return false;
    history_.push(image_);
    stepOpen_ = true;
    return true;
}

void ImagingModel::applyStep(const std::function<void(PixelImage&)>& change) {
    if (!beginStep()) return;
    change(image_);
    endStep();
    progress_.setPosition(100);  // every step ends with a completed report
}

void ImagingModel::filterStep(const std::function<PixelImage(const PixelImage&)>& filter24) {
    applyStep([&](PixelImage& image) {
        if (image.isTrueColor()) {
            image = filter24(image);
            return;
        }
        // Filtered in true colour, then back onto the picture's own palette and depth.
        const PixelImage result = filter24(ExpandTo24(image));
        image = MapToPalette(result, image.palette, image.bitCount);
    });
}

// ---- Files ----

bool ImagingModel::LoadImage(const std::string& fileName, int /*index*/) {
    lastError_.clear();
    image_ = {};
    format_.clear();
    history_.clear();
    stepOpen_ = false;
    selection_ = {};
    try {
        DecodedPicture picture = ReadPicture(fileName, progressSink());
        image_ = std::move(picture.image);
        format_ = std::move(picture.format);
        return true;
    } catch (const Error& e) {
        lastError_ = e.what();
        return false;
    } catch (const std::bad_alloc&) {
        lastError_ = fileName + ": the picture is too large for the available memory";
        return false;
    }
}

int ImagingModel::FileTypeOf(const std::string& fileName) const {
    return imaging::FileTypeOf(fileName);
}

void ImagingModel::SaveImage(const std::string& fileName, int formatCode) {
    WritePicture(image_, fileName, formatCode);
}

void ImagingModel::SetImage(PixelImage image) {
    if (HasImage()) history_.push(image_);
    image_ = std::move(image);
    selection_ = {};
}

// ---- History ----

void ImagingModel::Undo() {
    if (history_.count() == 0) return;
    image_ = history_.pop();
    stepOpen_ = false;
    selection_ = {};
}

void ImagingModel::RecoverFromError() {
    if (!stepOpen_) return;
    stepOpen_ = false;
    if (history_.count() > 0) image_ = history_.pop();
}

// ---- Selection and clipboard ----

void ImagingModel::SetSelection(SelectionRect rect) {
    selection_ = rect;
    selection_ = clippedSelection();
}

SelectionRect ImagingModel::clippedSelection() const {
    const int x0 = std::max(selection_.x, 0);
    const int y0 = std::max(selection_.y, 0);
    const int x1 = std::min(selection_.x + selection_.width, image_.width);
    const int y1 = std::min(selection_.y + selection_.height, image_.height);
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

void ImagingModel::Copy() {
    if (!HasImage()) return;
    if (HasSelection()) {
        const SelectionRect r = clippedSelection();
        clipboard_->putImage(CropImage(image_, r.x, r.y, r.width, r.height));
    } else {
        clipboard_->putImage(image_);
    }
}

void ImagingModel::Cut() {
    if (!HasImage()) return;
    Copy();
    const SelectionRect r =
        HasSelection() ? clippedSelection() : SelectionRect{0, 0, image_.width, image_.height};
    applyStep([&](PixelImage& image) { FillWhite(image, r.x, r.y, r.width, r.height); });
}

bool ImagingModel::Paste() {
    std::optional<PixelImage> pasted = clipboard_->getImage();
    if (!pasted || pasted->empty()) return false;
    // A paste onto an empty picture (as after ClearImage) has nothing to record.
    if (HasImage()) history_.push(image_);
    image_ = std::move(*pasted);
    selection_ = {};
    return true;
}

void ImagingModel::ClearImage() {
    if (!HasImage()) return;
    history_.push(image_);
    image_ = {};
    selection_ = {};
}

// ---- Point operations ----

void ImagingModel::Grayscale(int mode, float redWeight, float greenWeight, float blueWeight) {
    applyStep([&](PixelImage& im) { ToGrey(im, mode, redWeight, greenWeight, blueWeight); });
}

void ImagingModel::Negative(int /*unused*/) {
    applyStep([](PixelImage& im) { Invert(im); });
}

void ImagingModel::Posterize(int levels) {
    applyStep([=](PixelImage& im) { PosterizeLevels(im, levels); });
}

void ImagingModel::AdjustColor(int redPercent, int greenPercent, int bluePercent) {
    applyStep([=](PixelImage& im) { ScaleChannels(im, redPercent, greenPercent, bluePercent); });
}

void ImagingModel::Brightness(int amount, int channel) {
    applyStep([=](PixelImage& im) { AddBrightness(im, amount, channel); });
}

void ImagingModel::Contrast(int low, int high, int channel) {
    applyStep([=](PixelImage& im) { StretchContrast(im, low, high, channel); });
}

void ImagingModel::ReduceGrayLevels(int levels) {
    applyStep([=](PixelImage& im) { ReduceGreyLevels(im, levels); });
}

// ---- Depth conversions ----

void ImagingModel::ConvertTo24Bit() {
    applyStep([](PixelImage& im) { im = ExpandTo24(im); });
}

void ImagingModel::ConvertColors(std::int32_t method) {
    if (!HasImage()) return;
    PixelImage converted = image_;
    if (!ConvertColourMethod(converted, method, progressSink())) return;  // unknown: no step
    applyStep([&](PixelImage& im) { im = std::move(converted); });
}

void ImagingModel::ConvertTo8Colors(int ditherPercent) {
    applyStep(
        [=, this](PixelImage& im) { ConvertToEightColours(im, ditherPercent, progressSink()); });
}

// ---- Neighbourhood filters ----

void ImagingModel::kernelStep(Kernel3x3 kernel) {
    filterStep([&](const PixelImage& im) { return ApplyKernel(im, kernel, progressSink()); });
}

void ImagingModel::Sharpen() { kernelStep(Kernel3x3::Sharpen); }
void ImagingModel::SharpenMore() { kernelStep(Kernel3x3::SharpenMore); }
void ImagingModel::SharpenMax() { kernelStep(Kernel3x3::SharpenMax); }
void ImagingModel::Soften() { kernelStep(Kernel3x3::Soften); }
void ImagingModel::Blur() { kernelStep(Kernel3x3::Blur); }
void ImagingModel::BlurMore() { kernelStep(Kernel3x3::BlurMore); }
void ImagingModel::Laplace() { kernelStep(Kernel3x3::Laplace); }
void ImagingModel::Despeckle() { kernelStep(Kernel3x3::Despeckle); }
void ImagingModel::EnhanceEdges() { kernelStep(Kernel3x3::EnhanceEdges); }

void ImagingModel::Emboss(int direction) {
    filterStep([&](const PixelImage& im) { return ApplyEmboss(im, direction, progressSink()); });
}

void ImagingModel::GradientEdge(int direction) {
    filterStep(
        [&](const PixelImage& im) { return ApplyGradientEdge(im, direction, progressSink()); });
}

void ImagingModel::Sobel(int threshold, bool darkEdges) {
    filterStep(
        [&](const PixelImage& im) { return ApplySobel(im, threshold, darkEdges, progressSink()); });
}

void ImagingModel::MatchedFilter(int orientation) {
    filterStep(
        [&](const PixelImage& im) { return ApplyMatchedFilter(im, orientation, progressSink()); });
}

void ImagingModel::ShiftDifference(int mode) {
    filterStep(
        [&](const PixelImage& im) { return ApplyShiftDifference(im, mode, progressSink()); });
}

void ImagingModel::LambertShade(float latitudeDeg, float longitudeDeg, int heightScale,
                                float roughness) {
    const LambertParams params{latitudeDeg, longitudeDeg, heightScale, roughness};
    applyStep([&](PixelImage& im) { im = ShadeLambert(im, params, progressSink()); });
}

// ---- Geometry ----

void ImagingModel::Rotate(float degrees) {
    if (!HasImage()) return;
    PixelImage turned = image_;
    if (!RotateQuarterTurns(turned, degrees)) return;  // only quarter turns are made
    applyStep([&](PixelImage& im) { im = std::move(turned); });
    selection_ = {};
}

void ImagingModel::ResizeImage(double ratio) {
    if (!HasImage() || !(ratio > 0.0)) return;
    lastError_.clear();  // so that a refusal can be told from an earlier one
    PixelImage resized;
    try {
        resized = ResampleByRatio(image_, ratio, progressSink());
    } catch (const InvalidInput& e) {
        lastError_ = e.what();  // too large: the picture stays as it is
        return;
    }
    applyStep([&](PixelImage& im) { im = std::move(resized); });
    selection_ = {};
}

// ---- Plug-ins ----

void ImagingModel::LoadPlugins() { plugins_ = ListPlugins(pluginPath_); }

PluginOutcome ImagingModel::RunPlugin(std::size_t index) {
    PluginOutcome outcome;
    if (index >= plugins_.size()) {
        outcome.message = "no such plug-in";
    } else if (!HasImage()) {
        outcome.message = "there is no picture to filter";
    } else {
        PixelImage result;
        outcome = RunPluginProgram(plugins_[index], image_, pluginTimeLimit_, result);
        if (outcome.succeeded) applyStep([&](PixelImage& im) { im = std::move(result); });
    }
    if (OnPluginFilterComplete) OnPluginFilterComplete();
    return outcome;
}

}  // namespace quarvel::imaging
