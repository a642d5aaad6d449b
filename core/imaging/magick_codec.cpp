#include "imaging/magick_codec.h"

#include <Magick++.h>

#include <cmath>
#include <mutex>

#include "imaging/direct_read_limits.h"
#include "text/error.h"

namespace quarvel::imaging::detail {

namespace {

void initialiseMagick() {
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        // A second guard behind the check of the declared size: the decoders themselves
        // stop at our largest side.
        MagickCore::SetMagickResourceLimit(MagickCore::WidthResource, kDirectReadMaxSide);
        MagickCore::SetMagickResourceLimit(MagickCore::HeightResource, kDirectReadMaxSide);
    });
}

std::uint8_t toByte(Magick::Quantum q) {
    return static_cast<std::uint8_t>(Magick::Color::scaleQuantumToDouble(q) * 255.0 + 0.5);
}

// ImageMagick keeps what the file says; BMP and others store pixels per centimetre.
int dpiOf(double resolution, MagickCore::ResolutionType units) {
    if (resolution <= 0.0 || !std::isfinite(resolution)) return 0;
    double dpi = 0.0;
    if (units == MagickCore::PixelsPerInchResolution)
        dpi = resolution;
    else if (units == MagickCore::PixelsPerCentimeterResolution)
        dpi = resolution * 2.54;
    else
        return 0;
    dpi = std::nearbyint(dpi);
    return dpi > 65535.0 ? 65535 : static_cast<int>(dpi);
}

// Reads pixels as BGRA and lays them on a white background (alpha 255 = opaque).
void exportComposited(Magick::Image& img, MagickDecoded& out) {
    const std::size_t count = static_cast<std::size_t>(out.width) * out.height;
    out.bgr.resize(count * 3);
    if (!img.matte()) {
        img.write(0, 0, out.width, out.height, "BGR", Magick::CharPixel, out.bgr.data());
        return;
    }
    std::vector<std::uint8_t> bgra(count * 4);
    img.write(0, 0, out.width, out.height, "BGRA", Magick::CharPixel, bgra.data());
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned a = bgra[4 * i + 3];
        for (int c = 0; c < 3; ++c) {
            const unsigned v = bgra[4 * i + c];
            out.bgr[3 * i + c] =
                static_cast<std::uint8_t>((v * a + 255u * (255u - a) + 127u) / 255u);
        }
    }
}

void exportIndexes(Magick::Image& img, MagickDecoded& out) {
    if (img.matte() || img.classType() != MagickCore::PseudoClass) return;
    const std::size_t mapSize = img.colorMapSize();
    if (mapSize == 0 || mapSize > 256) return;
    out.colourMap.resize(mapSize);
    for (std::size_t i = 0; i < mapSize; ++i) {
        const Magick::Color c = img.colorMap(i);
        out.colourMap[i] = {toByte(c.redQuantum()), toByte(c.greenQuantum()),
                            toByte(c.blueQuantum())};
    }
    out.indexes.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        img.getConstPixels(0, y, out.width, 1);
        const MagickCore::IndexPacket* row = img.getConstIndexes();
        if (row == nullptr) {
            out.colourMap.clear();
            out.indexes.clear();
            return;
        }
        std::uint8_t* dest = out.indexes.data() + static_cast<std::size_t>(y) * out.width;
        for (int x = 0; x < out.width; ++x) {
            const auto index = static_cast<std::size_t>(row[x]);
            dest[x] = static_cast<std::uint8_t>(index < mapSize ? index : 0);
        }
    }
}

// The decoders report each row they finish, some in more than one pass (run-length
// BMP: unpacking, then pixels); pass on a steadily rising percentage, about every 5 %.
struct ProgressRelay {
    Progress& onRows;
    long lastPercent = 0;
};

