// Fuzz target: the direct PNG reader (into the red grid) on arbitrary bytes.
#include "imaging/png_reader.h"
#include "picture_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quarvel::TZGrid grid;
    int xDpi = -1, yDpi = -1;
    const bool accepted = quarvel::imaging::detail::ReadPlainPngRed(
        quarvel::fuzz::asText(data, size), grid, xDpi, yDpi);
    quarvel::fuzz::checkGrid(accepted, grid);
    return 0;
}
