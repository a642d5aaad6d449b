#include "imaging/picture_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unordered_map>

#include "imaging/bmp_reader.h"
#include "imaging/jpeg_reader.h"
#include "imaging/jpeg_writer.h"
#include "imaging/magick_codec.h"
#include "imaging/pcx_reader.h"
#include "imaging/raw_writers.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "text/atomic_file.h"
#include "text/error.h"
#include "text/input_file.h"

namespace quarvel::imaging {

namespace {

std::string lowerExtension(const std::string& fileName) {
    std::string ext = std::filesystem::path(fileName).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

unsigned byteAt(const std::string& b, std::size_t i) {
    return i < b.size() ? static_cast<unsigned char>(b[i]) : 0u;
}

// The depth a palette or grey file declares in its header: 1, 4 or 8; 24 for true colour;
// 0 when the header does not say (ImageMagick's view decides then).
int declaredBits(const std::string& b, const std::string& format) {
    if (format == "BMP" || format == "BMP2" || format == "BMP3") {
        const unsigned headerSize = byteAt(b, 14) | byteAt(b, 15) << 8;
        const std::size_t at = headerSize == 12 ? 24 : 28;
        const unsigned bits = byteAt(b, at) | byteAt(b, at + 1) << 8;
        return bits <= 8 ? BitCountForColours(std::size_t{1} << bits) : 24;
    }
    if (format == "PCX" || format == "DCX") {
        const unsigned bits = byteAt(b, 3) * byteAt(b, 65);
        return bits <= 8 ? BitCountForColours(std::size_t{1} << bits) : 24;
    }
    if (format == "GIF") {
        const unsigned packed = byteAt(b, 10);
        const unsigned bits = (packed & 0x80u) ? (packed & 7u) + 1u : 8u;
        return BitCountForColours(std::size_t{1} << bits);
    }
    if (format == "PNG") {
        const unsigned depth = byteAt(b, 24);
        const unsigned colourType = byteAt(b, 25);
        if (colourType == 3 || colourType == 0)
            return depth >= 8 ? 8 : BitCountForColours(std::size_t{1} << depth);
        return colourType == 4 ? 8 : 24;
    }
    return 0;
}

std::string normalFormatName(const std::string& magick) {
    if (magick == "BMP2" || magick == "BMP3") return "BMP";
    if (magick == "JPG") return "JPEG";
    if (magick == "TIF" || magick == "TIFF64") return "TIFF";
    return magick;
}

// The format that ImageMagick cannot spot from the bytes alone.
std::string formatHintFor(const std::string& path) {
    const int code = FileTypeOf(path);
    return code == kFormatWmf ? "WMF" : std::string();
}

int bitsFromMagick(const detail::MagickDecoded& d) {
    if (d.photometric == "palette" || d.photometric == "min-is-black" ||
        d.photometric == "min-is-white") {
        const int bits = std::clamp(d.sampleBits, 1, 8);
        return BitCountForColours(std::size_t{1} << bits);
    }
    if (d.isGrey) return 8;
    return 24;
}

PixelImage trueColourImage(detail::MagickDecoded& d) {
    PixelImage image;
    image.width = d.width;
    image.height = d.height;
    image.bitCount = 24;
    image.pixels = std::move(d.bgr);
    return image;
}

bool allGrey(const std::vector<std::uint8_t>& bgr) {
    for (std::size_t i = 0; i < bgr.size(); i += 3)
        if (bgr[i] != bgr[i + 1] || bgr[i + 1] != bgr[i + 2]) return false;
    return true;
}

// Palette of the distinct colours in order of first appearance, or false when there are
// more than `limit`.
bool paletteOfDistinct(const PixelImage& trueColour, std::size_t limit, PixelImage& out) {
    std::unordered_map<std::uint32_t, std::uint8_t> seen;
    std::vector<PaletteEntry> palette;
    out = MakeImage(trueColour.width, trueColour.height, BitCountForColours(limit));
    const std::size_t count = out.pixels.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = &trueColour.pixels[3 * i];
        const std::uint32_t key = p[0] | p[1] << 8 | p[2] << 16;
        auto [it, added] = seen.try_emplace(key, static_cast<std::uint8_t>(palette.size()));
        if (added) {
            if (palette.size() == limit) return false;
            palette.push_back({p[2], p[1], p[0]});
        }
        out.pixels[i] = it->second;
    }
    out.palette = std::move(palette);
    return true;
}

PixelImage paletteImage(detail::MagickDecoded& d, int bits) {
    const std::size_t limit = std::size_t{1} << bits;
    if (!d.indexes.empty() && d.colourMap.size() <= limit) {
        PixelImage image = MakeImage(d.width, d.height, bits);
        image.palette = std::move(d.colourMap);
        image.pixels = std::move(d.indexes);
        return image;
    }
    PixelImage trueColour = trueColourImage(d);
    if (allGrey(trueColour.pixels)) {
        PixelImage image = MakeImage(d.width, d.height, bits);
        image.palette = GreyRamp(static_cast<int>(limit));
        const int top = static_cast<int>(limit) - 1;
        for (std::size_t i = 0; i < image.pixels.size(); ++i)
            image.pixels[i] =
                static_cast<std::uint8_t>((trueColour.pixels[3 * i] * top + 127) / 255);
        return image;
    }
    PixelImage image;
    if (paletteOfDistinct(trueColour, limit, image)) {
        image.bitCount = bits;
        return image;
    }
    return trueColour;  // more colours than the declared depth holds: keep them all
}

// Reading shares one gauge: the file 0..5 %, decoding 5..80 %, our buffers 80..100 %.
void reportConversion(Progress& progress, long percent) {
    progress.setPosition(static_cast<int>(percent));
}

// The decoders' own 0..100 % laid onto the decoding part of the gauge.
class DecodingProgress final : public Progress {
public:
    explicit DecodingProgress(Progress& whole) : whole_(whole) {}
    void setPosition(int percent) override { reportConversion(whole_, 5 + percent * 75L / 100); }
    void pump() override {}
    bool cancelRequested() const override { return false; }

private:
    Progress& whole_;
};

bool readDirectly(const std::string& bytes, DecodedPicture& result, Progress& onRows) {
    if (detail::ReadPlainBmp(bytes, result.image, onRows))
        result.format = "BMP";
    else if (detail::ReadPlanarPcx(bytes, result.image))
        result.format = "PCX";
    else if (detail::ReadPlainJpeg(bytes, result.image, onRows))
        result.format = "JPEG";
    else if (detail::ReadPlainTiff(bytes, result.image, onRows))
        result.format = "TIFF";
    return !result.format.empty();
}

}  // namespace

int FileTypeOf(const std::string& fileName) {
    static const std::unordered_map<std::string, int> codes = {
        {".bmp", kFormatBmp},   {".dib", kFormatBmp},   {".pcx", kFormatPcx},
        {".tif", kFormatTiff},  {".tiff", kFormatTiff}, {".jpg", kFormatJpeg},
        {".jpeg", kFormatJpeg}, {".jpe", kFormatJpeg},  {".jfif", kFormatJpeg},
        {".gif", kFormatGif},   {".png", kFormatPng},   {".wmf", kFormatWmf}};
    const auto it = codes.find(lowerExtension(fileName));
    return it == codes.end() ? kFormatUnknown : it->second;
}

std::string ReadPictureFile(const std::string& path) {
    InputFile file(path);
    std::string bytes(static_cast<std::size_t>(file.size()), '\0');
    std::size_t size = 0;
    while (size < bytes.size()) {
        const std::size_t got = file.read(bytes.data() + size, bytes.size() - size);
        if (got == 0) break;
        size += got;
    }
    bytes.resize(size);
    // Whatever lies past the size taken at opening (a file still growing, or one whose
    // size is not known) comes in pieces: doubling the whole buffer to look for the end
    // would hold a large picture twice.
    if (size == static_cast<std::size_t>(file.size())) {
        std::array<char, 1 << 16> piece;
        while (const std::size_t got = file.read(piece.data(), piece.size()))
            bytes.append(piece.data(), got);
    }
    if (bytes.empty()) throw IoError(path, "empty file");
    return bytes;
}

DecodedPicture ReadPicture(const std::string& path, Progress& progress) {
    return DecodePicture(path, ReadPictureFile(path), progress);
}

DecodedPicture DecodePicture(const std::string& path, const std::string& bytes,
                             Progress& progress) {
    reportConversion(progress, 5);
    DecodedPicture result;
    DecodingProgress onRows(progress);
    // The common files are decoded directly; everything else, and every file our readers
    // find fault with, goes to ImageMagick.
    if (readDirectly(bytes, result, onRows)) {
        reportConversion(progress, 90);
        reportConversion(progress, 100);
        return result;
    }
    detail::MagickDecoded d = detail::DecodeWithMagick(path, bytes, formatHintFor(path), onRows);
    reportConversion(progress, 80);
    result.format = normalFormatName(d.format);
    int bits = declaredBits(bytes, result.format);
    if (bits == 0) bits = bitsFromMagick(d);
    reportConversion(progress, 90);
    const int xRes = d.xResDpi;
    const int yRes = d.yResDpi;
    result.image = bits == 24 ? trueColourImage(d) : paletteImage(d, bits);
    result.image.xResDpi = xRes;
    result.image.yResDpi = yRes;
    reportConversion(progress, 100);
    return result;
}

void WritePicture(const PixelImage& image, const std::string& path, int formatCode) {
    if (image.empty()) throw InvalidInput("there is no picture to save");
    const char* magickFormat = nullptr;
    switch (formatCode) {
        case kFormatBmp:
        case kFormatPcx:
        case kFormatTiff:
        case kFormatJpeg: break;
        case kFormatPng: magickFormat = "PNG"; break;
        case kFormatGif: magickFormat = "GIF"; break;
        default:
            throw InvalidInput(path + ": cannot write pictures with format code " +
                               std::to_string(formatCode));
    }
    AtomicFile file(path);
    if (formatCode == kFormatBmp)
        detail::WriteBmp(image, file.stream());
    else if (formatCode == kFormatPcx)
        detail::WritePcx(image, file.stream());
    else if (formatCode == kFormatTiff)
        detail::WriteTiff(image, file.stream());
    else if (formatCode == kFormatJpeg)
        detail::WriteJpeg(image, file.stream());
    else
        detail::EncodeWithMagick(image, magickFormat, file.stream());
    file.commit();
}

}  // namespace quarvel::imaging
