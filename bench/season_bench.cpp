// The season re-planned as the screens do at every keystroke: a 200-day season with an
// irrigation every 5 days, balanced against a record of some 40 entries (rain, logged
// irrigations and soil readings) as of mid-season.

#include "engine/SeasonBalance.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

tavik::SeasonPlan season200() {
    tavik::SeasonPlan plan;
    plan.count = 200;
    plan.stageDays = {0, 80, 140, 200};
    plan.stageTotals = {240, 228, 205, 160};
    plan.fieldCapacity = 262.5;
    plan.lowerLimit = 118.2;
    plan.thresholds = tavik::ClassThresholds::between(118.2F, 262.5F);
    plan.layerThickness = {300, 300, 300, 300};
    for (int day = 10; day <= 200; day += 5) {
        tavik::IrrigationDay irrigation;
        irrigation.day = static_cast<std::int16_t>(day);
        irrigation.amount = 18 + 12 * std::sin(day / 30.0);
        plan.irrigations.push_back(irrigation);
    }
    plan.speedCoefficient = 342.7;
    plan.speedExponent = -0.87;
    plan.sprinklerPackage = true;
    return plan;
}

tavik::SeasonDays record40() {
    tavik::SeasonDays record;
    for (int day = 3; day <= 200; day += 10) {
        record.rain[day] = 2.5 + (day % 7) * 4.1; // 20 rains
    }
    for (int day = 10; day <= 90; day += 5) {
        record.irrigations[day] = 15 + (day % 3) * 2.5; // 17 irrigations
    }
    record.readings[0] = {0.2, 0.21, 0.22, 0.23};
    record.readings[45] = {0.18, 0.2, 0.21, 0.22};
    record.readings[88] = {0.17, 0.19, 0.2, 0.21};
    record.effectiveRain = {80, 5};
    return record;
}

void BM_SeasonBalance200Days(benchmark::State& state) {
    const tavik::SeasonPlan plan = season200();
    const tavik::SeasonDays record = record40();
    for (auto _ : state) {
        const tavik::SeasonBalance balance = tavik::balanceSeason(plan, record, 92);
        benchmark::DoNotOptimize(balance.days.data());
    }
}
BENCHMARK(BM_SeasonBalance200Days)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
