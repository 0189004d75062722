#include "DialGeometry.h"

#include <cmath>

namespace tavik {

DialGeometry::DialGeometry(long width, long height, long minValue, long maxValue)
    : width_(width), height_(height), min_(minValue),
      degreesPerUnit_(180.0 / static_cast<double>(maxValue - minValue)),
      pivotX_(static_cast<long>(std::nearbyint(static_cast<double>(width) / 2.0))), pivotY_(height),
      needleLength_(height - 20) {}

long DialGeometry::needleDegrees(long value) const {
    return -static_cast<long>(std::nearbyint(static_cast<double>(value - min_) * degreesPerUnit_));
}

DialGeometry::Point DialGeometry::needleTip(long value) const {
    const double radians = static_cast<double>(needleDegrees(value)) * 3.14159 / 180.0;
    const auto dx =
        static_cast<long>(std::nearbyint(-std::cos(radians) * static_cast<double>(needleLength_)));
    const auto dy =
        static_cast<long>(std::nearbyint(static_cast<double>(needleLength_) * std::sin(radians)));
    return {pivotX_ + dx, pivotY_ + dy};
}

bool DialValue::setValue(long value) {
    if (value < min_ || value > max_) {
        return false;
    }
    current_ = value;
    return true;
}

} // namespace tavik
