#include "Plan.h"

#include "state/NumberText.h"
#include "state/SoilInfo.h"
#include "state/SprinklerPackage.h"

#include <QString>
#include <cmath>
#include <stdexcept>

namespace tavik {

namespace {

constexpr int kFreshDepth = 567;   // the soil screen's depth slider at its start
constexpr int kFreshSiltClay = 20; // every layer slider at its start

PlanOutcome refused(std::string problem) {
    PlanOutcome outcome;
    outcome.problem = std::move(problem);
    return outcome;
}

std::optional<std::int16_t> findCrop(const CropTable& crops, const Scenario& scenario,
                                     std::string& problem) {
    if (const int* row = std::get_if<int>(&scenario.crop)) {
        if (crops.isOffered(*row)) {
            return static_cast<std::int16_t>(*row);
        }
        problem = "\"crop\" " + std::to_string(*row) + " is not a crop row of the workbook";
        return std::nullopt;
    }
    const auto name = QString::fromStdString(std::get<std::string>(scenario.crop));
    for (const std::int16_t row : crops.offeredRows()) {
        if (QString::fromStdString(crops.text(row, CropColumn::Name))
                .compare(name, Qt::CaseInsensitive) == 0) {
            return row;
        }
    }
    problem = "\"crop\" \"" + name.toStdString() + "\" is not a crop of the workbook";
    return std::nullopt;
}

// The yield slider's end: the column rounded to a 32-bit integer (halves to even).
long sliderEnd(double yield) {
    return static_cast<long>(std::nearbyint(yield));
}

} // namespace

ScheduleInputs scheduleInputs(const mType& state, const WaterLevelModel& levels,
                              bool sprinklerPackage, int cycle, const TimeStamp& stamp) {
    ScheduleInputs in;
    in.crops = &state.CropData;
    in.CropRow = state.CropRow;
    in.TargetYield = state.TargetYield;
    in.StorageChangeEarly = state.StorageChangeEarly;
    in.StorageChangePeak = state.StorageChangePeak;
    in.StorageChangeLate = state.StorageChangeLate;
    in.SpeedCoefficient = state.SpeedCoefficient;
    in.SpeedExponent = state.SpeedExponent;
    in.sprinklerPackage = sprinklerPackage;
    in.cycle = static_cast<std::int16_t>(cycle);
    for (Stage stage : kStages) {
        in.nominalClasses[static_cast<std::size_t>(stage)] = levels.nominalClass(stage);
    }
    in.ProfilePAWC = state.ProfilePAWC;
    in.date = stamp.date;
    in.time = stamp.time;
    return in;
}

PlanOutcome runPlan(const CropTable& crops, const Scenario& scenario, const TimeStamp& stamp) {
    PlanOutcome outcome;
    outcome.result.emplace();
    PlanResult& plan = *outcome.result;
    mType& state = plan.state;
    state.CropData = crops;
    state.AppTitle = kAppTitle;

    // Crop and target yield.
    std::string problem;
    const auto row = findCrop(crops, scenario, problem);
    if (!row) {
        return refused(problem);
    }
    state.CropRow = *row;
    plan.cropName = crops.text(*row, CropColumn::Name);
    const long minimum = sliderEnd(crops.number(*row, CropColumn::MinYield));
    const long maximum = sliderEnd(crops.number(*row, CropColumn::MaxYield));
    const auto recommended = static_cast<float>(crops.number(*row, CropColumn::RecommendedYield));
    long yield = sliderEnd(static_cast<double>(recommended));
    if (scenario.targetYield) {
        yield = *scenario.targetYield;
        if (yield < minimum || yield > maximum) {
            return refused("\"targetYield\" must lie within " + plan.cropName + "'s range from " +
                           std::to_string(minimum) + " to " + std::to_string(maximum) +
                           " kg/ha, not " + std::to_string(yield));
        }
    }
    state.TargetYield = static_cast<float>(yield);

    // Soil: the depth layout, then Next (the PAWC).
    const int depth = scenario.depth.value_or(kFreshDepth);
    const DepthLayout layout = applySoilDepth(state, static_cast<std::int16_t>(depth), nullptr);
    plan.layers = layout.layers;
    if (layout.layers <= 0) {
        return refused(kNoDepthMessage);
    }
    plan.siltClay.assign(static_cast<std::size_t>(layout.layers), kFreshSiltClay);
    if (scenario.siltClay) {
        if (scenario.siltClay->size() != plan.siltClay.size()) {
            return refused("\"soil.siltClay\" must have " + std::to_string(layout.layers) +
                           " values, one per layer of the " + std::to_string(depth) +
                           " mm profile, not " + std::to_string(scenario.siltClay->size()));
        }
        plan.siltClay = *scenario.siltClay;
    }
    plan.rootZone = computeSoilPawc(state, static_cast<std::int16_t>(depth), plan.siltClay,
                                    scenario.deepRipped);
    if (plan.rootZone.outcome != RootZoneResult::Outcome::Ok) {
        return refused(soilPawcMessage(plan.rootZone));
    }

    // Planned soil water at the four stages.
    plan.waterLevels.build(*state.SoilProfile, static_cast<std::int16_t>(depth),
                           state.BottomLayerThickness);
    for (Stage stage : kStages) {
        const auto& levels = scenario.waterLevels[static_cast<std::size_t>(stage)];
        if (!levels) {
            continue;
        }
        if (levels->size() != static_cast<std::size_t>(plan.waterLevels.LayerCount())) {
            return refused("\"waterLevels." + std::string(stageKey(stage)) + "\" must have " +
                           std::to_string(plan.waterLevels.LayerCount()) +
                           " values, one per layer, not " + std::to_string(levels->size()));
        }
    }
    for (int r = 0; r < plan.waterLevels.LayerCount(); ++r) {
        for (Stage stage :
             {Stage::SeasonStart, Stage::SeasonEnd, Stage::PeakStart, Stage::PeakEnd}) {
            const auto& levels = scenario.waterLevels[static_cast<std::size_t>(stage)];
            if (levels) {
                plan.waterLevels.select(r, stage, (*levels)[static_cast<std::size_t>(r)]);
            }
        }
    }
    state.StorageChangeEarly = plan.waterLevels.StorageChangeEarly();
    state.StorageChangePeak = plan.waterLevels.StorageChangePeak();
    state.StorageChangeLate = plan.waterLevels.StorageChangeLate();

    // The sprinkler package.
    plan.sprinklerPackage = scenario.sprinklerPackage;
    if (scenario.sprinklerPackage) {
        const SprinklerFit fit =
            fitSprinklerPackage(scenario.amounts.value_or(defaultSprinklerAmounts()));
        if (!fit.law) {
            return refused(fit.problem);
        }
        state.SpeedCoefficient = fit.law->SpeedCoefficient;
        state.SpeedExponent = fit.law->SpeedExponent;
    }

    // The schedule.
    const ScheduleInputs in =
        scheduleInputs(state, plan.waterLevels, scenario.sprinklerPackage, scenario.cycle, stamp);
    try {
        plan.schedule = plan.engine.ComputeSchedule(in);
    } catch (const std::exception& error) {
        return refused("the schedule cannot be computed for " + plan.cropName + ": " +
                       error.what());
    }
    plan.individualChart = plan.engine.DrawChart(true);
    plan.cumulativeChart = plan.engine.DrawChart(false);
    return outcome;
}

} // namespace tavik
