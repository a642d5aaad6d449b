#pragma once
// The imaging control's model: one picture with its undo history, selection, clipboard
// link, filters and plug-ins. No Qt here; the view widget wraps this class.
//
// API summary (names as the picture windows use them):
//   Properties   HasImage, ImageWidth, ImageHeight, ImageBitCount (1, 4, 8, 24),
//                ImageXRes/ImageYRes (+ SetImageXRes/SetImageYRes, pixels per inch),
//                Picture (the PixelImage to draw), UndoSize/SetUndoSize (default 10),
//                FitToSize, ScrollbarsVisible, Tool (+ Set...: view settings the widget
//                reads; Tool 1 = rectangle selection), PluginPathName/SetPluginPathName.
//   Events       OnProgressReport(done, total) as a percentage (total 100) at least every
//                10 % of a long operation or load, last call done == total;
//                OnPluginFilterComplete() after a plug-in.
//   Files        LoadImage(name, 0) -> bool (LastError() holds the reason),
//                FileTypeOf(name), SaveImage(name, code) (throws quarvel::Error).
//   History      Undo, UndoCount. Each image operation below is one undo step.
//   Selection    SetSelection(rect) (the widget, with Tool 1), HasSelection, SelectNone,
//                Selection.
//   Clipboard    Cut, Copy, Paste, ClearImage through a ClipboardPort.
//   Operations   Grayscale, Negative, Posterize, ReduceGrayLevels, ConvertTo8Colors,
//                ConvertTo24Bit, ConvertColors, ShiftDifference, MatchedFilter, Emboss,
//                GradientEdge, Sobel, Sharpen, SharpenMore, SharpenMax, Soften, Blur,
//                BlurMore, Laplace, Despeckle, EnhanceEdges, AdjustColor, Brightness,
//                Contrast, LambertShade, Rotate, ResizeImage.
//   Plug-ins     LoadPlugins, Plugins, RunPlugin(index) -> PluginOutcome.
//   Recovery     RecoverFromError.
// Without an image every operation does nothing. Operations on a depth they do not work
// on convert as their comment says; none throws for a depth.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/clipboard_port.h"
#include "imaging/neighbourhood_filters.h"
#include "imaging/pixel_image.h"
#include "imaging/plugins.h"
#include "imaging/undo_history.h"

namespace quarvel::imaging {

struct SelectionRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

class ImagingModel {
public:
    explicit ImagingModel(ClipboardPort& clipboard = MemoryClipboard::processWide());
    // Holds a progress sink that refers back to it: neither copied nor moved.
    ImagingModel(const ImagingModel&) = delete;
    ImagingModel& operator=(const ImagingModel&) = delete;

    // Properties.
    bool HasImage() const { return !image_.empty(); }
    int ImageWidth() const { return image_.width; }
    int ImageHeight() const { return image_.height; }
    int ImageBitCount() const { return image_.bitCount; }
    int ImageXRes() const { return image_.xResDpi; }
    int ImageYRes() const { return image_.yResDpi; }
    void SetImageXRes(int dpi) { image_.xResDpi = dpi; }
    void SetImageYRes(int dpi) { image_.yResDpi = dpi; }
    const PixelImage& Picture() const { return image_; }
    int UndoSize() const { return history_.capacity(); }
    void SetUndoSize(int steps) { history_.setCapacity(steps); }
    bool FitToSize() const { return fitToSize_; }
    void SetFitToSize(bool fit) { fitToSize_ = fit; }
    bool ScrollbarsVisible() const { return scrollbarsVisible_; }
    void SetScrollbarsVisible(bool visible) { scrollbarsVisible_ = visible; }
    int Tool() const { return tool_; }
    void SetTool(int tool) { tool_ = tool; }
    const std::string& PluginPathName() const { return pluginPath_; }
    void SetPluginPathName(std::string path) { pluginPath_ = std::move(path); }

    // Events.
    std::function<void(long done, long total)> OnProgressReport;
    std::function<void()> OnPluginFilterComplete;

    // Files. LoadImage replaces the picture and empties the history; on failure the model
    // holds no picture and LastError() says why. `index` is the picture within the file
    // (only the first is read). SaveImage throws quarvel::Error with the reason and
    // leaves any existing file untouched on failure.
    bool LoadImage(const std::string& fileName, int index = 0);
    const std::string& LastError() const { return lastError_; }
    const std::string& ImageFormat() const { return format_; }
    int FileTypeOf(const std::string& fileName) const;
    void SaveImage(const std::string& fileName, int formatCode);
    // Holds `image` as a new picture, as one undo step (used by the view's New Image).
    void SetImage(PixelImage image);

