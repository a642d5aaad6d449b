#include "imaging/rgb_load.h"

#include <array>

#include "imaging/bmp_reader.h"
#include "imaging/picture_files.h"
#include "imaging/png_reader.h"

namespace quarvel::imaging {

Bgr24 LoadBgr24(const std::string& path) {
    DecodedPicture picture = ReadPicture(path);
    Bgr24 out;
    out.width = picture.image.width;
    out.height = picture.image.height;
    out.xResDpi = picture.image.xResDpi;
    out.yResDpi = picture.image.yResDpi;
    // A true-colour picture already has the layout: its pixels move over uncopied.
    out.bytes = picture.image.isTrueColor() ? std::move(picture.image.pixels)
                                            : ExpandTo24(picture.image).pixels;
    return out;
}

namespace {

TZGrid redGridOf(const PixelImage& image) {
    if (image.empty()) return TZGrid{};
    TZGrid grid(image.height, image.width);
    if (image.isTrueColor()) {
        for (int r = 0; r < image.height; ++r) {
            const std::uint8_t* line = image.row(r);
            std::uint8_t* out = grid.row(r);
            for (int c = 0; c < image.width; ++c)
                out[c] = line[3 * static_cast<std::size_t>(c) + 2];
        }
        return grid;
    }
    std::array<std::uint8_t, 256> red{};  // indexes past the palette stay black
    for (std::size_t i = 0; i < image.palette.size() && i < red.size(); ++i)
        red[i] = image.palette[i].red;
    for (std::size_t i = 0; i < image.pixels.size() && i < grid.cells.size(); ++i)
        grid.cells[i] = red[image.pixels[i]];
    return grid;
}

}  // namespace

TZGrid LoadRedGrid(const std::string& path) { return LoadRedPicture(path).grid; }

RedPicture LoadRedPicture(const std::string& path) {
    const std::string bytes = ReadPictureFile(path);
    RedPicture red;
    // Plain bitmaps and PNG files, the common cases, go from the file's rows straight into
    // the grid.
    if (detail::ReadPlainBmpRed(bytes, red.grid, red.xResDpi, red.yResDpi)) return red;
    if (detail::ReadPlainPngRed(bytes, red.grid, red.xResDpi, red.yResDpi)) return red;
    const DecodedPicture picture = DecodePicture(path, bytes);
    red.grid = redGridOf(picture.image);
    red.xResDpi = picture.image.xResDpi;
    red.yResDpi = picture.image.yResDpi;
    return red;
}

}  // namespace quarvel::imaging
