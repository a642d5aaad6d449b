#include "imaging/rgb_load.h"

#include "imaging/picture_files.h"

namespace quarvel::imaging {

Bgr24 LoadBgr24(const std::string& path) {
    DecodedPicture picture = ReadPicture(path);
    PixelImage image = ExpandTo24(picture.image);
    Bgr24 out;
    out.width = image.width;
    out.height = image.height;
    out.xResDpi = image.xResDpi;
    out.yResDpi = image.yResDpi;
    out.bytes = std::move(image.pixels);
    return out;
}

}  // namespace quarvel::imaging
