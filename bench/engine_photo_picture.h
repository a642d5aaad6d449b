#pragma once
// A deterministic photo-like test picture for the contour benchmarks: broad soft shapes,
// a gentle texture and per-pixel noise of the given spread, in grey (the same byte in blue, green
// and red).
#include <cmath>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace quarvel::bench {

struct GreyPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgr;  // rows top first, width * 3 bytes each
};

inline GreyPicture photoLikePicture(int width, int height, double noiseSigma) {
    std::mt19937 rng{1234};
    std::uniform_real_distribution<double> u(0.0, 1.0);
    struct Blob {
        double x, y, radius, amount;
    };
    std::vector<Blob> blobs;
    for (int k = 0; k < 24; ++k)
        blobs.push_back({u(rng) * width, u(rng) * height, 40 + u(rng) * 200, -120 + u(rng) * 240});
    std::normal_distribution<double> noise(0.0, noiseSigma);
    GreyPicture p{width, height,
                  std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            double v = 128 + 20 * std::sin(c / 37.0) * std::cos(r / 53.0) + noise(rng);
            for (const Blob& b : blobs) {
                const double d2 = (c - b.x) * (c - b.x) + (r - b.y) * (r - b.y);
                v += b.amount * std::exp(-d2 / (2 * b.radius * b.radius));
            }
            const auto level = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
            const std::size_t at = (static_cast<std::size_t>(r) * width + c) * 3;
            p.bgr[at] = p.bgr[at + 1] = p.bgr[at + 2] = level;
        }
    }
    return p;
}

// Writes the picture as an uncompressed 24-bit BMP (rows bottom-up, padded to 4 bytes).
inline void writeBmp(const GreyPicture& p, const std::string& path) {
    const int rowBytes = (p.width * 3 + 3) / 4 * 4;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(rowBytes) * p.height;
    std::vector<char> file(54 + dataBytes, 0);
    const auto put32 = [&file](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) file[at + k] = static_cast<char>(v >> (8 * k));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(p.width));
    put32(22, static_cast<std::uint32_t>(p.height));
    file[26] = 1;
    file[28] = 24;
    put32(34, dataBytes);
    for (int r = 0; r < p.height; ++r) {
        const auto* src = p.bgr.data() + static_cast<std::size_t>(p.height - 1 - r) * p.width * 3;
        std::copy(src, src + p.width * 3,
                  file.begin() + 54 + static_cast<std::ptrdiff_t>(r) * rowBytes);
    }
    std::ofstream(path, std::ios::binary)
        .write(file.data(), static_cast<std::streamsize>(file.size()));
}

}  // namespace quarvel::bench
