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
#include <random>

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

// No plan of the shipped workbook is refused as implausible, and none comes near the bound.
// Every crop at both ends of its yield range, on the deepest soil with the water levels of
// each stage at 0 or 0.5 (what stores most between the stages), at every cycle; then random
// plans of any yield, depth, silt + clay, ripping, water levels, cycle and package.
TEST(PlausiblePlans, NoPlanOfTheShippedWorkbookIsRefused) {
    CropTable crops;
    crops.load(test::sheetFromCsv(test::shippedCropCsv()));
    std::mt19937 random(18);
    const auto any = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    double most = 0; // of the bound, worked out here from the crop row and the storage changes
    int planned = 0;
    for (const std::int16_t row : crops.offeredRows()) {
        const auto low = static_cast<int>(crops.number(row, CropColumn::MinYield));
        const auto high = static_cast<int>(crops.number(row, CropColumn::MaxYield));
        for (int trial = 0; trial < 32 * 9 + 50; ++trial) {
            Scenario s;
            s.crop = static_cast<int>(row);
            if (trial < 32 * 9) {
                s.targetYield = trial % 2 == 0 ? low : high;
                s.depth = 2000;
                for (std::size_t stage = 0; stage < 4; ++stage) {
                    s.waterLevels[stage] = std::vector<int>(7, (trial >> (stage + 1) & 1) * 500);
                }
                s.cycle = 2 + trial / 32;
            } else {
                s.targetYield = any(low, high);
                s.depth = any(150, 2000);
                s.siltClay.emplace();
                for (auto& stage : s.waterLevels) {
                    stage.emplace();
                }
                for (int layer = 0; layer < static_cast<int>(*s.depth / 300.0 + 0.5); ++layer) {
                    s.siltClay->push_back(any(1, 100));
                    for (auto& stage : s.waterLevels) {
                        stage->push_back(any(0, 500));
                    }
                }
                s.deepRipped = any(0, 1) == 1;
                s.sprinklerPackage = any(0, 1) == 1;
                s.cycle = any(2, 10);
            }
            const PlanOutcome outcome = runPlan(crops, s, {"", ""});
            if (!outcome.result) { // a soil without plant-available water is refused on its own
                EXPECT_EQ(outcome.problem.find("implausible"), std::string::npos)
                    << outcome.problem;
                continue;
            }
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
            ++planned;
        }
    }
    EXPECT_GT(planned, 3500);
    // At most about 0.7 of the bound (a 20-day late season irrigated for 30 days at a cycle
    // of 10, on a profile wetted at its end); the rest is room for crops unlike these.
    EXPECT_LT(most, 0.75);
}

} // namespace
} // namespace tavik
