// Plans no field could have: a sprinkler package whose amounts do not fall as one over the
// running speed, and a season's irrigation far beyond what the crop uses. Neither may refuse
// a plan of the shipped workbook.

#include "TestSupport.h"
#include "plan/Plan.h"
#include "plan/Scenario.h"
#include "state/SprinklerPackage.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace tavik {
namespace {

// `full` mm at full speed, falling as speed ^ b, less a loss on every pass, optionally in
// whole millimetres.
std::vector<double> table(double full, double b, double loss = 0, bool wholeMm = false) {
    std::vector<double> amounts;
    for (double speed : sprinklerSpeeds()) {
        const double amount = full * std::pow(speed / 100, b) - loss;
        amounts.push_back(wholeMm ? std::max(1.0, std::round(amount)) : amount);
    }
    return amounts;
}

TEST(SprinklerTables, OnlyAmountsFallingAsOneOverTheSpeedAreAPivots) {
    const std::vector<std::tuple<const char*, std::vector<double>, const char*>> cases{
        // name, amounts, the exponent the refusal shows (none: a pivot's table)
        {"shipped", defaultSprinklerAmounts(), nullptr},
        {"whole millimetres from 1 mm", table(1, -1, 0, true), nullptr},
        {"5 mm at full speed less 0.5 mm a pass", table(5, -1, 0.5), nullptr},
        {"just inside, steeper", table(6, -1.0499), nullptr},
        {"just inside, flatter", table(4, -0.9501), nullptr},
        {"flat 1 mm", table(1, 0), "0"},
        {"flat 0.01 mm", table(0.01, 0), "0"},
        {"flat 1e15 mm", table(1e15, 0), "0"},
        {"rising with the speed", table(20, 1), "1"},
        {"just outside, steeper", table(6, -1.0500001), "-1.0500001"},
        {"just outside, flatter", table(4, -0.9499), "-0.9499"},
    };
    for (const auto& [name, amounts, exponent] : cases) {
        const SprinklerFit fit = fitSprinklerPackage(amounts);
        EXPECT_EQ(fit.law.has_value(), exponent == nullptr) << name << ": " << fit.problem;
        if (exponent != nullptr) {
            EXPECT_NE(fit.problem.find("The sprinkler package table does not fit a centre pivot"),
                      std::string::npos);
            EXPECT_NE(fit.problem.find(std::string("fitted exponent is ") + exponent + ". "),
                      std::string::npos)
                << name << ": " << fit.problem;
        }
    }
}

// The crop at one end of its yield range on the deepest soil; the bits of `wetter` choose
// the yield end, the water levels of each stage (0 or 0.5) and the cycle.
Scenario deepestSoil(const CropTable& crops, std::int16_t row, int wetter) {
    Scenario s{};
    s.crop = static_cast<int>(row);
    s.targetYield = static_cast<int>(
        crops.number(row, wetter % 2 == 0 ? CropColumn::MinYield : CropColumn::MaxYield));
    s.depth = 2000;
    for (std::size_t stage = 0; stage < 4; ++stage) {
        s.waterLevels[stage] = std::vector<int>(7, (wetter >> (stage + 1) & 1) * 500);
    }
    s.cycle = 2 + wetter / 32;
    return s;
}

// No plan of the shipped workbook is refused as implausible, and none comes near the bound:
// every crop at both ends of its yield range, on the deepest soil with the water levels of
// each stage at 0 or 0.5, at every cycle, which stores most between the stages. (Random
// depths, soils, ripping and packages come to less: about 0.57 of the bound.)
TEST(PlausiblePlans, NoPlanOfTheShippedWorkbookIsRefused) {
    CropTable crops;
    crops.load(test::sheetFromCsv(test::shippedCropCsv()));
    double most = 0; // of the bound, worked out here from the crop row and the storage changes
    for (const std::int16_t row : crops.offeredRows()) {
        for (int wetter = 0; wetter < 32 * 9; ++wetter) {
            const PlanOutcome outcome = runPlan(crops, deepestSoil(crops, row, wetter), {"", ""});
            ASSERT_TRUE(outcome.result) << outcome.problem;
            const mType& state = outcome.result->state;
            double season = 0;
            for (const IrrigationDay& day : outcome.result->schedule.irrigations) {
                season += day.amount;
            }
            double bound = (static_cast<double>(state.TargetYield) +
                            crops.number(row, CropColumn::WaterUseIntercept)) /
                           crops.number(row, CropColumn::WaterUseSlope);
            for (float change :
                 {state.StorageChangeEarly, state.StorageChangePeak, state.StorageChangeLate}) {
                bound += static_cast<double>(std::max(0.0F, change));
            }
            most = std::max(most, season / (2 * bound));
        }
    }
    // At most about 0.7 of the bound (a 20-day late season irrigated for 30 days at a cycle
    // of 10, on a profile wetted at its end); the rest is room for crops unlike these.
    EXPECT_LT(most, 0.75);
}

} // namespace
} // namespace tavik
