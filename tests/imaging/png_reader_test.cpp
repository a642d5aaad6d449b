// The direct PNG reader against the general decoder: same red grid, same resolution, and
// every file it leaves alone still read (or refused) the general way.
#include "imaging/png_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/rgb_load.h"
#include "raster/sampling.h"
#include "text/error.h"

namespace quarvel::imaging {
namespace {

namespace fs = std::filesystem;

std::uint32_t crc32Of(const std::string& bytes) {
    std::uint32_t crc = 0xffffffffu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string bigEndian(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

std::string chunk(const std::string& type, const std::string& data) {
    return bigEndian(static_cast<std::uint32_t>(data.size())) + type + data +
           bigEndian(crc32Of(type + data));
}

// A zlib stream of stored (uncompressed) blocks.
std::string stored(const std::string& raw) {
    std::string z = "\x78\x01";
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
        const bool last = at + n == raw.size();
        z += static_cast<char>(last ? 1 : 0);
        z += {static_cast<char>(n & 0xff), static_cast<char>(n >> 8), static_cast<char>(~n & 0xff),
              static_cast<char>((~n >> 8) & 0xff)};
        z += raw.substr(at, n);
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return z + bigEndian(b << 16 | a);
}

struct PngSpec {
    int width = 5, height = 4;
    int colourType = 0;      // 0 grey, 2 RGB, 4 grey with alpha
    std::string beforeData;  // extra chunks between IHDR and IDAT
    bool cutShort = false;   // drop the last bytes of the file
};

// Samples vary by pixel and channel, so a reader that took the wrong channel shows.
std::string pngOf(const PngSpec& s) {
    const int channels = s.colourType == 2 ? 3 : s.colourType == 4 ? 2 : 1;
    std::string raw;
    for (int y = 0; y < s.height; ++y) {
        raw += '\0';  // no filter
        for (int x = 0; x < s.width * channels; ++x)
            raw += static_cast<char>((y * 53 + x * 29 + 7) % 256);
    }
    const std::string header = bigEndian(static_cast<std::uint32_t>(s.width)) +
                               bigEndian(static_cast<std::uint32_t>(s.height)) + '\x08' +
                               static_cast<char>(s.colourType) + std::string(3, '\0');
    std::string file = "\x89PNG\r\n\x1a\n" + chunk("IHDR", header) + s.beforeData +
                       chunk("IDAT", stored(raw)) + chunk("IEND", "");
    if (s.cutShort) file.resize(file.size() - 20);
    return file;
}

std::string pHYs(std::uint32_t x, std::uint32_t y, char unit) {
    return chunk("pHYs", bigEndian(x) + bigEndian(y) + unit);
}

// The white point and primaries of sRGB, in hundred-thousandths.
std::string srgbChromaticities() {
    std::string data;
    for (std::uint32_t v : {31270u, 32900u, 64000u, 33000u, 30000u, 60000u, 15000u, 6000u})
        data += bigEndian(v);
    return data;
}

class PngReader : public testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes) {
        const fs::path dir = fs::path(testing::TempDir()) / "png_reader_test";
        fs::create_directories(dir);
        const std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

// Chunks that change nothing of the pixels (gamma, chromaticities, sRGB, text, a
// suggested palette) and every way of giving a density, the half-way one included.
TEST_F(PngReader, SameGridAndResolutionAsTheGeneralDecoder) {
    const std::vector<PngSpec> specs = {
        {},
        {7, 3, 2, ""},
        {5, 4, 0, chunk("gAMA", bigEndian(45455)) + pHYs(5906, 5906, 1)},
        {5, 4, 2,
         chunk("gAMA", bigEndian(45455)) + chunk("sRGB", std::string(1, '\0')) +
             pHYs(3780, 2500, 1)},
        {5, 4, 0, chunk("sRGB", std::string(1, '\1')) + chunk("cHRM", srgbChromaticities())},
        {5, 4, 2,
         chunk("cHRM", srgbChromaticities()) + chunk("PLTE", std::string(6, '\x50')) +
             chunk("tEXt", std::string("Comment\0x", 9)) + pHYs(2, 1, 0)},
        {5, 4, 0, pHYs(0, 0, 1) + chunk("sBIT", std::string(1, '\5'))},
        {5, 4, 2, chunk("sBIT", "\3\4\5") + pHYs(4294967295u, 1, 1)},
        {300, 2, 0, ""},
    };
    for (std::size_t k = 0; k < specs.size(); ++k) {
        SCOPED_TRACE(k);
        const std::string bytes = pngOf(specs[k]);
        TZGrid grid;
        int xRes = -1, yRes = -1;
        ASSERT_TRUE(detail::ReadPlainPngRed(bytes, grid, xRes, yRes));
        const Bgr24 general = LoadBgr24(write("plain.png", bytes));
        const PixelView24 view{general.width, general.height,
                               static_cast<std::size_t>(general.width) * 3, general.bytes.data()};
        EXPECT_EQ(grid, SampleHeightGrid(view, JobModeCode::GCode));
        EXPECT_EQ(xRes, general.xResDpi);
        EXPECT_EQ(yRes, general.yResDpi);
    }
}

// Transparency, other depths and damage are the general decoder's: the reader leaves
// its outputs alone, and the relief road still reads the picture or gives the reason.
TEST_F(PngReader, LeavesOtherFilesToTheGeneralDecoder) {
    const std::vector<PngSpec> specs = {
        {5, 4, 4, ""},
        {5, 4, 0, chunk("tRNS", bigEndian(7).substr(2))},
        {5, 4, 0, chunk("gAMA", bigEndian(100000))},  // linear grey: converted
        {5, 4, 2, chunk("gAMA", bigEndian(50000))},
        {5, 4, 0, chunk("gAMA", bigEndian(100000).substr(1))},  // damaged ancillary chunk
        {5, 4, 0, "", true},
    };
    for (std::size_t k = 0; k < specs.size(); ++k) {
        SCOPED_TRACE(k);
        const std::string bytes = pngOf(specs[k]);
        TZGrid grid(1, 1, 9);
        int xRes = -1, yRes = -1;
        EXPECT_FALSE(detail::ReadPlainPngRed(bytes, grid, xRes, yRes));
        EXPECT_EQ(grid, TZGrid(1, 1, 9));
        EXPECT_EQ(xRes, -1);
        const std::string path = write("other.png", bytes);
        if (specs[k].cutShort) {
            EXPECT_THROW(LoadRedPicture(path), Error);
            continue;
        }
        const Bgr24 general = LoadBgr24(path);
        const PixelView24 view{general.width, general.height,
                               static_cast<std::size_t>(general.width) * 3, general.bytes.data()};
        EXPECT_EQ(LoadRedPicture(path).grid, SampleHeightGrid(view, JobModeCode::GCode));
    }
    TZGrid grid;
    int xRes = 0, yRes = 0;
    EXPECT_FALSE(detail::ReadPlainPngRed("\x89PNG", grid, xRes, yRes));
}

}  // namespace
}  // namespace quarvel::imaging
