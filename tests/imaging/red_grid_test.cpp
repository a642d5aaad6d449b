#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

#include "engine/raster_to_vector.h"
#include "imaging/bmp_reader.h"
#include "imaging/picture_files.h"
#include "imaging/rgb_load.h"
#include "raster/sampling.h"
#include "text/error.h"

namespace quarvel::imaging {
namespace {

namespace fs = std::filesystem;

// The grid a picture run samples from the 24-bit pixels.
TZGrid gridFromBgr(const Bgr24& picture) {
    const PixelView24 view{picture.width, picture.height,
                           static_cast<std::size_t>(picture.width) * 3, picture.bytes.data()};
    return SampleHeightGrid(view, JobModeCode::RasterToVector);
}

TEST(LoadRedGrid, SameGridAsTheTwentyFourBitRoadForEveryFormat) {
    int pictures = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(QUARVEL_TEST_DATA "/imaging")) {
        const std::string path = e.path().string();
        Bgr24 bgr;
        try {
            bgr = LoadBgr24(path);
        } catch (const std::exception&) {
            continue;  // not a picture
        }
        SCOPED_TRACE(path);
        const TZGrid direct = LoadRedGrid(path);
        EXPECT_EQ(direct, gridFromBgr(bgr));
        EXPECT_EQ(direct.cells.size(), static_cast<std::size_t>(bgr.width) * bgr.height);
        const RedPicture red = LoadRedPicture(path);  // what the relief jobs read
        EXPECT_EQ(red.grid, direct);
        EXPECT_EQ(red.xResDpi, bgr.xResDpi);
        EXPECT_EQ(red.yResDpi, bgr.yResDpi);
        ++pictures;
    }
    EXPECT_GE(pictures, 20);  // palette, grey and true-colour files of every reader
}

TEST(LoadRedGrid, PreparesTheSameFacetListAsThePixels) {
    const std::string path = QUARVEL_TEST_DATA "/imaging/p8.bmp";
    const Bgr24 bgr = LoadBgr24(path);
    const PixelView24 view{bgr.width, bgr.height, static_cast<std::size_t>(bgr.width) * 3,
                           bgr.bytes.data()};
    JobState fromPixels, fromGrid;
    engine::MeshDocument meshA, meshB;
    NullProgress quiet;
    ASSERT_EQ(engine::PrepareRasterToVector(view, fromPixels, meshA, quiet), RunStatus::Completed);
    ASSERT_EQ(engine::PrepareRasterToVector(LoadRedGrid(path), fromGrid, meshB, quiet),
              RunStatus::Completed);
    ASSERT_FALSE(fromGrid.FacetList.empty());
    EXPECT_EQ(fromGrid.HeightGrid, fromPixels.HeightGrid);
    EXPECT_EQ(fromGrid.GridColumns, fromPixels.GridColumns);
    EXPECT_EQ(fromGrid.GridRows, fromPixels.GridRows);
    EXPECT_EQ(fromGrid.FacetList, fromPixels.FacetList);
    EXPECT_EQ(meshB.Caption, meshA.Caption);
}

// The red bytes ReadPlainBmp's picture shows once expanded to 24 bits.
TZGrid redThroughPicture(const std::string& bytes) {
    PixelImage image;
    EXPECT_TRUE(detail::ReadPlainBmp(bytes, image));
    const PixelImage bgr = ExpandTo24(image);
    TZGrid grid(bgr.height, bgr.width);
    for (std::size_t i = 0; i < grid.cells.size(); ++i) grid.cells[i] = bgr.pixels[3 * i + 2];
    return grid;
}

void putU32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

std::uint32_t getU32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// The same rows stored top first.
std::string storedTopDown(const std::string& bytes) {
    std::string b = bytes;
    putU32(b, 22, static_cast<std::uint32_t>(-static_cast<std::int32_t>(getU32(bytes, 22))));
    return b;
}

TEST(ReadPlainBmpRed, RowsOrderAndDamagedIndexesAsThePicture) {
    const std::string palette = ReadPictureFile(QUARVEL_TEST_DATA "/imaging/p4.bmp");
    const std::string rgb = ReadPictureFile(QUARVEL_TEST_DATA "/imaging/rgb.bmp");
    std::string damaged = palette;  // two palette entries in use: index 15 is damaged
    putU32(damaged, 46, 2);
    damaged[getU32(palette, 10)] = static_cast<char>(0xff);
    const std::vector<std::string> files = {palette, storedTopDown(palette), damaged, rgb,
                                            storedTopDown(rgb)};
    for (std::size_t k = 0; k < files.size(); ++k) {
        SCOPED_TRACE(k);
        TZGrid grid;
        ASSERT_TRUE(detail::ReadPlainBmpRed(files[k], grid));
        EXPECT_EQ(grid, redThroughPicture(files[k]));
    }
    TZGrid untouched(1, 1, 7);
    EXPECT_FALSE(detail::ReadPlainBmpRed(ReadPictureFile(QUARVEL_TEST_DATA "/imaging/p8.bmp"),
                                         untouched));  // run-length coded
    EXPECT_FALSE(detail::ReadPlainBmpRed(rgb.substr(0, rgb.size() - 1), untouched));
    EXPECT_EQ(untouched, TZGrid(1, 1, 7));
}

TEST(ReadPictureFile, GivesTheWholeFileOnce) {
    const std::string path = QUARVEL_TEST_DATA "/imaging/rgb.bmp";
    const std::string bytes = ReadPictureFile(path);
    EXPECT_EQ(bytes.size(), fs::file_size(path));
    EXPECT_LT(bytes.capacity(), bytes.size() + 64);  // not held at twice its size
    EXPECT_EQ(bytes.substr(0, 2), "BM");
}

TEST(LoadRedGrid, MissingFileThrows) {
    EXPECT_THROW(LoadRedGrid(QUARVEL_TEST_DATA "/imaging/no-such-picture.bmp"), Error);
}

}  // namespace
}  // namespace quarvel::imaging
