// Files far larger than the writers' text block: every line must come out once, in
// order, exactly as a plain line-by-line writer prints it.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string_view>

#include "text/text_format.h"
#include "toolpath/polyline_dxf_writer.h"
#include "toolpath/region_dnc_writer.h"

namespace quarvel::toolpath {
namespace {

using engine::TRegion;
using engine::TRegionArray;

std::string printed(double v) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.4f", v);
    return buffer;
}

void add(std::string& text, std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts) text.append(part);
}

// Regions of random lengths with coordinates of many magnitudes and signs, and depths
// that repeat, change, and include both zeros.
TRegionArray randomRegions(unsigned seed, std::size_t count) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> coordinate(-5000.0, 5000.0);
    std::uniform_int_distribution<int> length(1, 40);
    const double depths[] = {0.25, 0.25, 0.0, -0.0, 1e-5, 3.0, 0.1};
    TRegionArray regions(1);
    for (std::size_t i = 0; i < count; ++i) {
        TRegion r;
        r.depth = depths[i % 7];
        double x = coordinate(rng) / (1 + static_cast<double>(i % 5) * 1000), y = coordinate(rng);
        for (int k = length(rng); k > 0; --k) {
            const double nx = coordinate(rng), ny = coordinate(rng) * 1e-4;
            r.segments.push_back(engine::makeSegment(x, y, nx, ny));
            x = nx;
            y = ny;
        }
        regions.push_back(std::move(r));
    }
    return regions;
}

TEST(LargeOutput, DncTextEqualsPlainLineByLineText) {
    for (unsigned seed : {1u, 2u}) {
        const TRegionArray regions = randomRegions(seed, 6000);
        std::vector<std::size_t> order;
        for (std::size_t i = regions.size() - 1; i >= 1; --i) order.push_back(i);
        std::ostringstream out;
        WriteRegionDnc(out, regions, order, {"d", "n", 10, 0.25});
        std::string expected = "( Created d From n)\r\nG90 T0\r\nF10\r\nG00 Z0.25\r\n";
        for (std::size_t i : order) {
            const auto& segs = regions[i].segments;
            add(expected, {"G00 X", printed(segs[0].x1), " Y", printed(segs[0].y1), "\r\n"});
            add(expected, {"G01 Z", generalText(-regions[i].depth), "\r\n"});
            for (const auto& s : segs)
                add(expected, {"X", printed(s.x2), " Y", printed(s.y2), "\r\n"});
            expected += "G00 Z0.25\r\n";
        }
        ASSERT_GT(expected.size(), 2u << 20);
        EXPECT_TRUE(out.str() == expected) << "seed " << seed;
    }
}

TEST(LargeOutput, PolylineDxfEqualsPlainLineByLineText) {
    const TRegionArray regions = randomRegions(3, 3000);
    std::ostringstream out;
    WritePolylineDxf(out, regions);
    const std::string text = out.str();
    std::string vertices;
    std::size_t polylines = 0;
    for (std::size_t i = 1; i < regions.size(); ++i) {
        const std::string z = printed(regions[i].depth);
        const auto vertex = [&](double x, double y) {
            add(vertices, {"0\r\nVERTEX\r\n8\r\n0\r\n10\r\n", printed(x), "\r\n20\r\n", printed(y),
                           "\r\n30\r\n", z, "\r\n"});
        };
        vertices += "0\r\nPOLYLINE\r\n8\r\n0\r\n66\r\n1\r\n";
        vertex(regions[i].segments[0].x1, regions[i].segments[0].y1);
        for (const auto& s : regions[i].segments) vertex(s.x2, s.y2);
        vertices += "0\r\nSEQEND\r\n";
        ++polylines;
    }
    const std::string tail = "0\r\nENDSEC\r\n0\r\nEOF\r\n";
    ASSERT_GT(vertices.size(), 2u << 20);
    ASSERT_GT(text.size(), vertices.size() + tail.size());
    const std::size_t start = text.size() - vertices.size() - tail.size();
    const std::string entities = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    EXPECT_EQ(text.substr(0, start).rfind(entities), start - entities.size());
    vertices += tail;
    EXPECT_TRUE(text.compare(start, std::string::npos, vertices) == 0);
    EXPECT_EQ(polylines, 3000u);
}

}  // namespace
}  // namespace quarvel::toolpath
