#pragma once

#include "OutputFormat.h"
#include "Scenario.h"
#include "engine/Schedule.h"
#include "engine/SeasonBalance.h"
#include "model/RootZone.h"
#include "model/WaterLevels.h"
#include "state/WizardState.h"

#include <optional>
#include <string>

namespace tavik {

struct TimeStamp {
    std::string date;
    std::string time;
};

// Everything a walk through the wizard produces for one scenario.
struct PlanResult {
    mType state; // crop row, yield, PAWC, storage changes, speed law
    std::string cropName;
    int depth = 0; // soil depth, mm
    std::int16_t layers = 0;
    bool deepRipped = false;
    std::vector<int> siltClay; // % per layer
    RootZoneResult rootZone;
    WaterLevelModel waterLevels;
    ScheduleEngine engine;
    ScheduleRun schedule;
    ScheduleChart individualChart;
    ScheduleChart cumulativeChart;
    bool sprinklerPackage = false;
    std::optional<std::string> plantingDate; // "YYYY-MM-DD"
    std::optional<FieldIdentity> field;
    // The season record, its dates resolved to days, and its balance as of a day (set by
    // balancePlanSeason when asked for).
    std::optional<SeasonRecord> season;
    SeasonDays seasonDays;
    std::optional<SeasonBalance> seasonBalance;
};

struct PlanOutcome {
    std::optional<PlanResult> result;
    std::string problem; // why the scenario is refused (the screen's own message where it has one)
};

// What the schedule reads: the wizard's state, the nominal water level of each stage, whether
// the sprinkler package is used, the cycle and the time stamp of the report.
ScheduleInputs scheduleInputs(const mType& state, const WaterLevelModel& levels,
                              bool sprinklerPackage, int cycle, const TimeStamp& stamp);

// Runs a scenario as a user walks the wizard: crop and yield, the soil's depth layout and
// its PAWC, the planned water levels, the sprinkler fit when the package is present, then
// the schedule and its report. The crop table must be loaded.
PlanOutcome runPlan(const CropTable& crops, const Scenario& scenario, const TimeStamp& stamp);

// Whether a scenario lacks the planting date that an output in this format needs (calendar
// events fall on dates).
inline bool lacksPlantingDate(OutputFormat format, const Scenario& scenario) {
    return needsPlantingDate(format) && !scenario.plantingDate;
}

} // namespace tavik
