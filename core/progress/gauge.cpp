#include "progress/gauge.h"

#include <algorithm>
#include <cmath>

namespace quarvel {

bool GaugeState::setPosition(int percent) {
    const auto value = static_cast<std::uint8_t>(std::clamp(percent, 0, 100));
    if (value == position) return false;
    position = value;
    return true;
}

ImagingProgressEffect ImagingProgressStep(std::int32_t& progressCounter, std::int64_t done,
                                          std::int64_t total) {
    ImagingProgressEffect effect;
    if (total <= 0) return effect;
    const double ratio = static_cast<double>(done) / static_cast<double>(total) * 100.0;
    const int p = static_cast<int>(std::nearbyint(ratio));  // default mode: halves to even
    if (progressCounter < p) {
        progressCounter += 10;
        effect.moveGauge = true;
        effect.position = p;
    }
    if (p >= 96) {
        progressCounter = 0;
        effect.finished = true;
    }
    return effect;
}

std::string GaugeText(const std::string& panelText, int position) {
    if (!panelText.empty()) return panelText;
    return std::to_string(position) + "%";
}

int GaugeSplitX(int left, int width, int position) {
    return left + static_cast<int>(static_cast<long long>(width) * position / 100);
}

}  // namespace quarvel
