#pragma once

#include <cstdint>

namespace tavik {

// A half-round dial: the scale runs clockwise over 180 degrees, the minimum pointing
// straight left, the middle straight up, the maximum straight right. The needle turns about
// the middle of the bottom edge.
class DialGeometry {
public:
    // A drawing area of width × height pixels and the scale minValue..maxValue
    // (maxValue must differ from minValue).
    DialGeometry(long width, long height, long minValue, long maxValue);

    long GaugeWidth() const { return width_; }
    long GaugeHeight() const { return height_; }
    long PivotX() const { return pivotX_; }
    long PivotY() const { return pivotY_; }
    long NeedleLength() const { return needleLength_; }
    double DegreesPerUnit() const { return degreesPerUnit_; }

    // The needle's angle in whole degrees: 0 at the minimum, -180 at the maximum.
    long needleDegrees(long value) const;

    struct Point {
        long x;
        long y;
    };
    // The needle's tip for a value.
    Point needleTip(long value) const;

private:
    long width_, height_, min_;
    double degreesPerUnit_;
    long pivotX_, pivotY_, needleLength_;
};

// The value a dial shows: a value outside its scale is ignored; 0 until the first accepted
// value, even when 0 lies outside the scale.
class DialValue {
public:
    DialValue(long minValue, long maxValue) : min_(minValue), max_(maxValue) {}
    long Value() const { return current_; }
    // Returns whether the value was accepted.
    bool setValue(long value);
    long MinValue() const { return min_; }
    long MaxValue() const { return max_; }

private:
    long min_, max_;
    long current_ = 0;
};

} // namespace tavik
