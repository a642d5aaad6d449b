#pragma once
// Reading and writing picture files: format codes, the file's own colour depth, and
// writes that never leave a truncated file in place of a good one.
#include <string>

#include "progress/progress.h"

#include "imaging/pixel_image.h"

namespace quarvel::imaging {

// Format codes of FileTypeOf and SaveImage. 4, 8, 9 and 11 are the ones the picture
// window writes; the others name formats that are read (GIF and PNG are also written).
inline constexpr int kFormatUnknown = 0;
inline constexpr int kFormatGif = 2;
inline constexpr int kFormatBmp = 4;
inline constexpr int kFormatPcx = 8;
inline constexpr int kFormatTiff = 9;
inline constexpr int kFormatJpeg = 11;
inline constexpr int kFormatPng = 13;
inline constexpr int kFormatWmf = 14;

// The format code for a file name's extension, in any letter case; kFormatUnknown when
// the extension is not one of ours.
int FileTypeOf(const std::string& fileName);

struct DecodedPicture {
    PixelImage image;
    std::string format;  // "BMP", "PCX", "TIFF", "JPEG", "GIF", "WMF", "PNG", ...
};

// Reads the first picture of a file, keeping the file's own depth: palette and grey files
// of 1, 4 or 8 bits stay so (2 bits become 4), GIF has 8 or fewer by its colour table,
// true-colour files become 24 (alpha laid on white, 16-bit samples reduced to 8).
// `progress` follows reading, decoding and conversion, at least every 10 %, ending at
// 100 (only the gauge moves: reading cannot be stopped).
// Throws IoError with the reason (missing, unreadable, not a picture, damaged or
// truncated).
DecodedPicture ReadPicture(const std::string& path, Progress& progress = NoProgress());

// ReadPicture in two steps: all bytes of the file (throws IoError as ReadPicture does,
// an empty file included), then the picture they hold (`path` names it in messages and
// hints at the format by its extension).
std::string ReadPictureFile(const std::string& path);
DecodedPicture DecodePicture(const std::string& path, const std::string& bytes,
                             Progress& progress = NoProgress());

// Writes `image` in the format of `formatCode` through a temporary file beside `path`,
// renamed over it only when complete. BMP and PCX keep every depth; TIFF keeps it;
// JPEG keeps 8-bit grey and writes everything else as 24-bit. Throws Error (InvalidInput
// for a code we cannot write or an empty image, IoError for file failures).
void WritePicture(const PixelImage& image, const std::string& path, int formatCode);

}  // namespace quarvel::imaging
