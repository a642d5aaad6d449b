#include "view3d/dnc_preview.h"

#include <charconv>

#include "view3d/dnc_plot.h"
#include "view3d/model_scale.h"
#include "view3d/projection.h"

namespace quarvel::view3d {

namespace {
constexpr int kLargestSide = 16384;

std::optional<int> parseSide(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (value < 1 || value > kLargestSide) return std::nullopt;
    return value;
}
}  // namespace

TView3DOptions PresetOptions(PresetView view) {
    TView3DOptions o;
    o.Orthogonal = false;
    o.Perspective = 0;
    o.Rotation = view == PresetView::Top ? 0 : 345;
    o.Elevation = view == PresetView::Top ? 0 : 300;
    o.Tilt = 0;
    return o;
}

RgbRaster RenderDncPreview(const gcode::DncReadResult& read, const PreviewParams& params) {
    RgbRaster raster(params.width, params.height);
    const PixelRect chart = ChartRect({0, 0, params.width, params.height}, kPanelBorder);
    const ModelScale scale = FitModelScale(read.bounds, params.width, params.height, chart.bottom);
    const TView3DOptions options = PresetOptions(params.view);
    DrawPlot(raster, ProjectPlot(DncPlotPoints(read, scale), MakeProjection(&options, chart)));
    return raster;
}

std::optional<std::pair<int, int>> ParsePreviewSize(std::string_view text) {
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos) return std::nullopt;
    const auto width = parseSide(text.substr(0, cross));
    const auto height = parseSide(text.substr(cross + 1));
    if (!width || !height) return std::nullopt;
    return std::pair{*width, *height};
}

}  // namespace quarvel::view3d