    // History.
    void Undo();
    int UndoCount() const { return history_.count(); }

    // Selection, in image pixels; clipped to the image.
    void SetSelection(SelectionRect rect);
    SelectionRect Selection() const { return selection_; }
    bool HasSelection() const { return HasImage() && !selection_.empty(); }
    void SelectNone() { selection_ = {}; }

    // Clipboard. Copy puts the selection (or the whole picture) on the clipboard. Cut does
    // the same and fills what it took with white, one undo step. Paste makes the
    // clipboard picture the held one (one undo step; false when the clipboard holds no
    // picture). ClearImage drops the picture (one undo step). After Copy, SelectNone,
    // ClearImage, Paste the picture is the former selection, and one Undo brings back
    // the whole picture.
    void Cut();
    void Copy();
    bool Paste();
    void ClearImage();

    // Point operations (any depth; palette pictures change their palette).
    void Grayscale(int mode, float redWeight, float greenWeight, float blueWeight);
    void Negative(int unused);
    void Posterize(int levels);
    void AdjustColor(int redPercent, int greenPercent, int bluePercent);
    void Brightness(int amount, int channel);
    void Contrast(int low, int high, int channel);
    void ReduceGrayLevels(int levels);

    // Depth conversions (see colour_reduction.h). ConvertColors with an unknown method
    // code changes nothing and records no step.
    void ConvertTo24Bit();
    void ConvertColors(std::int32_t method);
    void ConvertTo8Colors(int ditherPercent);

    // Neighbourhood filters (24-bit work; palette pictures are filtered in true colour and
    // mapped back onto their own palette, keeping their depth).
    void Sharpen();
    void SharpenMore();
    void SharpenMax();
    void Soften();
    void Blur();
    void BlurMore();
    void Laplace();
    void Despeckle();
    void EnhanceEdges();
    void Emboss(int direction);
    void GradientEdge(int direction);
    void Sobel(int threshold, bool darkEdges);
    void MatchedFilter(int orientation);
    void ShiftDifference(int mode);
    void LambertShade(float latitudeDeg, float longitudeDeg, int heightScale, float roughness);

    // Geometry. Rotate turns clockwise by whole quarter turns only; any other angle
    // changes nothing and records no step. ResizeImage ignores a ratio of 0 or less, and
    // one that would give more than 30000 pixels a side or 200 million pixels
    // (LastError() then says so).
    void Rotate(float degrees);
    void ResizeImage(double ratio);

    // Plug-ins: LoadPlugins lists the executable files of PluginPathName; RunPlugin runs
    // one on the picture (one undo step on success) and raises OnPluginFilterComplete.
    void LoadPlugins();
    const std::vector<PluginInfo>& Plugins() const { return plugins_; }
    PluginOutcome RunPlugin(std::size_t index);
    void SetPluginTimeLimit(std::chrono::milliseconds limit) { pluginTimeLimit_ = limit; }

    // After an operation was interrupted by an exception: drops its half-finished step
    // and brings back the last good picture. Does nothing when no step was open.
    void RecoverFromError();

private:
    // Opens an undo step: records the picture as it is now. Returns false (and opens
    // nothing) when there is no picture.
    bool beginStep();
    void endStep() { stepOpen_ = false; }
    // Runs `change` on the picture as one undo step.
    void applyStep(const std::function<void(PixelImage&)>& change);
    void filterStep(const std::function<PixelImage(const PixelImage&)>& filter24);
    void kernelStep(Kernel3x3 kernel);
    void reportProgress(long done, long total);
    Progress& progressSink() { return progress_; }
    SelectionRect clippedSelection() const;

    // The operations report percentages; the event passes them on as done of 100.
    class EventProgress final : public Progress {
    public:
        explicit EventProgress(ImagingModel& model) : model_(model) {}
        void setPosition(int percent) override { model_.reportProgress(percent, 100); }
        void pump() override {}
        bool cancelRequested() const override { return false; }

    private:
        ImagingModel& model_;
    };

    ClipboardPort* clipboard_;
    EventProgress progress_{*this};
    PixelImage image_;
    UndoHistory history_;
    bool stepOpen_ = false;
    SelectionRect selection_;
    std::string lastError_;
    std::string format_;
    bool fitToSize_ = false;
    bool scrollbarsVisible_ = true;
    int tool_ = 0;
    std::string pluginPath_;
    std::vector<PluginInfo> plugins_;
    std::chrono::milliseconds pluginTimeLimit_{60000};
};

}  // namespace quarvel::imaging
