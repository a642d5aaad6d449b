#include "imaging/jpeg_reader.h"

#include <csetjmp>
#include <cmath>
#include <cstdio>

#include <jpeglib.h>

#include "imaging/direct_read_limits.h"

namespace quarvel::imaging::detail {

namespace {

// libjpeg's default handlers end the process on errors and print warnings; ours jump
// back on errors and count warnings (a warning means a damaged file).
struct Complaints {
    jpeg_error_mgr base;
    std::jmp_buf back;
    int warnings;
};

void onError(j_common_ptr info) { std::longjmp(reinterpret_cast<Complaints*>(info->err)->back, 1); }

void onMessage(j_common_ptr info, int level) {
    if (level < 0) ++reinterpret_cast<Complaints*>(info->err)->warnings;
}

// The density as whole dots per inch; 0 when the file gives an aspect ratio only.
int dpiOf(int unit, unsigned density) {
    if (density == 0) return 0;
    if (unit == 1) return static_cast<int>(density);
    if (unit == 2) return static_cast<int>(std::nearbyint(density * 2.54));
    return 0;
}

bool isPlain(const jpeg_decompress_struct& info) {
    if (info.data_precision != 8) return false;
    if (info.num_components == 1) return info.jpeg_color_space == JCS_GRAYSCALE;
    return info.num_components == 3 && info.jpeg_color_space == JCS_YCbCr;
}

// Frees libjpeg's memory however decoding ends: done, given up, or an exception from
// the progress sink or an allocation. (Destroying a zeroed struct is harmless.)
struct Decompressor {
    jpeg_decompress_struct info{};
    Decompressor() = default;
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    ~Decompressor() { jpeg_destroy_decompress(&info); }
};

// Everything between setjmp and a possible longjmp is plain data or lives in the
// caller: no destructor is skipped when libjpeg gives up.
bool decompress(std::string_view bytes, jpeg_decompress_struct& info, PixelImage& out,
                Progress& progress, Complaints& complaints) {
    info.err = jpeg_std_error(&complaints.base);
    complaints.base.error_exit = onError;
    complaints.base.emit_message = onMessage;
    if (setjmp(complaints.back) != 0) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || !isPlain(info) ||
        !WithinDirectReadLimits(info.image_width, info.image_height))
        return false;
    const bool grey = info.num_components == 1;
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.bitCount = grey ? 8 : 24;
    out.pixels.resize(out.rowBytes() * static_cast<std::size_t>(out.height));
    RowReporter rows(progress, out.height);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        rows.row(y);
        JSAMPROW row = out.row(y);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    rows.finish();
    // A density of 1 is what encoders write when they know no resolution (aspect 1:1),
    // so it stands for none, as it always has in this program.
    if (info.saw_JFIF_marker && info.X_density != 1 && info.Y_density != 1) {
        out.xResDpi = dpiOf(info.density_unit, info.X_density);
        out.yResDpi = dpiOf(info.density_unit, info.Y_density);
    }
    return complaints.warnings == 0;
}

}  // namespace

bool ReadPlainJpeg(std::string_view bytes, PixelImage& image, Progress& progress) {
    if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xD8)
        return false;
    PixelImage decoded;
    Complaints complaints{};
    Decompressor decompressor;
    if (!decompress(bytes, decompressor.info, decoded, progress, complaints)) return false;
    if (decoded.bitCount == 8) decoded.palette = GreyRamp();
    image = std::move(decoded);
    return true;
}

}  // namespace quarvel::imaging::detail