MagickCore::MagickBooleanType forwardProgress(const char*, const MagickCore::MagickOffsetType done,
                                              const MagickCore::MagickSizeType total,
                                              void* client) {
    auto& relay = *static_cast<ProgressRelay*>(client);
    if (total == 0) return MagickCore::MagickTrue;
    const long percent = static_cast<long>((done + 1) * 100 / static_cast<long long>(total));
    if (percent >= relay.lastPercent + 5) {
        relay.lastPercent = percent;
        relay.onRows.setPosition(static_cast<int>(percent));
    }
    return MagickCore::MagickTrue;
}

std::string reasonOf(const Magick::Exception& e) {
    // ImageMagick prefixes its own name and appends the source location; keep the middle.
    std::string text = e.what();
    const auto colon = text.find(": ");
    if (colon != std::string::npos && text.compare(0, colon, "ImageMagick") != 0 &&
        text.find(' ') > colon)
        text.erase(0, colon + 2);
    const auto at = text.find(" @ ");
    if (at != std::string::npos) text.erase(at);
    // The quoted file name (empty when decoding from memory) says nothing here.
    const auto quote = text.find(" `");
    if (quote != std::string::npos && text.back() == '\'') text.erase(quote);
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

namespace {

// Decodes the first picture of `bytes` into `img`; throws IoError with the reason.
void readFirstPicture(Magick::Image& img, const std::string& path, std::string_view bytes,
                      const std::string& formatHint, ProgressRelay& relay) {
    try {
        img.subImage(0);
        img.subRange(1);
        MagickCore::SetImageInfoProgressMonitor(img.imageInfo(), forwardProgress, &relay);
        if (!formatHint.empty()) img.magick(formatHint);
        img.read(Magick::Blob(bytes.data(), bytes.size()));
    } catch (const Magick::WarningCorruptImage& e) {
        throw IoError(path, "damaged or truncated picture (" + reasonOf(e) + ")");
    } catch (const Magick::Warning& e) {
        // Other warnings (unknown tags and such) leave a sound picture, if any at all.
        if (img.columns() == 0 || img.rows() == 0)
            throw IoError(path, "cannot read picture (" + reasonOf(e) + ")");
    } catch (const Magick::ErrorMissingDelegate&) {
        throw IoError(path, "not a picture in a format this program reads");
    } catch (const Magick::Exception& e) {
        throw IoError(path, "cannot read picture (" + reasonOf(e) + ")");
    }
}

void describeAndExport(Magick::Image& img, MagickDecoded& out) {
    out.format = img.magick();
    out.xResDpi = dpiOf(img.xResolution(), img.resolutionUnits());
    out.yResDpi = dpiOf(img.yResolution(), img.resolutionUnits());
    const MagickCore::ColorspaceType space = img.colorSpace();
    out.isGrey = space == MagickCore::GRAYColorspace || space == MagickCore::Rec601LumaColorspace;
    // CMYK JPEG and TIFF files and the like: our pixels are red, green and blue.
    if (!out.isGrey && space != MagickCore::sRGBColorspace && space != MagickCore::RGBColorspace)
        img.colorSpace(MagickCore::sRGBColorspace);
    out.sampleBits = static_cast<int>(img.depth());
    out.photometric = img.attribute("tiff:photometric");
    exportComposited(img, out);
    exportIndexes(img, out);
}

}  // namespace

namespace {

// Reads only the header of the first picture and refuses one past our limits, before the
// decoder allocates its pixels. A header ImageMagick cannot read is left to the full read,
// which gives the reason.
void refuseOversizedPicture(const std::string& path, std::string_view bytes,
                            const std::string& formatHint) {
    Magick::Image probe;
    try {
        probe.subImage(0);
        probe.subRange(1);
        if (!formatHint.empty()) probe.magick(formatHint);
        probe.ping(Magick::Blob(bytes.data(), bytes.size()));
    } catch (const Magick::Exception& e) {
        const std::string reason = reasonOf(e);
        if (reason.find("limit") != std::string::npos)
            throw IoError(path, "picture is too large (" + reason + ")");
        if (probe.columns() == 0 || probe.rows() == 0) return;
    }
    if (!WithinDirectReadLimits(probe.columns(), probe.rows()))
        throw IoError(path, PictureTooLargeText(probe.columns(), probe.rows()));
}

}  // namespace

MagickDecoded DecodeWithMagick(const std::string& path, std::string_view bytes,
                               const std::string& formatHint, Progress& onRows) {
    initialiseMagick();
    refuseOversizedPicture(path, bytes, formatHint);
    Magick::Image img;
    ProgressRelay relay{onRows};
    readFirstPicture(img, path, bytes, formatHint, relay);
    if (img.columns() == 0 || img.rows() == 0) throw IoError(path, "picture has no pixels");
    if (!WithinDirectReadLimits(img.columns(), img.rows()))
        throw IoError(path, PictureTooLargeText(img.columns(), img.rows()));
    MagickDecoded out;
    out.width = static_cast<int>(img.columns());
    out.height = static_cast<int>(img.rows());
    try {
        describeAndExport(img, out);
    } catch (const Magick::Exception& e) {
        throw IoError(path, "cannot read picture (" + reasonOf(e) + ")");
    }
    return out;
}

namespace {

Magick::Image imageFromPixels(const PixelImage& image) {
    if (image.bitCount == 24) {
        Magick::Image img(image.width, image.height, "BGR", Magick::CharPixel, image.pixels.data());
        img.type(MagickCore::TrueColorType);
        return img;
    }
    const PixelImage trueColor = ExpandTo24(image);
    Magick::Image img(image.width, image.height, "BGR", Magick::CharPixel, trueColor.pixels.data());
    if (IsGreyPalette(image.palette) &&
        image.palette.size() == (std::size_t{1} << image.bitCount)) {
        img.type(image.bitCount == 1 ? MagickCore::BilevelType : MagickCore::GrayscaleType);
        img.depth(static_cast<std::size_t>(image.bitCount));
        return img;
    }
    // A palette of exactly 2^bits entries makes the writers keep the bit count.
    img.classType(MagickCore::PseudoClass);
    const std::size_t entries = std::size_t{1} << image.bitCount;
    img.colorMapSize(entries);
    for (std::size_t i = 0; i < entries; ++i) {
        const PaletteEntry e = i < image.palette.size() ? image.palette[i] : PaletteEntry{};
        img.colorMap(i, Magick::ColorRGB(e.red / 255.0, e.green / 255.0, e.blue / 255.0));
    }
    img.modifyImage();
    for (int y = 0; y < image.height; ++y) {
        img.getPixels(0, y, image.width, 1);
        MagickCore::IndexPacket* row = img.getIndexes();
        const std::uint8_t* src = image.row(y);
        for (int x = 0; x < image.width; ++x) row[x] = src[x];
        img.syncPixels();
    }
    return img;
}

}  // namespace

void EncodeWithMagick(const PixelImage& image, const std::string& magickFormat, std::ostream& out) {
    initialiseMagick();
    try {
        // JPEG holds grey or true colour only.
        const bool needsTrueColour = magickFormat == "JPEG" && image.bitCount != 24 &&
                                     !(image.bitCount == 8 && IsGreyPalette(image.palette));
        Magick::Image img = imageFromPixels(needsTrueColour ? ExpandTo24(image) : image);
        img.magick(magickFormat);
        if (needsTrueColour || image.bitCount == 24 || image.bitCount == 8) img.depth(8);
        if (image.xResDpi > 0 && image.yResDpi > 0) {
            img.resolutionUnits(MagickCore::PixelsPerInchResolution);
            img.density(Magick::Geometry(static_cast<std::size_t>(image.xResDpi),
                                         static_cast<std::size_t>(image.yResDpi)));
        }
        if (magickFormat == "JPEG") img.quality(90);
        if (magickFormat == "TIFF") img.compressType(MagickCore::LZWCompression);
        Magick::Blob blob;
        img.write(&blob);
        out.write(static_cast<const char*>(blob.data()),
                  static_cast<std::streamsize>(blob.length()));
    } catch (const Magick::Exception& e) {
        throw Error("cannot encode picture as " + magickFormat + ": " + reasonOf(e));
    }
}

}  // namespace quarvel::imaging::detail
