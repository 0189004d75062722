// Plans no field could have: a sprinkler package whose amounts do not fall as one over the
// running speed, and a season's irrigation far beyond what the crop uses. Neither may refuse
// a plan of the shipped workbook.

#include "TestSupport.h"
#include "plan/Plan.h"
#include "plan/Scenario.h"
#include "state/CropTable.h"
#include "state/SprinklerPackage.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace tavik {
namespace {

const TimeStamp kStamp{"1/2/2026", "3:04:05 PM"};

// amount = coefficient × speed ^ exponent - loss at every speed of the table.
std::vector<double> powerTable(double coefficient, double exponent, double loss = 0) {
    std::vector<double> amounts;
    for (double speed : sprinklerSpeeds()) {
        amounts.push_back(coefficient * std::pow(speed, exponent) - loss);
    }
    return amounts;
}

std::vector<double> flatTable(double amount) {
    return std::vector<double>(kSprinklerRows, amount);
}

// One over the speed in whole millimetres: the coarsest rounding a real table has.
std::vector<double> wholeMillimetreTable(double atFullSpeed) {
    std::vector<double> amounts;
    for (double speed : sprinklerSpeeds()) {
        amounts.push_back(std::max(1.0, std::round(atFullSpeed * 100.0 / speed)));
    }
    return amounts;
}

struct PackageCase {
    const char* name;
    std::vector<double> amounts;
    const char* exponentShown; // in the refusal; nullptr: the table is a pivot's
};

TEST(SprinklerTables, OnlyAmountsFallingAsOneOverTheSpeedAreAPivots) {
    const std::vector<PackageCase> cases{
        {"shipped", defaultSprinklerAmounts(), nullptr},
        {"ten times the shipped", powerTable(5475, -1), nullptr},
        {"whole millimetres from 1 mm", wholeMillimetreTable(1), nullptr},
        {"whole millimetres from 5 mm", wholeMillimetreTable(5), nullptr},
        {"5 mm at full speed less 0.5 mm a pass", powerTable(500, -1, 0.5), nullptr},
        {"just inside, steeper", powerTable(600, -1.0499), nullptr},
        {"just inside, flatter", powerTable(400, -0.9501), nullptr},
        {"flat 1 mm", flatTable(1), "0"},
        {"flat 0.01 mm", flatTable(0.01), "0"},
        {"flat 1e15 mm", flatTable(1e15), "0"},
        {"rising with the speed", powerTable(0.2, 1), "1"},
        {"just outside, steeper", powerTable(600, -1.0500001), "-1.0500001"},
        {"just outside, flatter", powerTable(400, -0.9499), "-0.9499"},
        {"square root", powerTable(120, -0.5), "-0.5"},
    };
    for (const PackageCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SprinklerFit fit = fitSprinklerPackage(c.amounts);
        if (c.exponentShown == nullptr) {
            ASSERT_TRUE(fit.law) << fit.problem;
            EXPECT_TRUE(isPivotLaw(*fit.law));
            continue;
        }
        EXPECT_FALSE(fit.law);
        EXPECT_NE(fit.problem.find("The sprinkler package table does not fit a centre pivot"),
                  std::string::npos)
            << fit.problem;
        EXPECT_NE(
            fit.problem.find(std::string("their fitted exponent is ") + c.exponentShown + ". "),
            std::string::npos)
            << fit.problem;
    }

    // Amounts whose law is -1 but whose coefficient is past any number.
    std::vector<double> past;
    for (double speed : sprinklerSpeeds()) {
        past.push_back(5e306 * (100.0 / speed)); // amount × speed 5e308
    }
    const SprinklerFit huge = fitSprinklerPackage(past);
    EXPECT_FALSE(huge.law);
    EXPECT_NE(huge.problem.find("too large or too small to give running speeds"), std::string::npos)
        << huge.problem;
}

TEST(SprinklerTables, TheCommandRefusesAFlatTableNamingItsExponent) {
    QTemporaryDir dir;
    const QString file = test::writeFile(
        dir, QStringLiteral("flat.json"),
        R"({"crop": "Maize", "sprinklerPackage": {"amounts": [1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1]}})");
    const test::ProcessResult result =
        test::runProcess(test::tavikExecutable(), {QStringLiteral("plan"), file});
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_NE(result.err.find("\"sprinklerPackage.amounts\": The sprinkler package table does "
                              "not fit a centre pivot"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("their fitted exponent is 0."), std::string::npos) << result.err;
}

const CropTable& shippedCrops() {
    static const CropTable crops = [] {
        CropTable table;
        table.load(test::sheetFromCsv(test::shippedCropCsv()));
        return table;
    }();
    return crops;
}

// How much of the bound a plan's season comes to (1: at the bound), with the figures the rule
// weighs worked out anew from the crop row and the plan's storage changes.
double shareOfTheBound(const CropTable& crops, const PlanResult& plan) {
    double season = 0;
    for (const IrrigationDay& day : plan.schedule.irrigations) {
        season += day.amount;
    }
    const std::int16_t row = plan.state.CropRow;
    const double use = (static_cast<double>(plan.state.TargetYield) +
                        crops.number(row, CropColumn::WaterUseIntercept)) /
                       crops.number(row, CropColumn::WaterUseSlope);
    double stored = 0;
    for (const float change : {plan.state.StorageChangeEarly, plan.state.StorageChangePeak,
                               plan.state.StorageChangeLate}) {
        stored += std::max(0.0, static_cast<double>(change));
    }
    return season / (kPlausibleSeasonFactor * (use + stored));
}

// No plan of the shipped workbook is refused as implausible. Every crop at both ends of its
// yield range, on the deepest soil with the planned water levels at their extremes (which
// store most between the stages: a wetter stage than the last is water the irrigation must
// bring), at every cycle; then random plans: any yield, depth, silt + clay, ripping, water
// levels, cycle, with or without the shipped package.
TEST(PlausiblePlans, NoPlanOfTheShippedWorkbookIsRefused) {
    const CropTable& crops = shippedCrops();
    std::mt19937 random(18);
    const auto between = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    double most = 0;
    std::string mostScenario;
    int planned = 0;
    const auto weigh = [&](const Scenario& s) {
        const PlanOutcome outcome = runPlan(crops, s, kStamp);
        if (!outcome.result) {
            // A soil without plant-available water is refused on its own account.
            EXPECT_EQ(outcome.problem.find("implausible"), std::string::npos)
                << scenarioJson(s) << ": " << outcome.problem;
            return;
        }
        ++planned;
        const double share = shareOfTheBound(crops, *outcome.result);
        if (share > most) {
            most = share;
            mostScenario = scenarioJson(s);
        }
    };
    const auto levels = [](int layers, int level) {
        return std::optional<std::vector<int>>(
            std::vector<int>(static_cast<std::size_t>(layers), level));
    };
    for (const std::int16_t row : crops.offeredRows()) {
        const int minimum = static_cast<int>(crops.number(row, CropColumn::MinYield));
        const int maximum = static_cast<int>(crops.number(row, CropColumn::MaxYield));
        for (const int yield : {minimum, maximum}) {
            for (int wetter = 0; wetter < 16; ++wetter) {
                for (int cycle = 2; cycle <= 10; ++cycle) {
                    Scenario s;
                    s.crop = static_cast<int>(row);
                    s.targetYield = yield;
                    s.depth = 2000;
                    for (std::size_t stage = 0; stage < 4; ++stage) {
                        s.waterLevels[stage] = levels(7, ((wetter >> stage) & 1) * 500);
                    }
                    s.cycle = cycle;
                    weigh(s);
                }
            }
        }
        for (int trial = 0; trial < 50; ++trial) {
            Scenario s;
            s.crop = static_cast<int>(row);
            s.targetYield = between(minimum, maximum);
            s.depth = between(150, 2000);
            const int layers = static_cast<int>(*s.depth / 300.0 + 0.5);
            s.siltClay.emplace();
            for (auto& stage : s.waterLevels) {
                stage.emplace();
            }
            for (int layer = 0; layer < layers; ++layer) {
                s.siltClay->push_back(between(1, 100));
                for (auto& stage : s.waterLevels) {
                    stage->push_back(between(0, 500));
                }
            }
            s.deepRipped = between(0, 1) == 1;
            s.sprinklerPackage = between(0, 1) == 1;
            s.cycle = between(2, 10);
            weigh(s);
        }
    }
    EXPECT_GT(planned, 3500);
    // The shipped crops come to about 0.7 of the bound at most (a late season of 20 days
    // irrigated for 30 at a cycle of 10, on a profile wetted at its end); the rest is room
    // for crops unlike these.
    EXPECT_LT(most, 0.8) << mostScenario;
}

} // namespace
} // namespace tavik
