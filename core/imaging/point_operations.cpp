#include "imaging/point_operations.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quarvel::imaging {

namespace {

using Table = std::array<std::uint8_t, 256>;

std::uint8_t clampByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

// Applies one table per channel (blue, green, red) to pixels or palette entries.
void applyTables(PixelImage& image, const Table& blue, const Table& green, const Table& red) {
    if (image.isTrueColor()) {
        std::uint8_t* p = image.pixels.data();
        const std::size_t count = image.pixels.size();
        for (std::size_t i = 0; i < count; i += 3) {
            p[i] = blue[p[i]];
            p[i + 1] = green[p[i + 1]];
            p[i + 2] = red[p[i + 2]];
        }
        return;
    }
    for (auto& e : image.palette) {
        e.blue = blue[e.blue];
        e.green = green[e.green];
        e.red = red[e.red];
    }
}

Table identity() {
    Table t{};
    for (int v = 0; v < 256; ++v) t[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(v);
    return t;
}

template <class F>
Table tableOf(F f) {
    Table t{};
    for (int v = 0; v < 256; ++v) t[static_cast<std::size_t>(v)] = clampByte(f(v));
    return t;
}

void applyOnChannel(PixelImage& image, const Table& t, int channel) {
    const Table same = identity();
    const bool all = channel < 0 || channel > 2;
    applyTables(image, all || channel == 0 ? t : same, all || channel == 1 ? t : same,
                all || channel == 2 ? t : same);
}

template <class GreyOf>
void greyEach(PixelImage& image, GreyOf greyOf) {
    if (image.isTrueColor()) {
        std::uint8_t* p = image.pixels.data();
        for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
            const std::uint8_t g = greyOf(p[i + 2], p[i + 1], p[i]);
            p[i] = p[i + 1] = p[i + 2] = g;
        }
        return;
    }
    for (auto& e : image.palette) {
        const std::uint8_t g = greyOf(e.red, e.green, e.blue);
        e = {g, g, g};
    }
}

}  // namespace

void ToGrey(PixelImage& image, int mode, float redWeight, float greenWeight, float blueWeight) {
    if (mode == 1) {
        greyEach(image, [](int r, int g, int b) {
            return static_cast<std::uint8_t>(std::max({r, g, b}));
        });
    } else if (mode == 2) {
        greyEach(image, [](int r, int g, int b) {
            return static_cast<std::uint8_t>((r + g + b + 1) / 3);
        });
    } else if (mode == 4) {
        // Products per channel once, so the pixel loop only adds and rounds.
        std::array<double, 256> wr{}, wg{}, wb{};
        for (int v = 0; v < 256; ++v) {
            wr[static_cast<std::size_t>(v)] = static_cast<double>(redWeight) * v;
            wg[static_cast<std::size_t>(v)] = static_cast<double>(greenWeight) * v;
            wb[static_cast<std::size_t>(v)] = static_cast<double>(blueWeight) * v;
        }
        greyEach(image, [&](int r, int g, int b) {
            return clampByte(wr[static_cast<std::size_t>(r)] + wg[static_cast<std::size_t>(g)] +
                             wb[static_cast<std::size_t>(b)]);
        });
    }
}

void Invert(PixelImage& image) {
    const Table t = tableOf([](int v) { return 255.0 - v; });
    applyTables(image, t, t, t);
}

void PosterizeLevels(PixelImage& image, int levels) {
    if (levels >= 256) return;
    const int steps = std::max(levels, 2) - 1;
    const Table t = tableOf([steps](int v) {
        const int level = (v * steps + 127) / 255;
        return static_cast<double>((level * 255 + steps / 2) / steps);
    });
    applyTables(image, t, t, t);
}

void ScaleChannels(PixelImage& image, int redPercent, int greenPercent, int bluePercent) {
    auto scaled = [](int percent) {
        return tableOf([percent](int v) { return v * (100.0 + percent) / 100.0; });
    };
    applyTables(image, scaled(bluePercent), scaled(greenPercent), scaled(redPercent));
}

void AddBrightness(PixelImage& image, int amountPercent, int channel) {
    const double delta = std::nearbyint(amountPercent * 255.0 / 100.0);
    applyOnChannel(image, tableOf([delta](int v) { return v + delta; }), channel);
}

void StretchContrast(PixelImage& image, int low, int high, int channel) {
    if (low >= high) return;
    const double span = high - low;
    applyOnChannel(image, tableOf([=](int v) { return (v - low) * 255.0 / span; }), channel);
}

void ReduceGreyLevels(PixelImage& image, int levels) {
    const int steps = std::clamp(levels, 2, 256) - 1;
    auto reduce = [steps](int grey) {
        const int level = (grey * steps + 127) / 255;
        return static_cast<std::uint8_t>((level * 255 + steps / 2) / steps);
    };
    if (image.bitCount != 8) {
        PixelImage grey = MakeImage(image.width, image.height, 8);
        grey.xResDpi = image.xResDpi;
        grey.yResDpi = image.yResDpi;
        grey.palette = GreyRamp(256);
        const PixelImage source = ExpandTo24(image);
        for (std::size_t i = 0; i < grey.pixels.size(); ++i) {
            const std::uint8_t* p = &source.pixels[3 * i];
            grey.pixels[i] = static_cast<std::uint8_t>(Luminance(p[2], p[1], p[0]));
        }
        image = std::move(grey);
    }
    for (auto& e : image.palette) {
        const std::uint8_t g = reduce(Luminance(e.red, e.green, e.blue));
        e = {g, g, g};
    }
}

}  // namespace quarvel::imaging
