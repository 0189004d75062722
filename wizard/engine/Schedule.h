#pragma once

#include "model/cWaterDemand.h"
#include "state/CropTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

// The first irrigation day (days after planting); irrigations follow every cycle days. The
// early season's demand is spread evenly from this day on.
inline constexpr int kFirstIrrigationDay = 10;
// The day whose demand sets the early season's irrigation amounts.
inline constexpr int kReferenceDay = 11;
// With the sprinkler package, an amount from this many mm up to kThreePassAmount goes in two
// passes, a larger one in three.
inline constexpr double kTwoPassAmount = 36.0;   // mm
inline constexpr double kThreePassAmount = 70.0; // mm
// The system's capacity: a running speed above this is beyond it.
inline constexpr double kFullSpeed = 100.0; // %
// Amounts below this (and above 0) show as "~0" in the report.
inline constexpr double kSmallestShownAmount = 5.0; // mm

// What one run of the schedule reads from the wizard's state and screens.
struct ScheduleInputs {
    const CropTable* crops = nullptr;
    std::int16_t CropRow = 0;
    float TargetYield = 0;
    float StorageChangeEarly = 0;
    float StorageChangePeak = 0;
    float StorageChangeLate = 0;
    double SpeedCoefficient = 0; // a of speed (%) = a × amount (mm) ^ b
    double SpeedExponent = 0;    // b
    bool sprinklerPackage = false;
    std::int16_t cycle = 5; // days, 2..10
    // For the report: the nominal water level of each stage (season start, peak start,
    // peak end, season end), the profile's PAWC and the time stamp.
    std::array<std::string, 4> nominalClasses;
    float ProfilePAWC = 0;
    std::string date;
    std::string time;
};

// One irrigation day of the schedule.
struct IrrigationDay {
    std::int16_t day = 0;
    double amount = 0;           // mm
    double cumulative = 0;       // mm applied up to and including this day
    std::optional<double> speed; // running speed for the amount, %; none when the amount is 0
    bool beyondCapacity = false; // speed above kFullSpeed
    // With the sprinkler package: the passes recommended (1, 2 or 3) and the speed of each
    // (the 32-bit split speed for 2 or 3 passes, the running speed for 1).
    std::optional<int> passes;
    std::optional<double> passSpeed;
};

// The speed the pivot runs at on the day: each pass's speed when the package splits the
// amount, else the running speed; none when nothing is applied.
inline std::optional<double> passingSpeed(const IrrigationDay& day) {
    return day.passSpeed ? day.passSpeed : day.speed;
}

// The report text with its title span (made bold, underlined, 12 points).
struct ScheduleReport {
    std::string text;
    int titleStart = 0;
    int titleLength = 0;
};

// The chart's bars: one per possible irrigation day from the first (10, 10 + cycle, …); bars
// past the season stay 0 but keep their labels.
struct ScheduleChart {
    std::vector<int> labels;             // day of each bar
    std::vector<float> values;           // bar heights, mm
    std::vector<std::string> valueTexts; // as the chart's data grid holds them
};

struct ScheduleRun {
    float PeakRate = 0;
    bool BeyondCapacity = false;
    std::vector<IrrigationDay> irrigations;
    ScheduleReport report;
};

// The result screen's schedule: the day-by-day demand it keeps between runs, the cycle and
// the running totals of the last run.
class ScheduleEngine {
public:
    // Rebuilds the demand curve and the irrigation schedule, and writes the report; the run
    // stays with the engine until the next one. Throws std::out_of_range or std::range_error
    // for crop rows that break the demand curve's assumptions (the crop table's checks keep
    // such rows out).
    const ScheduleRun& ComputeSchedule(const ScheduleInputs& in);

    // The chart's bars for the last run: single applications or running totals.
    ScheduleChart chartBars(bool individual) const;

    // The first figure of the last run that is not a finite number ("the daily water
    // demand", "the irrigation of day 40"); none when all are. The crop table's ranges keep
    // rows that would give one out; this is the last guard before a schedule is shown.
    std::optional<std::string> nonFiniteFigure() const;

    // Why the last run is a schedule no crop could use, naming the crop row and the figure;
    // none when it is plausible. The rule (kept in the crop workbook's notes): the season's
    // irrigation may come to at most kPlausibleSeasonFactor times the row's seasonal water
    // use at the target yield plus the water the plan stores in the soil (the planned storage
    // changes that wet the profile). One irrigation can be no larger than the season, so this
    // bounds every single irrigation as well.
    std::optional<std::string> implausibleFigure() const;

    const cWaterDemand& WaterDemand() const { return waterDemand_; }
    std::int16_t Cycle() const { return cycle_; }
    const ScheduleRun& LastRun() const { return run_; }
    const std::vector<double>& CumulativeApplication() const { return cumulativeApplication_; }

private:
    cWaterDemand waterDemand_;
    std::int16_t cycle_ = 0;
    // What the last run's irrigation is weighed against.
    std::string cropRowName_;
    double seasonalWaterUse_ = 0; // mm, at the target yield
    double storedInSoil_ = 0;     // mm, the planned storage changes above 0
    std::vector<double> cumulativeApplication_;
    ScheduleRun run_;
};

// A season's irrigation beyond this many times the crop's seasonal water use (plus what the
// plan stores in the soil) is implausible. The shipped crops' daily demands add up to their
// seasonal water use; irrigating every cycle days covers a stage for at most half as long
// again, so their plans come to at most 0.7 of this bound.
inline constexpr double kPlausibleSeasonFactor = 2.0;

// An irrigation's running speed for its amount (a × amount ^ b; none for 0 mm) and whether it
// is beyond the system's capacity; with the sprinkler package also the passes recommended and
// each pass's speed (without, none). Whatever the day held before is replaced. The schedule
// and the season's advice both go by it.
void setSpeedAndPasses(IrrigationDay& irrigation, double a, double b, bool sprinklerPackage);

// The report's texts for the table columns.
std::string amountText(double amount);
std::string speedText(double amount, double speed);
std::string recommendationText(double amount, const IrrigationDay& day, double speed);

} // namespace tavik
