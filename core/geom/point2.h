#pragma once
// A point in the xy plane: a segment end, a region vertex, a search position.

namespace quarvel {

struct Point2 {
    double x = 0.0;
    double y = 0.0;
};

}  // namespace quarvel
