#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <string>

#include "engine/raster_to_vector.h"
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
    ASSERT_EQ(fromGrid.FacetList.size(), fromPixels.FacetList.size());
    EXPECT_EQ(0, std::memcmp(fromGrid.FacetList.data(), fromPixels.FacetList.data(),
                             fromGrid.FacetList.size() * sizeof(Triangle)));
    EXPECT_EQ(meshB.Caption, meshA.Caption);
}

TEST(LoadRedGrid, MissingFileThrows) {
    EXPECT_THROW(LoadRedGrid(QUARVEL_TEST_DATA "/imaging/no-such-picture.bmp"), Error);
}

}  // namespace
}  // namespace quarvel::imaging
