#pragma once
// Conversion between the core's pixel model and Qt images, for drawing and for the
// desktop clipboard.
#include <QImage>

#include "imaging/pixel_image.h"

namespace quarvel::app {

// 24-bit pictures become RGB888, palette pictures Indexed8 with their own colours.
QImage toQImage(const imaging::PixelImage& image);
// Any Qt image as a 24-bit picture (transparent parts laid on white); the resolution
// comes from the image's dots per metre.
imaging::PixelImage fromQImage(const QImage& image);

}  // namespace quarvel::app
