#pragma once
// Where Cut, Copy and Paste put and take pictures. The program binds this to the
// desktop clipboard so that pictures travel to and from other programs; tests and the
// command line use the in-memory one.
#include <optional>

#include "imaging/pixel_image.h"

namespace quarvel::imaging {

class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    virtual void putImage(const PixelImage& image) = 0;
    // The picture on the clipboard, or nothing when it holds none.
    virtual std::optional<PixelImage> getImage() = 0;
};

class MemoryClipboard final : public ClipboardPort {
public:
    void putImage(const PixelImage& image) override { held_ = image; }
    std::optional<PixelImage> getImage() override { return held_; }

    // One clipboard for the whole process, used by models that were given no other.
    static MemoryClipboard& processWide() {
        static MemoryClipboard clipboard;
        return clipboard;
    }

private:
    std::optional<PixelImage> held_;
};

}  // namespace quarvel::imaging
