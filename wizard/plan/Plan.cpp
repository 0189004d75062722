#include "Plan.h"

#include "Calendar.h"
#include "Season.h"
#include "state/NumberText.h"
#include "state/SoilInfo.h"
#include "state/SprinklerPackage.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tavik {

namespace {

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
    problem = "\"crop\" \"" + printableText(name.toStdString(), kMaxCropNameLength) +
              "\" is not a crop of the workbook";
    return std::nullopt;
}

// "Wheat (crop row 2 of the workbook)": a problem of the crop's figures lies in the workbook.
std::string cropRowName(const PlanResult& plan) {
    return plan.cropName + " (crop row " + std::to_string(plan.state.CropRow) + " of the workbook)";
}

// The yield slider's end: the column rounded to a 32-bit integer (halves to even).
long sliderEnd(double yield) {
    return static_cast<long>(std::nearbyint(yield));
}

// The first figure of a plan that is not a finite number, by name; none when all are. The
// crop table's ranges keep such rows out; this is the last guard before anything is written.
std::optional<std::string> nonFiniteFigure(const PlanResult& plan) {
    const auto finite = [](double value) {
        return std::isfinite(value);
    };
    const auto allFinite = [&finite](const auto& values) {
        return std::all_of(values.begin(), values.end(),
                           [&finite](auto v) { return finite(static_cast<double>(v)); });
    };
    const mType& state = plan.state;
    if (!finite(static_cast<double>(state.ProfilePAWC)) || !allFinite(plan.rootZone.LayerWater) ||
        !allFinite(plan.rootZone.RootDensity)) {
        return "the soil's plant-available water";
    }
    if (!finite(static_cast<double>(state.StorageChangeEarly)) ||
        !finite(static_cast<double>(state.StorageChangePeak)) ||
        !finite(static_cast<double>(state.StorageChangeLate))) {
        return "the changes of stored soil water";
    }
    if (!finite(state.SpeedCoefficient) || !finite(state.SpeedExponent)) {
        return "the sprinkler package's speed law";
    }
    if (auto figure = plan.engine.nonFiniteFigure()) {
        return figure;
    }
    if (!allFinite(plan.individualChart.values) || !allFinite(plan.cumulativeChart.values)) {
        return "the chart";
    }
    return std::nullopt;
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

namespace {

// Crop and target yield: the crop by row or name, the yield within the slider's range.
std::optional<std::string> chooseCrop(PlanResult& plan, const CropTable& crops,
                                      const Scenario& scenario) {
    mType& state = plan.state;
    std::string problem;
    const auto row = findCrop(crops, scenario, problem);
    if (!row) {
        return problem;
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
            return "\"targetYield\" must lie within " + plan.cropName + "'s range from " +
                   std::to_string(minimum) + " to " + std::to_string(maximum) + " kg/ha, not " +
                   std::to_string(yield);
        }
    }
    state.TargetYield = static_cast<float>(yield);
    return std::nullopt;
}

// Soil: the depth layout, then Next (the PAWC).
std::optional<std::string> describeSoil(PlanResult& plan, const Scenario& scenario) {
    mType& state = plan.state;
    const int depth = scenario.depth.value_or(kFreshSoilDepth);
    const DepthLayout layout = applySoilDepth(state, static_cast<std::int16_t>(depth), nullptr);
    plan.depth = depth;
    plan.layers = layout.layers;
    plan.deepRipped = scenario.deepRipped;
    if (layout.layers <= 0) {
        return "\"soil.depth\" is " + std::to_string(depth) +
               " mm, which gives no soil layer (a profile needs 150 mm at least): " +
               kNoDepthMessage;
    }
    plan.siltClay.assign(static_cast<std::size_t>(layout.layers), kFreshSiltClay);
    if (scenario.siltClay) {
        if (auto wrongCount = layerCountProblem("soil.siltClay", scenario.siltClay->size(),
                                                layout.layers, depth)) {
            return wrongCount;
        }
        plan.siltClay = *scenario.siltClay;
    }
    plan.rootZone = computeSoilPawc(state, static_cast<std::int16_t>(depth), plan.siltClay,
                                    scenario.deepRipped);
    if (plan.rootZone.outcome == RootZoneResult::Outcome::Failed) {
        return cropRowName(plan) + ": " + soilPawcMessage(plan.rootZone);
    }
    if (plan.rootZone.outcome != RootZoneResult::Outcome::Ok) {
        return "\"soil.siltClay\" and \"soil.depth\" give no plant-available water for " +
               plan.cropName + ": " + soilPawcMessage(plan.rootZone);
    }
    return std::nullopt;
}

// Planned soil water at the four stages, and the changes of stored water they give.
std::optional<std::string> planWaterLevels(PlanResult& plan, const Scenario& scenario) {
    mType& state = plan.state;
    plan.waterLevels.build(*state.SoilProfile, static_cast<std::int16_t>(plan.depth),
                           state.BottomLayerThickness);
    for (Stage stage : kStages) {
        const auto& levels = scenario.waterLevels[static_cast<std::size_t>(stage)];
        if (!levels) {
            continue;
        }
        if (auto wrongCount =
                layerCountProblem("waterLevels." + std::string(stageKey(stage)), levels->size(),
                                  plan.waterLevels.LayerCount(), std::nullopt)) {
            return wrongCount;
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
    return std::nullopt;
}

// The sprinkler package: its speed law fitted to its amounts.
std::optional<std::string> fitPackage(PlanResult& plan, const Scenario& scenario) {
    plan.sprinklerPackage = scenario.sprinklerPackage;
    if (!scenario.sprinklerPackage) {
        return std::nullopt;
    }
    const SprinklerFit fit =
        fitSprinklerPackage(scenario.amounts.value_or(defaultSprinklerAmounts()));
    if (!fit.law) {
        return "\"sprinklerPackage.amounts\": " + fit.problem;
    }
    plan.state.SpeedCoefficient = fit.law->SpeedCoefficient;
    plan.state.SpeedExponent = fit.law->SpeedExponent;
    return std::nullopt;
}

// Every date of the schedule must be one that can be written (a four-digit year).
std::optional<std::string> checkDates(const PlanResult& plan, const Scenario& scenario) {
    if (!scenario.plantingDate) {
        return std::nullopt;
    }
    const int lastDay = lastDatedDay(plan.engine.WaterDemand().Count(), plan.schedule.irrigations);
    const std::string latest = latestPlantingDate(lastDay);
    if (*scenario.plantingDate > latest) {
        return "\"plantingDate\" " + *scenario.plantingDate + " puts " + plan.cropName +
               "'s season (to day " + std::to_string(lastDay) + " after planting) past " +
               kLastPlanDate + ", the last date a plan can have: plant on " + latest +
               " at the latest";
    }
    return std::nullopt;
}

// The schedule and its chart, refused when a figure is not a finite number or is implausible.
std::optional<std::string> computeSchedule(PlanResult& plan, const Scenario& scenario,
                                           const TimeStamp& stamp) {
    const ScheduleInputs in = scheduleInputs(plan.state, plan.waterLevels,
                                             scenario.sprinklerPackage, scenario.cycle, stamp);
    try {
        plan.schedule = plan.engine.ComputeSchedule(in);
    } catch (const std::exception& error) {
        return "the schedule cannot be computed for " + cropRowName(plan) + ": " + error.what();
    }
    if (auto problem = checkDates(plan, scenario)) {
        return problem;
    }
    plan.individualChart = plan.engine.chartBars(true);
    plan.cumulativeChart = plan.engine.chartBars(false);
    if (const auto figure = nonFiniteFigure(plan)) {
        // With a package, its amounts may be what takes the running speeds past any number.
        return "the schedule cannot be computed for " + cropRowName(plan) + ": " + *figure +
               " does not come out as a finite number; check that row" +
               (scenario.sprinklerPackage ? " and \"sprinklerPackage.amounts\"" : "");
    }
    if (const auto implausible = plan.engine.implausibleFigure()) {
        return "the schedule is implausible: " + *implausible;
    }
    return std::nullopt;
}

} // namespace

PlanOutcome runPlan(const CropTable& crops, const Scenario& scenario, const TimeStamp& stamp) {
    PlanOutcome outcome;
    outcome.result.emplace();
    PlanResult& plan = *outcome.result;
    plan.state.CropData = crops;
    plan.state.AppTitle = kAppTitle;
    // The wizard's screens in their order; the first that refuses the scenario ends the walk.
    std::optional<std::string> problem = chooseCrop(plan, crops, scenario);
    if (!problem) {
        problem = describeSoil(plan, scenario);
    }
    if (!problem) {
        problem = planWaterLevels(plan, scenario);
    }
    if (!problem) {
        plan.plantingDate = scenario.plantingDate;
        problem = fitPackage(plan, scenario);
    }
    if (!problem) {
        problem = computeSchedule(plan, scenario, stamp);
    }
    if (!problem) {
        plan.field = scenario.field;
        plan.season = scenario.season;
        if (plan.season) {
            problem = resolveSeason(*plan.season, plan, plan.seasonDays);
        }
    }
    return problem ? refused(std::move(*problem)) : outcome;
}

} // namespace tavik
