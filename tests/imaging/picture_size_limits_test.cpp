// Pictures that declare far more pixels than they hold are refused by every reader, with
// the file and the declared size named, before any pixel is allocated.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "imaging/picture_files.h"
#include "text/error.h"

namespace quarvel::imaging {
namespace {

namespace fs = std::filesystem;

void put16(std::string& b, std::size_t at, unsigned v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}

void put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// `bits` per plane and `planes` as the header says; run-length bytes follow.
std::string pcxDeclaring(unsigned width, unsigned height, int bits, int planes) {
    std::string b(128, '\0');
    b[0] = 0x0A;
    b[1] = 5;
    b[2] = 1;
    b[3] = static_cast<char>(bits);
    put16(b, 8, width - 1);
    put16(b, 10, height - 1);
    b[65] = static_cast<char>(planes);
    put16(b, 66, (width * static_cast<unsigned>(bits) + 7) / 8);
    for (int i = 0; i < 4096; ++i) b += "\xFF\x00";
    return b;
}

std::string bmpDeclaring(std::uint32_t width, std::uint32_t height) {
    std::string b(54 + 256, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, width);
    put32(b, 22, height);
    put16(b, 26, 1);
    put16(b, 28, 24);
    return b;
}

class PictureSizeLimits : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("quarvel-size-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string refusal(const std::string& name, const std::string& bytes) const {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        try {
            ReadPicture(path.string());
        } catch (const IoError& e) {
            EXPECT_EQ(e.path(), path.string());
            return e.what();
        }
        return "read";
    }
};

TEST_F(PictureSizeLimits, EveryReaderRefusesAnEnormousDeclaredSize) {
    const struct {
        const char* name;
        std::string bytes;
        const char* size;
    } cases[] = {
        {"palette.pcx", pcxDeclaring(65535, 65535, 8, 1), "65535 x 65535"},
        {"planar.pcx", pcxDeclaring(60000, 60000, 1, 4), "60000 x 60000"},
        {"wide.pcx", pcxDeclaring(16001, 2, 8, 1), "16001 x 2"},
        {"true.bmp", bmpDeclaring(60000, 60000), "60000 x 60000"},
        {"tall.bmp", bmpDeclaring(2, 20000), "2 x 20000"},
    };
    for (const auto& c : cases) {
        const std::string what = refusal(c.name, c.bytes);
        EXPECT_NE(what.find("too large"), std::string::npos) << c.name << ": " << what;
        EXPECT_NE(what.find(c.size), std::string::npos) << c.name << ": " << what;
    }
}

TEST_F(PictureSizeLimits, PipeIsRefusedWithoutWaiting) {
    const fs::path fifo = dir / "pipe.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(ReadPicture(fifo.string()), IoError);
}

}  // namespace
}  // namespace quarvel::imaging
