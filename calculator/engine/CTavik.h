#pragma once

#include "Notifier.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavikcalc {

// Capacity of every day curve: days 0..199 (the longest season is 180 days).
inline constexpr int MAX_DAYS = 200;
inline constexpr int kCropCount = 10;

using DayCurve = std::array<double, MAX_DAYS>;

// The soil classes of the soil type dialog, in the order of its radio buttons.
enum class SoilClass { Sand = 0, SandyLoam = 1, Clay = 2 };

// PAWC parameters of one soil class (mm; mm per kg/ha; mm per mm of soil depth).
struct SoilTriple {
    double soilBase = 0;
    double soilYieldFactor = 0;
    double soilDepthFactor = 0;
};

// One built-in crop row, fields in their storage order. The spare values travel with the row
// although no computation reads them.
struct CropRecord {
    std::string name;                    // as written into the report heading
    std::array<double, 4> demandCurve{}; // c0..c3 of the relative daily demand cubic
    std::array<double, 4> spareCurve{};  // s1..s4
    double spareP1 = 0;
    double yieldSlope = 0;     // kg/ha per mm of seasonal water use
    double yieldIntercept = 0; // kg/ha: yield = yieldSlope × water use − yieldIntercept
    double curveSum = 0;       // sum of the relative curve over the season
    double spareP2 = 0;
    double guidelineYield = 0; // kg/ha, preset into the yield box
    double seasonLength = 0;   // days (a whole number): the last day of every curve
    std::array<double, 7> spareP3toP9{};
    std::array<SoilTriple, 3> soil{}; // indexed by SoilClass
    double maxYield = 0;              // kg/ha
    double referenceDepth = 0;        // mm: the soil depth at which soilBase applies
    std::int32_t defaultLag = 0;      // days from planting to the first flood irrigation
    std::int32_t rampDays = 0;        // days over which the demand rises linearly from 0
};

// The crop list's entries ("Wheat: Growing season 150 days", …) and the rows behind them;
// list index = row index.
const std::array<std::string_view, kCropCount>& cropListEntries();
const std::array<CropRecord, kCropCount>& cropRows();

// The calculator: one loaded crop row, the results of the last Calculate and its 13 day
// curves (slot d = day d after planting).
class CTavik {
public:
    explicit CTavik(Notifier* notifier = nullptr) : notifier_(notifier) {}

    // Loads row `index` (0..9) completely. Any other index keeps the loaded row, says
    // "Unable to initialize data" through the notifier and returns false.
    bool SetCrop(int index);

    // Recomputes every curve from the loaded row for a yield target (kg/ha), a PAWC (mm) and
    // the rain storage to hold in reserve (mm); writes the usable profile water (mm) into
    // `usableWater`. A PAWC of exactly 0 fills only the demand curves and leaves
    // `usableWater`, peakRate and the schedules as they are. Does nothing before a row is
    // loaded.
    void Calculate(double yieldTarget, double pawc, double& usableWater, double reserve);

    bool hasCrop() const { return loaded_; }
    const CropRecord& record() const { return record_; }
    // The dialog's Lag box writes straight into the loaded row.
    void setDefaultLag(std::int32_t lag) { record_.defaultLag = lag; }

    // Results.
    double peakRate = 0;      // mm/day of the completely dry schedule during the peak
    double rampEndDemand = 0; // mm/day on the last day of the opening ramp
    double seasonDemand = 0;  // mm of water use for the yield target

    DayCurve dailyDemand{}, cumDemand{};   // uncapped demand
    DayCurve dailyCapped{}, cumCapped{};   // capped at peakCap: profile wet at planting
    DayCurve dailyPartial{}, cumPartial{}; // profile partially wet at planting
    DayCurve dailyDry{}, cumDry{};         // profile dry at planting
    DayCurve cycleDemand{}, cycleCapped{}, cyclePartial{}, cycleDry{}; // the report writers'
    DayCurve scratch{}; // the daily demand summed into preSum (days 1..max(rampDays, peakStart))

    // Figures of the cap search, kept for checking and for the benchmarks.
    double peakCap = 0;        // mm/day
    int peakStart = 0;         // first capped day − 1, or 0 when no day reaches the cap
    int peakEnd = 0;           // last capped day
    double preSum = 0;         // mm of demand before the peak
    bool capUnreached = false; // no cap let the profile carry the shortfall; the search
                               // stopped at the first cap above the season's largest demand

private:
    // The demand of day d for the current seasonDemand, as computed by etOfDay.
    double et(int d) const { return et_[static_cast<std::size_t>(d)]; }
    double etOfDay(int d) const;
    void fillCapped();
    double fillSchedule(DayCurve& daily, DayCurve& cumulative, double profileWater);

    Notifier* notifier_ = nullptr;
    bool loaded_ = false;
    CropRecord record_;
    DayCurve et_{}; // ET(d) for days 0..seasonLength
};

} // namespace tavikcalc
