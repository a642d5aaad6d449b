#include "picture/image_convert.h"

#include <QPainter>
#include <cmath>
#include <cstring>

namespace quarvel::app {

namespace {
constexpr double kMetresPerInch = 0.0254;

int dotsPerMetre(int dpi) { return static_cast<int>(std::nearbyint(dpi / kMetresPerInch)); }
int dotsPerInch(int dpm) { return static_cast<int>(std::nearbyint(dpm * kMetresPerInch)); }
}  // namespace

QImage toQImage(const imaging::PixelImage& image) {
    if (image.empty()) return {};
    QImage result;
    if (image.isTrueColor()) {
        result = QImage(image.width, image.height, QImage::Format_RGB888);
        for (int y = 0; y < image.height; ++y) {
            const std::uint8_t* bgr = image.row(y);
            uchar* rgb = result.scanLine(y);
            for (int x = 0; x < image.width; ++x) {
                rgb[3 * x] = bgr[3 * x + 2];
                rgb[3 * x + 1] = bgr[3 * x + 1];
                rgb[3 * x + 2] = bgr[3 * x];
            }
        }
    } else {
        result = QImage(image.width, image.height, QImage::Format_Indexed8);
        QList<QRgb> colours;
        for (const auto& entry : image.palette) colours << qRgb(entry.red, entry.green, entry.blue);
        if (colours.isEmpty()) colours << qRgb(0, 0, 0);
        result.setColorTable(colours);
        for (int y = 0; y < image.height; ++y) {
            std::memcpy(result.scanLine(y), image.row(y), image.rowBytes());
        }
    }
    if (image.xResDpi > 0) result.setDotsPerMeterX(dotsPerMetre(image.xResDpi));
    if (image.yResDpi > 0) result.setDotsPerMeterY(dotsPerMetre(image.yResDpi));
    return result;
}

imaging::PixelImage fromQImage(const QImage& source) {
    if (source.isNull()) return {};
    QImage rgb(source.size(), QImage::Format_RGB888);
    rgb.fill(Qt::white);
    {
        QPainter painter(&rgb);
        painter.drawImage(0, 0, source);
    }
    imaging::PixelImage image = imaging::MakeImage(rgb.width(), rgb.height(), 24);
    for (int y = 0; y < image.height; ++y) {
        const uchar* from = rgb.constScanLine(y);
        std::uint8_t* to = image.row(y);
        for (int x = 0; x < image.width; ++x) {
            to[3 * x] = from[3 * x + 2];
            to[3 * x + 1] = from[3 * x + 1];
            to[3 * x + 2] = from[3 * x];
        }
    }
    image.xResDpi = dotsPerInch(source.dotsPerMeterX());
    image.yResDpi = dotsPerInch(source.dotsPerMeterY());
    return image;
}

}  // namespace quarvel::app
