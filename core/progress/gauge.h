#pragma once
// State of the status bar's percentage gauge, and the imaging component's progress rule.
#include <cstdint>
#include <string>

namespace quarvel {

struct GaugeState {
    std::uint8_t position = 0;  // 0..100
    bool enabled = false;

    // Returns true when the panel must be repainted: only a new value repaints.
    bool setPosition(int percent);
};

// What the status bar must do after one progress report of the imaging component.
struct ImagingProgressEffect {
    bool moveGauge = false;  // enable the gauge and show `position`
    int position = 0;
    bool finished = false;  // disable the gauge and show "Done" in the detail panel
};

// p = done / total * 100 rounded half to even. If progressCounter < p the counter
// advances by 10 and the gauge shows p. At p >= 96 the counter is reset to 0 and the
// report is the last one ("Done"). A total of 0 or less reports nothing.
ImagingProgressEffect ImagingProgressStep(std::int32_t& progressCounter, std::int64_t done,
                                          std::int64_t total);

// The text drawn on an enabled gauge panel: its own text, else "<position>%".
std::string GaugeText(const std::string& panelText, int position);

// The x at which the filled part of a gauge of `width` ends (integer multiply-divide).
int GaugeSplitX(int left, int width, int position);

}  // namespace quarvel
