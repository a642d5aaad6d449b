// The 3 x 3 filters and the picture files on a 4000 x 3000 24-bit picture, each next to
// the nearest ImageMagick operation measured in the same run, both on one thread.
#include <Magick++.h>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "imaging/magick_codec.h"
#include "imaging/neighbourhood_filters.h"
#include "imaging/picture_files.h"

namespace {

using namespace quarvel::imaging;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A smooth colour field with fixed-seed noise, so that filters and coders see texture.
const PixelImage& benchPicture() {
    static const PixelImage picture = [] {
        PixelImage p = MakeImage(kWidth, kHeight, 24);
        std::mt19937 rng{1234};
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = p.row(y);
            for (int x = 0; x < kWidth; ++x) {
                const unsigned noise = rng() & 31u;
                row[3 * x] = static_cast<std::uint8_t>((x * 200 / kWidth + noise) & 255);
                row[3 * x + 1] = static_cast<std::uint8_t>((y * 200 / kHeight + noise) & 255);
                row[3 * x + 2] = static_cast<std::uint8_t>(((x + y) / 30 + noise) & 255);
            }
        }
        return p;
    }();
    return picture;
}

const Magick::Image& magickPicture() {
    static const Magick::Image image = [] {
        Magick::InitializeMagick(nullptr);
        Magick::ResourceLimits::thread(1);
        const PixelImage& p = benchPicture();
        return Magick::Image(kWidth, kHeight, "BGR", Magick::CharPixel, p.pixels.data());
    }();
    return image;
}

void setCounts(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kWidth) * kHeight);
}

void BM_OurKernel(benchmark::State& state) {
    const auto kernel = static_cast<Kernel3x3>(state.range(0));
    const PixelImage& src = benchPicture();
    for (auto _ : state) benchmark::DoNotOptimize(ApplyKernel(src, kernel));
    setCounts(state);
}
BENCHMARK(BM_OurKernel)
    ->ArgName("kernel")
    ->DenseRange(static_cast<int>(Kernel3x3::Sharpen), static_cast<int>(Kernel3x3::Despeckle))
    ->Unit(benchmark::kMillisecond);

void BM_OurEmboss(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ApplyEmboss(benchPicture(), 3));
    setCounts(state);
}
BENCHMARK(BM_OurEmboss)->Unit(benchmark::kMillisecond);

void BM_OurGradientEdge(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ApplyGradientEdge(benchPicture(), 2));
    setCounts(state);
}
BENCHMARK(BM_OurGradientEdge)->Unit(benchmark::kMillisecond);

void BM_OurSobel(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ApplySobel(benchPicture(), 10, false));
    setCounts(state);
}
BENCHMARK(BM_OurSobel)->Unit(benchmark::kMillisecond);

void BM_OurMatchedFilter(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ApplyMatchedFilter(benchPicture(), 0));
    setCounts(state);
}
BENCHMARK(BM_OurMatchedFilter)->Unit(benchmark::kMillisecond);

void BM_OurShiftDifference(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ApplyShiftDifference(benchPicture(), 3));
    setCounts(state);
}
BENCHMARK(BM_OurShiftDifference)->Unit(benchmark::kMillisecond);

// ImageMagick's counterparts. Each works on a copy, as ours return a new picture.
void BM_MagickConvolve3x3(benchmark::State& state) {
    const double kernel[9] = {-1, -1, -1, -1, 9, -1, -1, -1, -1};
    for (auto _ : state) {
        Magick::Image copy = magickPicture();
        copy.convolve(3, kernel);
        benchmark::DoNotOptimize(copy);
    }
    setCounts(state);
}
BENCHMARK(BM_MagickConvolve3x3)->Unit(benchmark::kMillisecond);

void BM_MagickBlur(benchmark::State& state) {
    for (auto _ : state) {
        Magick::Image copy = magickPicture();
        copy.blur(1.0, 0.5);  // radius 1: a 3 x 3 Gaussian
        benchmark::DoNotOptimize(copy);
    }
    setCounts(state);
}
BENCHMARK(BM_MagickBlur)->Unit(benchmark::kMillisecond);

void BM_MagickSharpen(benchmark::State& state) {
    for (auto _ : state) {
        Magick::Image copy = magickPicture();
        copy.sharpen(1.0, 0.5);
        benchmark::DoNotOptimize(copy);
    }
    setCounts(state);
}
BENCHMARK(BM_MagickSharpen)->Unit(benchmark::kMillisecond);

