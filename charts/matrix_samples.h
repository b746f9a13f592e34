#pragma once
// One sample of the matrix build: the X, Y and data values of one pass
// through the profile's parameters and the X and Y bins they fell into.

#include <cstdint>

namespace tervolin {

struct Sample {
  double x = 0, y = 0, z = 0;
  std::int32_t xBin = 0, yBin = 0;
};

}  // namespace tervolin
