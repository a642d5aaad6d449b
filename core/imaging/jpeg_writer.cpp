#include "imaging/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "text/error.h"

namespace quarvel::imaging::detail {

namespace {

constexpr std::size_t kOutputChunk = 1 << 16;

// libjpeg's default error handler ends the process; ours jumps back with the message.
struct ErrorJump {
    jpeg_error_mgr base;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info) {
    auto* jump = reinterpret_cast<ErrorJump*>(info->err);
    info->err->format_message(info, jump->message);
    std::longjmp(jump->back, 1);
}

void onMessage(j_common_ptr) {}  // warnings are not shown

// Sends the compressed bytes to the stream in chunks.
struct StreamTarget {
    jpeg_destination_mgr base;
    std::ostream* out;
    std::vector<JOCTET>* chunk;
};

void startTarget(j_compress_ptr info) {
    auto* t = reinterpret_cast<StreamTarget*>(info->dest);
    t->base.next_output_byte = t->chunk->data();
    t->base.free_in_buffer = t->chunk->size();
}

boolean flushTarget(j_compress_ptr info) {
    auto* t = reinterpret_cast<StreamTarget*>(info->dest);
    t->out->write(reinterpret_cast<const char*>(t->chunk->data()),
                  static_cast<std::streamsize>(t->chunk->size()));
    startTarget(info);
    return TRUE;
}

void finishTarget(j_compress_ptr info) {
    auto* t = reinterpret_cast<StreamTarget*>(info->dest);
    const std::size_t used = t->chunk->size() - t->base.free_in_buffer;
    t->out->write(reinterpret_cast<const char*>(t->chunk->data()),
                  static_cast<std::streamsize>(used));
}

// Grey pictures go as their palette's grey levels, palette colour pictures as 24-bit.
PixelImage encodablePixels(const PixelImage& image, bool grey) {
    if (image.bitCount == 24) return {};
    if (!grey) return ExpandTo24(image);
    PixelImage levels = MakeImage(image.width, image.height, 8);
    for (std::size_t i = 0; i < levels.pixels.size(); ++i) {
        const std::uint8_t index = image.pixels[i];
        levels.pixels[i] = index < image.palette.size() ? image.palette[index].red : 0;
    }
    return levels;
}

// Everything between setjmp and a possible longjmp is plain data: no destructor is
// skipped when libjpeg reports an error. Returns false with `jump.message` filled.
bool compress(const PixelImage& pixels, bool grey, int xDpi, int yDpi, StreamTarget& target,
              ErrorJump& jump) {
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&jump.base);
    jump.base.error_exit = onError;
    jump.base.output_message = onMessage;
    if (setjmp(jump.back) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    target.base.init_destination = startTarget;
    target.base.empty_output_buffer = flushTarget;
    target.base.term_destination = finishTarget;
    info.dest = &target.base;
    info.image_width = static_cast<JDIMENSION>(pixels.width);
    info.image_height = static_cast<JDIMENSION>(pixels.height);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kJpegQuality, TRUE);
    // The fast integer transform with optimised Huffman tables: the files are the same,
    // byte for byte, as those the program made through ImageMagick before.
    info.dct_method = JDCT_IFAST;
    info.optimize_coding = TRUE;
    // At this quality fine colour detail matters more than the smaller file.
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    if (xDpi > 0 && yDpi > 0) {
        info.density_unit = 1;  // dots per inch
        info.X_density = static_cast<UINT16>(xDpi > 65535 ? 65535 : xDpi);
        info.Y_density = static_cast<UINT16>(yDpi > 65535 ? 65535 : yDpi);
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        // libjpeg only reads the rows it is given, in spite of the non-const type.
        JSAMPROW row = const_cast<JSAMPROW>(pixels.row(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

void WriteJpeg(const PixelImage& image, std::ostream& out) {
    const bool grey = image.bitCount == 8 && IsGreyPalette(image.palette);
    const PixelImage converted = encodablePixels(image, grey);
    const PixelImage& pixels = image.bitCount == 24 ? image : converted;
    std::vector<JOCTET> chunk(kOutputChunk);
    StreamTarget target{};
    target.out = &out;
    target.chunk = &chunk;
    ErrorJump jump{};
    if (!compress(pixels, grey, image.xResDpi, image.yResDpi, target, jump))
        throw Error(std::string("cannot encode picture as JPEG: ") + jump.message);
}

}  // namespace quarvel::imaging::detail
