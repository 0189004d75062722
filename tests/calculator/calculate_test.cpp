// The calculator's crop rows, Calculate and the soil type PAWC.

#include "engine/CTavik.h"
#include "engine/SoilType.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace tavikcalc {
namespace {

class RecordingNotifier : public Notifier {
public:
    void message(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// What the dialog and the reports read of each row.
struct RowCase {
    int index;
    const char* listEntry;
    const char* name;
    double seasonLength;
    int rampDays;
    int defaultLag;
    double guidelineYield;
    double maxYield;
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.name;
}

class CropRows : public testing::TestWithParam<RowCase> {};

TEST_P(CropRows, LoadTheRowOfTheListEntry) {
    const RowCase& c = GetParam();
    CTavik calculator;
    ASSERT_TRUE(calculator.SetCrop(c.index));
    const CropRecord& row = calculator.record();
    EXPECT_EQ(cropListEntries()[static_cast<std::size_t>(c.index)], c.listEntry);
    EXPECT_EQ(row.name, c.name);
    EXPECT_EQ(row.seasonLength, c.seasonLength);
    EXPECT_EQ(row.rampDays, c.rampDays);
    EXPECT_EQ(row.defaultLag, c.defaultLag);
    EXPECT_EQ(row.guidelineYield, c.guidelineYield);
    EXPECT_EQ(row.maxYield, c.maxYield);
}

// Row 3 is listed with 150 days, while its season is 140 days long.
INSTANTIATE_TEST_SUITE_P(
    AllTen, CropRows,
    testing::Values(
        RowCase{0, "Wheat: Growing season 150 days", "Wheat 150", 150, 30, 30, 6000, 10000},
        RowCase{1, "Wheat: Growing season 170 days", "Wheat 170", 170, 30, 40, 6000, 10000},
        RowCase{2, "Wheat: Growing season 180 days", "Wheat 180", 180, 30, 45, 6000, 10000},
        RowCase{3, "Maize: Growing season 150 days", "MAIZE", 140, 30, 30, 10000, 15000},
        RowCase{4, "Groundnuts: Growing season 160 days", "GROUNDNUTS", 160, 30, 30, 4000, 5000},
        RowCase{5, "Cotton: Growing season 180 days", "COTTON", 180, 30, 30, 4000, 6000},
        RowCase{6, "Soya Beans: Growing season 140 days", "BEANS", 140, 30, 30, 3000, 5000},
        RowCase{7, "Potatoes: Growing season 120 days", "POTATOES(WINTER)", 120, 20, 30, 50000,
                65000},
        RowCase{8, "Potatoes: Growing season 140 days", "POTATOES(SUMMER)", 140, 40, 30, 40000,
                65000},
        RowCase{9, "Peas: Growing season 140 days", "PEAS", 140, 30, 40, 4000, 5500}));

TEST(SetCrop, EverySelectionRewritesTheWholeRow) {
    CTavik calculator;
    calculator.SetCrop(7);
    calculator.setDefaultLag(99); // typed into the Lag box
    calculator.SetCrop(0);
    EXPECT_EQ(calculator.record().rampDays, 30);
    EXPECT_EQ(calculator.record().defaultLag, 30);
    EXPECT_EQ(calculator.record().spareP3toP9[0], 5.33);
    calculator.SetCrop(2);
    EXPECT_EQ(calculator.record().spareP3toP9[0], 0.86);
}

TEST(SetCrop, AnIndexOutsideTheListKeepsTheRowAndSaysSo) {
    RecordingNotifier notifier;
    CTavik calculator(&notifier);
    EXPECT_FALSE(calculator.SetCrop(-1)); // no selection yet
    EXPECT_FALSE(calculator.hasCrop());
    ASSERT_TRUE(calculator.SetCrop(9));
    EXPECT_FALSE(calculator.SetCrop(10));
    EXPECT_EQ(calculator.record().name, "PEAS");
    EXPECT_EQ(notifier.messages,
              (std::vector<std::string>{"Unable to initialize data", "Unable to initialize data"}));
}

TEST(Calculate, WithoutACropChangesNothing) {
    CTavik calculator;
    double usableWater = 7;
    calculator.Calculate(6000, 100, usableWater, 25);
    EXPECT_EQ(usableWater, 7);
    EXPECT_EQ(calculator.seasonDemand, 0);
    EXPECT_EQ(calculator.cumDemand[150], 0);
}

TEST(Calculate, Wheat150AtItsGuidelineYield) {
    CTavik c;
    c.SetCrop(0);
    double usableWater = 0;
    c.Calculate(6000, 100, usableWater, 25);
    EXPECT_DOUBLE_EQ(c.seasonDemand, 6340 / 11.38);
    EXPECT_EQ(usableWater, 75);
    EXPECT_EQ(c.peakStart, 68);
    EXPECT_EQ(c.peakEnd, 133);
    EXPECT_NEAR(c.peakCap, 4.58, 0.005);
    EXPECT_NEAR(c.preSum, 136.08, 0.005);
    EXPECT_FALSE(c.capUnreached);
    // Before the peak both schedules spread their water evenly over days 10..68, under the
    // cap, so the dry profile's peak rate is the cap.
    for (const int day : {10, 40, 68}) {
        EXPECT_NEAR(c.dailyPartial[static_cast<std::size_t>(day)], 2.99, 0.005) << day;
        EXPECT_NEAR(c.dailyDry[static_cast<std::size_t>(day)], 3.64, 0.005) << day;
    }
    EXPECT_EQ(c.dailyDry[69], c.peakCap);
    EXPECT_EQ(c.peakRate, c.peakCap);
    EXPECT_NEAR(c.cumDemand[150], 558.1, 0.05);
    EXPECT_NEAR(c.cumCapped[150], 484.2, 0.05);
    EXPECT_NEAR(c.cumPartial[150], 524.7, 0.05);
    EXPECT_NEAR(c.cumDry[150], 562.9, 0.05);
    // The ramp rises in equal steps to the curve's value on day 30.
    EXPECT_DOUBLE_EQ(c.dailyDemand[15], c.rampEndDemand / 2);
    // Days 1..9 are not counted in the schedules' running totals.
    EXPECT_EQ(c.cumPartial[9], 0);
    EXPECT_EQ(c.dailyPartial[9], c.dailyDemand[9]);
    EXPECT_EQ(c.cumDry[10], c.dailyDry[10]);
}

struct ReserveCase {
    double pawc;
    double reserve;
    double usableWater;
};

class Reserve : public testing::TestWithParam<ReserveCase> {};

// The reserve asked for is held back when the profile can hold it, half the profile
// otherwise.
TEST_P(Reserve, LeavesTheRestOfTheProfileUsable) {
    CTavik c;
    c.SetCrop(0);
    double usableWater = -1;
    c.Calculate(6000, GetParam().pawc, usableWater, GetParam().reserve);
    EXPECT_EQ(usableWater, GetParam().usableWater);
}

INSTANTIATE_TEST_SUITE_P(AboveEqualBelow, Reserve,
                         testing::Values(ReserveCase{60, 80, 30}, ReserveCase{50, 50, 0},
                                         ReserveCase{100, 25, 75}, ReserveCase{40, 0, 40}));

TEST(Calculate, PawcZeroFillsOnlyTheDemand) {
    CTavik c;
    c.SetCrop(0);
    double usableWater = 0;
    c.Calculate(6000, 100, usableWater, 25);
    const double earlierRate = c.peakRate;
    usableWater = 12.5;
    c.Calculate(4000, 0, usableWater, 25);
    EXPECT_EQ(usableWater, 12.5);
    EXPECT_EQ(c.peakRate, earlierRate);
    EXPECT_NEAR(c.cumDemand[150], 4340 / 11.38, 0.02 * 4340 / 11.38);
    for (const DayCurve* curve : {&c.cumCapped, &c.cumPartial, &c.cumDry, &c.dailyDry}) {
        EXPECT_TRUE(std::all_of(curve->begin(), curve->end(), [](double v) { return v == 0; }));
    }
}

// Every row at the ends and the middle of its yield range: the season's demand adds up to
// the seasonal water use, and every schedule is a running total of its daily amounts.
TEST(Calculate, CurvesOfEveryRowHoldTogether) {
    for (int row = 0; row < kCropCount; ++row) {
        CTavik c;
        c.SetCrop(row);
        const CropRecord& crop = c.record();
        const auto season = static_cast<std::size_t>(crop.seasonLength);
        for (const double yield : {0.0, crop.guidelineYield, crop.maxYield}) {
            SCOPED_TRACE(crop.name + " at " + std::to_string(yield));
            double usableWater = 0;
            c.Calculate(yield, 100, usableWater, 25);
            EXPECT_NEAR(c.cumDemand[season], c.seasonDemand, 0.02 * c.seasonDemand);
            if (!c.capUnreached) {
                EXPECT_GE(c.cumCapped[season], c.seasonDemand - usableWater);
            }
            for (std::size_t day = 10; day <= season; ++day) {
                EXPECT_EQ(c.cumDemand[day], c.cumDemand[day - 1] + c.dailyDemand[day]);
                EXPECT_EQ(c.cumCapped[day], c.cumCapped[day - 1] + c.dailyCapped[day]);
                EXPECT_EQ(c.cumPartial[day], c.cumPartial[day - 1] + c.dailyPartial[day]);
                EXPECT_EQ(c.cumDry[day], c.cumDry[day - 1] + c.dailyDry[day]);
            }
            EXPECT_EQ(c.cumDemand[season + 1], 0);
        }
    }
}

struct CapCase {
    int row;
    double pawc;
    double reserve;
};

void PrintTo(const CapCase& c, std::ostream* os) {
    *os << "row " << c.row << ", PAWC " << c.pawc << ", reserve " << c.reserve;
}

class CapUnreached : public testing::TestWithParam<CapCase> {};

// Too little usable water for any cap: the search stops at the first cap above the
// season's largest daily demand, where the capped curve is the plain curve.
TEST_P(CapUnreached, StopsAtTheFirstCapAboveTheLargestDemand) {
    const CapCase& p = GetParam();
    CTavik c;
    c.SetCrop(p.row);
    const auto season = static_cast<std::size_t>(c.record().seasonLength);
    double usableWater = 0;
    c.Calculate(c.record().guidelineYield, p.pawc, usableWater, p.reserve);
    EXPECT_TRUE(c.capUnreached);
    const double largest =
        *std::max_element(c.dailyDemand.begin() + 1, c.dailyDemand.begin() + season + 1);
    EXPECT_GT(c.peakCap, largest);
    EXPECT_LE(c.peakCap - 0.1, largest);
    EXPECT_EQ(c.peakStart, 0);
    EXPECT_LT(c.cumCapped[season], c.seasonDemand - usableWater);
    EXPECT_EQ(c.peakRate, c.peakCap);
}

INSTANTIATE_TEST_SUITE_P(SmallOrNegativeUsableWater, CapUnreached,
                         testing::Values(CapCase{6, 30, 25}, CapCase{2, 25, 25}, CapCase{5, 25, 25},
                                         CapCase{8, 25, 25}, CapCase{9, 25, 25},
                                         CapCase{0, -40, 25}));

struct SoilCase {
    int row;
    SoilClass soil;
    double yieldTarget;
    int depth;
    const char* shown;
};

class SoilTypePawc : public testing::TestWithParam<SoilCase> {};

TEST_P(SoilTypePawc, IsShownToOneDecimal) {
    const SoilCase& s = GetParam();
    CTavik c;
    c.SetCrop(s.row);
    const double pawc = soilTypePawc(c.record(), s.soil, s.yieldTarget, s.depth);
    EXPECT_EQ(soilTypePawcText(pawc), s.shown);
    EXPECT_EQ(soilTypePawcAsShown(pawc), std::stod(s.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SoilTypePawc,
    testing::Values(SoilCase{0, SoilClass::Sand, 6000, 1000, "57.6"},
                    SoilCase{9, SoilClass::SandyLoam, 4000, 1000, "51.5"},
                    SoilCase{0, SoilClass::Sand, 0, 1000, "129.6"},    // yield 0 adds the most
                    SoilCase{0, SoilClass::Clay, 6000, 2000, "183.4"}, // deeper than reference
                    SoilCase{3, SoilClass::SandyLoam, 10000, 1234, "81.3"},
                    SoilCase{8, SoilClass::Sand, 65000, 0, "-112.0"}));

} // namespace
} // namespace tavikcalc
