#pragma once

#include "Plan.h"

#include <optional>
#include <string>
#include <vector>

namespace tavik {

// What a schedule comes to over the season, the figures by which one irrigation cycle is
// chosen over another.
struct CycleFigures {
    int cycle = 0;                 // days
    int irrigations = 0;           // irrigation days in the season
    double seasonTotal = 0;        // mm applied over the season
    double peakRate = 0;           // the report's peak application rate, mm
    double largestApplication = 0; // mm on one day
    int beyondCapacityDays = 0;    // days whose running speed is above 100 %
    std::optional<int> splitDays;  // with the sprinkler package: days of 2 or 3 passes
    int lastIrrigationDay = 0;     // day after planting; 0 without irrigations
    std::string problem;           // why this cycle has no schedule (then no figures)
};

// The figures of a schedule run at a cycle, with or without the sprinkler package.
CycleFigures cycleFigures(const ScheduleRun& run, int cycle, bool sprinklerPackage);

inline constexpr int kFirstCycle = 2;
inline constexpr int kLastCycle = 10;

struct CycleComparison {
    std::string cropName;
    bool sprinklerPackage = false;
    int chosenCycle = 0;            // the scenario's own
    std::vector<CycleFigures> rows; // cycles 2..10
};

// The scenario planned at every cycle from 2 to 10 days, as `tavik plan` and the result
// screen plan it. Refused (none, with the reason) when the scenario is refused at its own
// cycle; a cycle that alone cannot be planned keeps its row with the reason.
struct ComparisonOutcome {
    std::optional<CycleComparison> comparison;
    std::string problem;
};
ComparisonOutcome compareCycles(const CropTable& crops, const Scenario& scenario,
                                const TimeStamp& stamp);

// The comparison as a table for a terminal, as CSV (a heading line; RFC 4180 quoting) and as
// JSON.
std::string comparisonText(const CycleComparison& comparison);
std::string comparisonCsv(const CycleComparison& comparison);
std::string comparisonJson(const CycleComparison& comparison);

} // namespace tavik