void BM_MagickMedian3x3(benchmark::State& state) {
    for (auto _ : state) {
        Magick::Image copy = magickPicture();
        copy.medianFilter(1.0);
        benchmark::DoNotOptimize(copy);
    }
    setCounts(state);
}
BENCHMARK(BM_MagickMedian3x3)->Unit(benchmark::kMillisecond);

void BM_MagickDespeckle(benchmark::State& state) {
    for (auto _ : state) {
        Magick::Image copy = magickPicture();
        copy.despeckle();
        benchmark::DoNotOptimize(copy);
    }
    setCounts(state);
}
BENCHMARK(BM_MagickDespeckle)->Unit(benchmark::kMillisecond);

// Files: arg 0 BMP, 1 JPEG, 2 TIFF.
const char* const kExtensions[] = {"bmp", "jpg", "tif"};

std::string benchFile(std::int64_t format) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              (std::string("quarvel-bench.") + kExtensions[format]))
                                 .string();
    if (!std::filesystem::exists(path)) WritePicture(benchPicture(), path, FileTypeOf(path));
    return path;
}

void BM_OurLoad(benchmark::State& state) {
    const std::string path = benchFile(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ReadPicture(path));
    setCounts(state);
}
BENCHMARK(BM_OurLoad)->ArgName("format")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The earlier way of loading JPEG and TIFF: the file's bytes handed to ImageMagick and
// its pixels copied out (the later conversion to our depth is left out).
void BM_OurLoadThroughMagick(benchmark::State& state) {
    const std::string path = benchFile(state.range(0));
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(quarvel::imaging::detail::DecodeWithMagick(path, bytes, ""));
    }
    setCounts(state);
}
BENCHMARK(BM_OurLoadThroughMagick)
    ->ArgName("format")
    ->DenseRange(1, 2)
    ->Unit(benchmark::kMillisecond);

void BM_MagickLoad(benchmark::State& state) {
    const std::string path = benchFile(state.range(0));
    magickPicture();
    for (auto _ : state) {
        Magick::Image image;
        image.read(path);
        benchmark::DoNotOptimize(image);
    }
    setCounts(state);
}
BENCHMARK(BM_MagickLoad)->ArgName("format")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// ImageMagick reading plus the copy of its pixels into a 24-bit buffer: the least any
// program that keeps its own pixels must do with it.
void BM_MagickLoadAndExport(benchmark::State& state) {
    const std::string path = benchFile(state.range(0));
    magickPicture();
    for (auto _ : state) {
        // A fresh buffer each time, as a program that loads a picture needs one.
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 3);
        Magick::Image image;
        image.read(path);
        image.write(0, 0, kWidth, kHeight, "BGR", Magick::CharPixel, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
    setCounts(state);
}
BENCHMARK(BM_MagickLoadAndExport)
    ->ArgName("format")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

void BM_OurSave(benchmark::State& state) {
    const std::string path = benchFile(state.range(0)) + ".out." + kExtensions[state.range(0)];
    for (auto _ : state) WritePicture(benchPicture(), path, FileTypeOf(path));
    std::filesystem::remove(path);
    setCounts(state);
}
BENCHMARK(BM_OurSave)->ArgName("format")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The earlier way of saving JPEG and TIFF: our pixels handed to ImageMagick's encoder.
void BM_OurSaveThroughMagick(benchmark::State& state) {
    const std::string path = benchFile(state.range(0)) + ".old." + kExtensions[state.range(0)];
    const char* format = state.range(0) == 1 ? "JPEG" : "TIFF";
    for (auto _ : state) {
        std::ofstream out(path, std::ios::binary);
        quarvel::imaging::detail::EncodeWithMagick(benchPicture(), format, out);
    }
    std::filesystem::remove(path);
    setCounts(state);
}
BENCHMARK(BM_OurSaveThroughMagick)
    ->ArgName("format")
    ->DenseRange(1, 2)
    ->Unit(benchmark::kMillisecond);

void BM_MagickSave(benchmark::State& state) {
    const std::string path = benchFile(state.range(0)) + ".magick." + kExtensions[state.range(0)];
    Magick::Image image = magickPicture();
    if (state.range(0) == 1) image.quality(90);
    if (state.range(0) == 2) image.compressType(MagickCore::LZWCompression);
    for (auto _ : state) image.write(path);
    std::filesystem::remove(path);
    setCounts(state);
}
BENCHMARK(BM_MagickSave)->ArgName("format")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
