#pragma once

#include "engine/Schedule.h"
#include "model/WaterLevels.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

// The season log as the plan file holds it: what really fell and was applied, and what the
// soil held when it was measured, each entry on a date ("YYYY-MM-DD").
struct SeasonAmount {
    std::string date;
    double mm = 0;
};
struct SeasonReading {
    std::string date;
    std::vector<double> waterLevels; // mm/mm per soil layer, top first
};
// How much of a rain counts: `share` % of it when it is at least `minimum` mm, else none.
struct EffectiveRainRule {
    double share = 100; // %, 0..100
    double minimum = 0; // mm, 0..50
};
struct SeasonRecord {
    std::vector<SeasonAmount> rain;
    std::vector<SeasonAmount> irrigations;
    std::vector<SeasonReading> readings;
    std::optional<EffectiveRainRule> effectiveRain; // none: share 100, minimum 0
};

// Limits of the record's entries.
inline constexpr double kMaxRainMm = 500;
inline constexpr double kMaxIrrigationMm = 300;
inline constexpr double kMaxReadingContent = 0.5; // mm/mm
inline constexpr double kMaxRainMinimumMm = 50;

// What the balance reads from the plan: the plan's own figures, unchanged.
struct SeasonPlan {
    int count = 0;                          // the season's last day (days after planting)
    std::array<int, 4> stageDays{};         // 0, peak start, peak end, season end
    std::array<double, 4> stageTotals{};    // planned whole-profile water at each stage, mm
    double fieldCapacity = 0;               // U: the profile's upper limit, mm
    double lowerLimit = 0;                  // L: the profile's lower limit, mm
    ClassThresholds thresholds;             // whole-profile class thresholds, as the dials use them
    std::vector<double> layerThickness;     // mm per soil layer, top first
    std::vector<IrrigationDay> irrigations; // the schedule's irrigation days and amounts
    // The running-speed law of the schedule, for the advised amounts.
    double speedCoefficient = 0;
    double speedExponent = 0;
    bool sprinklerPackage = false;
};

// The record with its dates resolved to days after planting (entries already checked).
struct SeasonDays {
    std::map<int, double> rain;                  // day → mm
    std::map<int, double> irrigations;           // day → mm
    std::map<int, std::vector<double>> readings; // day → mm/mm per layer, top first
    EffectiveRainRule effectiveRain;
};

// One day of the balance (days 1..count).
struct SeasonDay {
    int day = 0;
    std::optional<double> rain; // as recorded; none when none was
    double effectiveRain = 0;
    double irrigation = 0;         // the amount counted
    bool logged = false;           // the irrigation was recorded
    double planned = 0;            // the plan's irrigation of the day
    std::optional<double> advised; // on planned irrigation days from today on
    double plannedWater = 0;       // P
    double soilWater = 0;          // W = P + S
    double deviation = 0;          // S
    double drained = 0;
    double shortfall = 0;
    std::string soilClass;         // of floor(W); empty below the scale
    std::string plannedClass;      // of floor(P)
    std::optional<double> reading; // the measured profile water, mm
};

struct SeasonTotals {
    double rain = 0;
    double effectiveRain = 0;
    double irrigation = 0;
    double planned = 0;
    double drained = 0;
    double shortfall = 0;
    int stressDays = 0;
};

struct SeasonBalance {
    int todayDay = 0;
    double startDeviation = 0;   // S(0): set by a reading on day 0
    std::vector<SeasonDay> days; // days 1..count, in order
    SeasonTotals totals;         // days 1..today
    // The first planned irrigation day from today on, with its advised amount and, by the
    // schedule's rules for that amount, its speed and passes; none after the season.
    std::optional<IrrigationDay> next;
};

// The root-zone balance of the season from the plan's figures and the record, as of
// `todayDay` (days after planting; may lie before planting or after the season).
SeasonBalance balanceSeason(const SeasonPlan& plan, const SeasonDays& record, int todayDay);

} // namespace tavik
