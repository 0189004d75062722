#pragma once

#include <cmath>

namespace tavik {

// Every soil layer is this thick except the deepest, which reaches down to the profile's depth.
inline constexpr int kLayerThicknessMm = 300;

// The number of layers of a profile this deep: the depth in whole layers, rounded half up
// (0 below 150 mm, 7 at 2000 mm).
inline double layerCountOf(double depthMm) {
    return std::floor(depthMm / kLayerThicknessMm + 0.5);
}

} // namespace tavik
