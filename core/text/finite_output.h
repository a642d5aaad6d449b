#pragma once
// The last guard of every writer: a number that is not finite has no text a controller
// or CAD program can read, so the job fails instead of writing "nan" or "inf".
#include <cmath>

#include "text/error.h"

namespace quarvel {

class NonFiniteOutput : public Error {
public:
    NonFiniteOutput()
        : Error(
              "the result holds a number too large to write (not finite); nothing was "
              "written") {}
};

inline double finiteOutput(double value) {
    if (!std::isfinite(value)) throw NonFiniteOutput();
    return value;
}

}  // namespace quarvel
