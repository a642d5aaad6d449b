#include "imaging/tiff_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include <tiffio.h>

#include "imaging/direct_read_limits.h"

namespace quarvel::imaging::detail {

namespace {

struct MemorySource {
    std::string_view bytes;
    std::size_t position = 0;
    int complaints = 0;  // errors and warnings alike: the general decoder judges those
};

tmsize_t readMemory(thandle_t handle, void* data, tmsize_t size) {
    auto& source = *static_cast<MemorySource*>(handle);
    if (source.position >= source.bytes.size()) return 0;
    const std::size_t count =
        std::min(static_cast<std::size_t>(size), source.bytes.size() - source.position);
    std::memcpy(data, source.bytes.data() + source.position, count);
    source.position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t writeNothing(thandle_t, void*, tmsize_t) { return 0; }

toff_t seekMemory(thandle_t handle, toff_t offset, int whence) {
    auto& source = *static_cast<MemorySource*>(handle);
    const std::size_t base = whence == SEEK_CUR   ? source.position
                             : whence == SEEK_END ? source.bytes.size()
                                                  : 0;
    source.position = base + static_cast<std::size_t>(offset);
    return static_cast<toff_t>(source.position);
}

int closeMemory(thandle_t) { return 0; }

toff_t sizeOfMemory(thandle_t handle) {
    return static_cast<toff_t>(static_cast<MemorySource*>(handle)->bytes.size());
}

int mapNothing(thandle_t, void**, toff_t*) { return 0; }
void unmapNothing(thandle_t, void*, toff_t) {}

int countComplaint(TIFF*, void* user, const char*, const char*, va_list) {
    ++static_cast<MemorySource*>(user)->complaints;
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle openFromMemory(MemorySource& source) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, countComplaint, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options, countComplaint, &source);
    // "m": no memory mapping, the bytes already are in memory.
    TIFF* tif = TIFFClientOpenExt("picture", "rm", &source, readMemory, writeNothing, seekMemory,
                                  closeMemory, sizeOfMemory, mapNothing, unmapNothing, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tif);
}

bool isPlainRgb(TIFF* tif) {
    std::uint16_t photometric = 0, samples = 0, bits = 0, planar = 0, format = 0;
    std::uint16_t extraCount = 0;
    std::uint16_t* extra = nullptr;
    return TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) && photometric == PHOTOMETRIC_RGB &&
           TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples) && samples == 3 &&
           TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits) && bits == 8 &&
           TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar) &&
           planar == PLANARCONFIG_CONTIG &&
           TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format) &&
           format == SAMPLEFORMAT_UINT &&
           TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) &&
           extraCount == 0 && !TIFFIsTiled(tif);
}

// Whole dots per inch as the file gives them; 0 without a resolution or a unit.
int dpiOf(float resolution, std::uint16_t unit) {
    double dpi = resolution;
    if (!(dpi > 0.0) || !std::isfinite(dpi)) return 0;
    if (unit == RESUNIT_CENTIMETER)
        dpi *= 2.54;
    else if (unit != RESUNIT_INCH)
        return 0;
    dpi = std::nearbyint(dpi);
    return dpi > 65535.0 ? 65535 : static_cast<int>(dpi);
}

void readResolution(TIFF* tif, PixelImage& out) {
    float x = 0, y = 0;
    std::uint16_t unit = RESUNIT_INCH;
    if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) || !TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y))
        return;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    out.xResDpi = dpiOf(x, unit);
    out.yResDpi = dpiOf(y, unit);
}

// Row by row, so that the gauge moves inside large strips too. The file holds red,
// green, blue; our rows blue, green, red.
bool readRows(TIFF* tif, PixelImage& out, Progress& progress) {
    const std::size_t rowBytes = out.rowBytes();
    if (static_cast<std::size_t>(TIFFScanlineSize64(tif)) != rowBytes) return false;
    RowReporter rows(progress, out.height);
    for (int y = 0; y < out.height; ++y) {
        rows.row(y);
        std::uint8_t* dest = out.row(y);
        if (TIFFReadScanline(tif, dest, static_cast<std::uint32_t>(y), 0) != 1) return false;
        for (std::uint8_t* p = dest; p < dest + rowBytes; p += 3) std::swap(p[0], p[2]);
    }
    rows.finish();
    return true;
}

}  // namespace

bool ReadPlainTiff(std::string_view bytes, PixelImage& image, Progress& progress) {
    if (bytes.size() < 8 || !(bytes.substr(0, 4) == std::string_view("II*\0", 4) ||
                              bytes.substr(0, 4) == std::string_view("MM\0*", 4)))
        return false;
    MemorySource source{bytes};
    TiffHandle tif = openFromMemory(source);
    if (!tif || source.complaints != 0 || !isPlainRgb(tif.get())) return false;
    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height) ||
        !WithinDirectReadLimits(width, height))
        return false;
    PixelImage decoded = MakeImage(static_cast<int>(width), static_cast<int>(height), 24);
    readResolution(tif.get(), decoded);
    if (!readRows(tif.get(), decoded, progress) || source.complaints != 0) return false;
    image = std::move(decoded);
    return true;
}

}  // namespace quarvel::imaging::detail
