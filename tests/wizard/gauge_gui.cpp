// The dial gauge: its scale, its half-disc shape and where it draws the needle.

#include "TestSupport.h"
#include "screens/cGauge.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <vector>

namespace tavik {
namespace {

bool isNeedle(QColor colour) {
    return colour.red() > 200 && colour.green() < 110 && colour.blue() < 90;
}

std::vector<QPoint> needlePixels(const QImage& image) {
    std::vector<QPoint> found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isNeedle(image.pixelColor(x, y))) {
                found.push_back({x, y});
            }
        }
    }
    return found;
}

// Distance from the centre of pixel p to the segment a–b.
double distanceToSegment(QPoint p, QPointF a, QPointF b) {
    const QPointF c(p.x() + 0.5, p.y() + 0.5);
    const QPointF ab = b - a;
    const double t =
        std::clamp(QPointF::dotProduct(c - a, ab) / QPointF::dotProduct(ab, ab), 0.0, 1.0);
    const QPointF d = c - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

class Gauge : public testing::Test {
protected:
    // By default the worked example: a 140 × 70 drawing area, pivot (70, 70), needle 50.
    void setUpGauge(long minValue, long maxValue, int height = 70) {
        gauge_.setFace(cGauge::loadDialFace(test::sourcePath(QStringLiteral("wizard/resources"))));
        ASSERT_FALSE(gauge_.face().isNull());
        gauge_.resize(300, height);
        gauge_.Setup(minValue, maxValue);
    }
    QImage shown() { return gauge_.grab().toImage(); }

    cGauge gauge_;
};

TEST_F(Gauge, SetupCutsAHalfDiscTwiceAsWideAsHighAndShowsTheBareFace) {
    setUpGauge(0, 100);
    EXPECT_EQ(gauge_.size(), QSize(140, 70));
    const DialGeometry* dial = gauge_.dialGeometry();
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(dial->PivotX(), 70);
    EXPECT_EQ(dial->PivotY(), 70);
    EXPECT_EQ(dial->NeedleLength(), 50);

    const QRegion mask = gauge_.mask();
    for (const QPoint inside : {QPoint(70, 1), QPoint(2, 69), QPoint(137, 69), QPoint(70, 69)}) {
        EXPECT_TRUE(mask.contains(inside)) << inside.x() << "," << inside.y();
    }
    for (const QPoint outside : {QPoint(0, 0), QPoint(139, 0), QPoint(10, 10), QPoint(129, 10)}) {
        EXPECT_FALSE(mask.contains(outside)) << outside.x() << "," << outside.y();
    }
    EXPECT_TRUE(needlePixels(shown()).empty());
}

TEST_F(Gauge, AFreshGaugeReadsZeroAndValuesOutsideTheScaleAreIgnored) {
    setUpGauge(10, 20);
    EXPECT_EQ(gauge_.Value(), 0);
    gauge_.setValue(0);
    EXPECT_EQ(gauge_.Value(), 0);

    setUpGauge(0, 100);
    gauge_.setValue(40);
    const QImage before = gauge_.picture();
    for (const long outside : {101L, -1L, std::numeric_limits<long>::max()}) {
        gauge_.setValue(outside);
        EXPECT_EQ(gauge_.Value(), 40);
        EXPECT_EQ(gauge_.picture(), before);
    }
}

struct Tip {
    long value;
    QPointF tip;
};

TEST_F(Gauge, TheNeedleRunsFromThePivotToTheTipOfItsValue) {
    setUpGauge(0, 100);
    const QPointF pivot(70, 70);
    // Minimum straight left, middle straight up, maximum straight right, a quarter at 45°.
    for (const Tip& c :
         {Tip{0, {20, 70}}, Tip{50, {70, 20}}, Tip{100, {120, 70}}, Tip{25, {35, 35}}}) {
        SCOPED_TRACE(c.value);
        gauge_.setValue(c.value);
        EXPECT_EQ(gauge_.Value(), c.value);
        const QImage image = shown();
        // Just inside the tip (the bottom row for a needle lying on the bottom edge).
        const QPointF unit = (c.tip - pivot) / 50.0;
        const QPointF nearTip = c.tip - 2.0 * unit;
        EXPECT_TRUE(isNeedle(image.pixelColor(static_cast<int>(std::floor(nearTip.x())),
                                              std::min(static_cast<int>(nearTip.y()), 69))));
        // Nothing of the needle strays from the segment or beyond the tip.
        const auto pixels = needlePixels(image);
        EXPECT_GE(pixels.size(), 45U);
        for (const QPoint p : pixels) {
            EXPECT_LE(distanceToSegment(p, pivot, c.tip), 2.5) << p.x() << "," << p.y();
        }
    }
}

TEST_F(Gauge, TheAngleIsRoundedToWholeDegrees) {
    setUpGauge(0, 375);
    gauge_.setValue(0);
    const QImage atZero = shown();
    gauge_.setValue(1); // 0.48° rounds to 0
    EXPECT_EQ(shown(), atZero);
    gauge_.setValue(2); // 0.96° rounds to 1
    EXPECT_NE(shown(), atZero);
}

TEST_F(Gauge, SetupAgainStartsFromTheBareFace) {
    setUpGauge(0, 100);
    gauge_.setValue(50);
    ASSERT_FALSE(needlePixels(gauge_.picture()).empty());
    gauge_.Setup(0, 200);
    EXPECT_EQ(gauge_.Value(), 0);
    EXPECT_TRUE(needlePixels(gauge_.picture()).empty());
}

TEST_F(Gauge, AScaleWithoutSpanAndATooShortNeedleDrawNothing) {
    const long most = std::numeric_limits<long>::max();
    const long least = std::numeric_limits<long>::min();
    for (const auto& [minValue, maxValue] :
         {std::pair{5L, 5L}, std::pair{10L, 0L}, std::pair{least, most}}) {
        setUpGauge(minValue, maxValue);
        EXPECT_FALSE(gauge_.hasScale());
        const QImage face = gauge_.picture();
        for (const long value : {minValue, maxValue, 0L}) {
            gauge_.setValue(value);
            EXPECT_EQ(gauge_.Value(), 0);
            EXPECT_EQ(gauge_.picture(), face);
        }
    }
    setUpGauge(0, 100, 15); // a needle of 15 - 20 pixels would point the wrong way
    gauge_.setValue(0);
    EXPECT_EQ(gauge_.Value(), 0);
    EXPECT_TRUE(needlePixels(gauge_.picture()).empty());
}

TEST(GaugeLifetime, AGaugeNeverSetUpIgnoresValuesAndGoesQuietly) {
    auto gauge = std::make_unique<cGauge>();
    gauge->setValue(3);
    EXPECT_EQ(gauge->Value(), 0);
    EXPECT_TRUE(gauge->picture().isNull());
    gauge->grab();
    gauge.reset();
}

} // namespace
} // namespace tavik
