#pragma once
// A picture of a DNC file's plot without a window: what the viewer's panel of the same
// size shows in its Top or Isometric view.
#include <optional>
#include <string_view>
#include <utility>

#include "gcode/gcode_move.h"
#include "view3d/plot_raster.h"
#include "view3d/view_options.h"

namespace quarvel::view3d {

enum class PresetView { Top, Isometric };

// The viewers' presets: Top is Rotation 0, Elevation 0, Tilt 0; Isometric is Rotation
// 345, Elevation 300, Tilt 0. Both with the rotated projection, no perspective, zoom 100.
TView3DOptions PresetOptions(PresetView view);

// The sunken border of the viewers' panels, in pixels.
inline constexpr int kPanelBorder = 1;

struct PreviewParams {
    int width = 800;  // pixels, at least 1
    int height = 600;
    PresetView view = PresetView::Isometric;
};

// The plot of `read` drawn on white as a panel of width x height would draw it: scale
// and base line from FitModelScale over the panel's size and chart rectangle, then the
// plot points projected under PresetOptions(view).
RgbRaster RenderDncPreview(const gcode::DncReadResult& read, const PreviewParams& params);

// "WxH" with whole positive numbers up to 16384 each; nullopt for anything else.
std::optional<std::pair<int, int>> ParsePreviewSize(std::string_view text);

}  // namespace quarvel::view3d
