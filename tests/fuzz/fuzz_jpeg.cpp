// Fuzz target: the direct JPEG reader on arbitrary bytes.
#include "imaging/jpeg_reader.h"
#include "picture_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quarvel::imaging::PixelImage image;
    const bool accepted =
        quarvel::imaging::detail::ReadPlainJpeg(quarvel::fuzz::asText(data, size), image);
    quarvel::fuzz::checkPicture(accepted, image);
    return 0;
}
