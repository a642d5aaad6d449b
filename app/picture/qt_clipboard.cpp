#include "picture/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "picture/image_convert.h"

namespace quarvel::app {

void QtClipboardPort::putImage(const imaging::PixelImage& image) {
    auto* data = new QMimeData;
    data->setImageData(toQImage(image));
    QGuiApplication::clipboard()->setMimeData(data);
    held_ = image;
    heldData_ = data;
}

std::optional<imaging::PixelImage> QtClipboardPort::getImage() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard->mimeData();
    if (held_ && data && data == heldData_) return held_;
    held_.reset();
    heldData_ = nullptr;
    if (!data || !data->hasImage()) return std::nullopt;
    const QImage image = clipboard->image();
    if (image.isNull()) return std::nullopt;
    return fromQImage(image);
}

QtClipboardPort::QtClipboardPort() {
    // Another program took the clipboard: our picture is no longer on it.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (QGuiApplication::clipboard()->mimeData() != heldData_) {
            held_.reset();
            heldData_ = nullptr;
        }
    });
}

QtClipboardPort& QtClipboardPort::instance() {
    static QtClipboardPort port;
    return port;
}

}  // namespace quarvel::app
