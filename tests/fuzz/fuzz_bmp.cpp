// Fuzz target: the direct BMP reader on arbitrary bytes.
#include "imaging/bmp_reader.h"
#include "picture_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quarvel::imaging::PixelImage image;
    const bool accepted =
        quarvel::imaging::detail::ReadPlainBmp(quarvel::fuzz::asText(data, size), image);
    quarvel::fuzz::checkPicture(accepted, image);
    return 0;
}
