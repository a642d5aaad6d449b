#pragma once
// The imaging model's clipboard bound to the desktop clipboard, so that pictures travel
// to and from other programs. While the clipboard still holds what we put there, Paste
// gets our own picture back unchanged (depth and palette included); anything another
// program put there arrives as a 24-bit picture.
#include <QObject>
#include <optional>

#include "imaging/clipboard_port.h"

class QMimeData;

namespace quarvel::app {

class QtClipboardPort final : public QObject, public imaging::ClipboardPort {
    Q_OBJECT
public:
    QtClipboardPort();
    void putImage(const imaging::PixelImage& image) override;
    std::optional<imaging::PixelImage> getImage() override;

    // The one instance every imaging control of the program uses.
    static QtClipboardPort& instance();

private:
    std::optional<imaging::PixelImage> held_;
    const QMimeData* heldData_ = nullptr;
};

}  // namespace quarvel::app
