#include "imaging/tiff_writer.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <tiffio.h>

#include "text/error.h"

namespace quarvel::imaging::detail {

namespace {

constexpr std::uint64_t kStripBytes = 1 << 20;

// libtiff writes straight into the caller's stream, which must be able to seek: it
// goes back to fill in offsets, and skips ahead to align the directory.
struct StreamFile {
    std::ostream* out;
    std::streamoff start;  // where the TIFF begins in the stream
    std::string error;
};

tmsize_t readNothing(thandle_t, void*, tmsize_t) { return 0; }

tmsize_t writeStream(thandle_t handle, void* data, tmsize_t size) {
    auto& file = *static_cast<StreamFile*>(handle);
    file.out->write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return *file.out ? size : 0;
}

std::streamoff endOf(std::ostream& out) {
    const std::streamoff here = out.tellp();
    out.seekp(0, std::ios::end);
    const std::streamoff end = out.tellp();
    out.seekp(here);
    return end;
}

toff_t seekStream(thandle_t handle, toff_t offset, int whence) {
    auto& file = *static_cast<StreamFile*>(handle);
    std::ostream& out = *file.out;
    const std::streamoff end = endOf(out);
    const std::streamoff base = whence == SEEK_CUR   ? std::streamoff(out.tellp())
                                : whence == SEEK_END ? end
                                                     : file.start;
    const std::streamoff target = base + static_cast<std::streamoff>(offset);
    if (target > end) {  // a gap: fill it, as not every stream can seek past its end
        out.seekp(end);
        for (std::streamoff i = end; i < target; ++i) out.put('\0');
    }
    out.seekp(target);
    return out ? static_cast<toff_t>(target - file.start) : static_cast<toff_t>(-1);
}

int closeStream(thandle_t) { return 0; }

toff_t sizeOfStream(thandle_t handle) {
    auto& file = *static_cast<StreamFile*>(handle);
    return static_cast<toff_t>(endOf(*file.out) - file.start);
}

int mapNothing(thandle_t, void**, toff_t*) { return 0; }
void unmapNothing(thandle_t, void*, toff_t) {}

// Keeps libtiff's first complaint as the reason, instead of printing it.
int keepError(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto& file = *static_cast<StreamFile*>(user);
    if (file.error.empty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        file.error = text;
    }
    return 1;
}

int ignoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle openOnStream(StreamFile& file) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, keepError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreWarning, nullptr);
    TIFF* tif = TIFFClientOpenExt("picture", "w", &file, readNothing, writeStream, seekStream,
                                  closeStream, sizeOfStream, mapNothing, unmapNothing, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tif);
}

bool isGreyRamp(const PixelImage& image) { return image.palette == GreyRamp(1 << image.bitCount); }

// The palette as TIFF's colour map: all reds, then greens, then blues, 16 bits each.
std::vector<std::uint16_t> colourMap(const PixelImage& image) {
    const std::size_t entries = std::size_t{1} << image.bitCount;
    std::vector<std::uint16_t> map(3 * entries, 0);
    for (std::size_t i = 0; i < entries && i < image.palette.size(); ++i) {
        map[i] = static_cast<std::uint16_t>(image.palette[i].red * 257);
        map[entries + i] = static_cast<std::uint16_t>(image.palette[i].green * 257);
        map[2 * entries + i] = static_cast<std::uint16_t>(image.palette[i].blue * 257);
    }
    return map;
}

bool setFields(TIFF* tif, const PixelImage& image) {
    const bool trueColour = image.bitCount == 24;
    const auto bits = static_cast<std::uint16_t>(trueColour ? 8 : image.bitCount);
    bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.width)) &&
              TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.height)) &&
              TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits) &&
              TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, trueColour ? 3 : 1) &&
              TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    // Differencing helps LZW on photographs but works on whole bytes only.
    if (ok && bits == 8) ok = TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    if (ok && trueColour) {
        ok = TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    } else if (ok && isGreyRamp(image)) {
        ok = TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    } else if (ok) {
        std::vector<std::uint16_t> map = colourMap(image);
        const std::size_t entries = map.size() / 3;
        ok = TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE) &&
             TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + entries,
                          map.data() + 2 * entries);
    }
    if (ok && image.xResDpi > 0 && image.yResDpi > 0) {
        ok = TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(image.xResDpi)) &&
             TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(image.yResDpi)) &&
             TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    }
    // Strips of about a megabyte: LZW starts its table afresh in every strip, so tiny
    // strips compress worse, and every strip costs an entry in the directory.
    const std::uint64_t rowBytes = std::max<std::uint64_t>(TIFFScanlineSize64(tif), 1);
    const auto rowsPerStrip = static_cast<std::uint32_t>(std::clamp<std::uint64_t>(
        kStripBytes / rowBytes, 1, static_cast<std::uint64_t>(image.height)));
    return ok && TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
}

// One row as the file stores it: red, green, blue, or indexes packed most significant
// bits first.
void fileRow(const PixelImage& image, int y, std::uint8_t* dest, std::size_t rowBytes) {
    const std::uint8_t* src = image.row(y);
    if (image.bitCount == 24) {
        for (int x = 0; x < image.width; ++x, src += 3, dest += 3) {
            dest[0] = src[2];
            dest[1] = src[1];
            dest[2] = src[0];
        }
    } else if (image.bitCount == 8) {
        std::memcpy(dest, src, rowBytes);
    } else {
        std::memset(dest, 0, rowBytes);
        const int bits = image.bitCount;
        const int perByte = 8 / bits;
        const unsigned mask = (1u << bits) - 1u;
        for (int x = 0; x < image.width; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            dest[x / perByte] |= static_cast<std::uint8_t>((src[x] & mask) << shift);
        }
    }
}

bool writeStrips(TIFF* tif, const PixelImage& image) {
    std::uint32_t rowsPerStrip = 0;
    TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip =
        std::clamp<std::uint32_t>(rowsPerStrip, 1u, static_cast<std::uint32_t>(image.height));
    const auto rowBytes = static_cast<std::size_t>(TIFFScanlineSize64(tif));
    // The encoder may change the buffer it is given (differencing), so rows are copied.
    std::vector<std::uint8_t> strip(rowBytes * rowsPerStrip);
    for (std::uint32_t first = 0, index = 0; first < static_cast<std::uint32_t>(image.height);
         first += rowsPerStrip, ++index) {
        const std::uint32_t rows =
            std::min(rowsPerStrip, static_cast<std::uint32_t>(image.height) - first);
        for (std::uint32_t r = 0; r < rows; ++r)
            fileRow(image, static_cast<int>(first + r), strip.data() + r * rowBytes, rowBytes);
        if (TIFFWriteEncodedStrip(tif, index, strip.data(),
                                  static_cast<tmsize_t>(rows * rowBytes)) < 0)
            return false;
    }
    return true;
}

}  // namespace

void WriteTiff(const PixelImage& image, std::ostream& out) {
    StreamFile file{&out, out.tellp(), {}};
    if (file.start < 0) throw Error("cannot encode picture as TIFF: the output cannot seek");
    bool ok = false;
    {
        TiffHandle tif = openOnStream(file);
        ok = tif && setFields(tif.get(), image) && writeStrips(tif.get(), image) &&
             TIFFWriteDirectory(tif.get());
    }  // closing flushes what is left
    if (!ok || !file.error.empty() || !out) {
        const std::string reason =
            file.error.empty() ? std::string("the file could not be written") : file.error;
        throw Error("cannot encode picture as TIFF: " + reason);
    }
    out.seekp(0, std::ios::end);
}

}  // namespace quarvel::imaging::detail
