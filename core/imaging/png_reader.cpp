#include "imaging/png_reader.h"

#include <cmath>
#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

#include "imaging/direct_read_limits.h"

namespace quarvel::imaging::detail {

namespace {

struct Source {
    std::string_view bytes;
    std::size_t at = 0;
};

void readBytes(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->bytes.size() - source->at) png_error(png, "truncated");
    std::memcpy(out, source->bytes.data() + source->at, count);
    source->at += count;
}

// libpng's default handlers print; ours jump back on errors and count warnings (a
// warning means a damaged file, which the general decoder then judges).
void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void onWarning(png_structp png, png_const_charp) { ++*static_cast<int*>(png_get_error_ptr(png)); }

// Frees libpng's memory however decoding ends.
struct Reader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    Reader() = default;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
};

// Whole dots per inch from pixels per metre, worked out as the general decoder does:
// pixels per centimetre first, then inches, rounded to nearest, halves to even.
int dpiOf(png_uint_32 pixelsPerMetre) {
    const double perCentimetre = static_cast<double>(pixelsPerMetre) / 100.0;
    if (!(perCentimetre > 0.0)) return 0;
    const double dpi = std::nearbyint(perCentimetre * 2.54);
    return dpi > 65535.0 ? 65535 : static_cast<int>(dpi);
}

// The gamma of sRGB (1 / 2.2) in the file's units; the one gamma taken as read.
constexpr png_fixed_point kSrgbGamma = 45455;

// Samples that stand as they are: the general decoder converts samples of any other gamma
// (a gamma of 1 makes linear grey or RGB of them) and lays transparency on white; colour
// profiles are left to it too.
bool hasPlainSamples(png_structp png, png_infop info) {
    png_fixed_point gamma = kSrgbGamma;
    if (png_get_valid(png, info, PNG_INFO_gAMA) != 0 &&
        (png_get_gAMA_fixed(png, info, &gamma) == 0 || gamma != kSrgbGamma))
        return false;
    return png_get_valid(png, info, PNG_INFO_tRNS | PNG_INFO_iCCP) == 0;
}

bool isPlain(png_structp png, png_infop info) {
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    return depth == 8 && (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_RGB) &&
           interlace == PNG_INTERLACE_NONE && hasPlainSamples(png, info) &&
           WithinDirectReadLimits(width, height);
}

// Everything between setjmp and a possible longjmp is plain data or lives in the
// caller: no destructor is skipped when libpng gives up.
bool decode(Reader& r, Source& source, TZGrid& out, std::vector<png_byte>& rgbRow) {
    if (setjmp(png_jmpbuf(r.png)) != 0) return false;
    png_set_read_fn(r.png, &source, readBytes);
    png_read_info(r.png, r.info);
    if (!isPlain(r.png, r.info)) return false;
    const auto width = static_cast<int>(png_get_image_width(r.png, r.info));
    const auto height = static_cast<int>(png_get_image_height(r.png, r.info));
    const bool grey = png_get_color_type(r.png, r.info) == PNG_COLOR_TYPE_GRAY;
    out = TZGrid(height, width);
    if (!grey) rgbRow.resize(3 * static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* dest = out.row(y);
        if (grey) {
            png_read_row(r.png, dest, nullptr);
            continue;
        }
        png_read_row(r.png, rgbRow.data(), nullptr);
        for (int x = 0; x < width; ++x) dest[x] = rgbRow[3 * static_cast<std::size_t>(x)];
    }
    png_read_end(r.png, nullptr);
    return true;
}

}  // namespace

bool ReadPlainPngRed(std::string_view bytes, TZGrid& grid, int& xResDpi, int& yResDpi) {
    if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) != 0)
        return false;
    int warnings = 0;
    Reader r;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &warnings, onError, onWarning);
    if (r.png == nullptr) return false;
    r.info = png_create_info_struct(r.png);
    if (r.info == nullptr) return false;
    // A picture past our limits is refused before its rows are allocated.
    png_set_user_limits(r.png, kDirectReadMaxSide, kDirectReadMaxSide);
    Source source{bytes};
    TZGrid decoded;
    std::vector<png_byte> rgbRow;
    if (!decode(r, source, decoded, rgbRow) || warnings != 0) return false;
    png_uint_32 xPerMetre = 0, yPerMetre = 0;
    int unit = PNG_RESOLUTION_UNKNOWN;
    const bool hasDensity = png_get_pHYs(r.png, r.info, &xPerMetre, &yPerMetre, &unit) != 0 &&
                            unit == PNG_RESOLUTION_METER;
    grid = std::move(decoded);
    xResDpi = hasDensity ? dpiOf(xPerMetre) : 0;
    yResDpi = hasDensity ? dpiOf(yPerMetre) : 0;
    return true;
}

}  // namespace quarvel::imaging::detail
