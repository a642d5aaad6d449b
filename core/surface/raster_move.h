#pragma once
// One move of the raster tool path and the places moves can go.
#include <cstdint>
#include <vector>

namespace quarvel::surface {

struct TRasterMove {
    std::int32_t kind = 0;  // kRapidMove or kFeedMove
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    friend bool operator==(const TRasterMove&, const TRasterMove&) = default;
};
inline constexpr std::int32_t kRapidMove = 0;
inline constexpr std::int32_t kFeedMove = 1;

using TGCode2Array = std::vector<TRasterMove>;

// Receives moves one by one, in path order.
class MoveSink {
public:
    virtual ~MoveSink() = default;
    virtual void add(const TRasterMove& move) = 0;
};

// Collects the moves in a list.
class MoveList final : public MoveSink {
public:
    void add(const TRasterMove& move) override { moves.push_back(move); }
    TGCode2Array moves;
};

}  // namespace quarvel::surface
