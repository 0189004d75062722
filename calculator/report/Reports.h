#pragma once

#include "engine/CTavik.h"

#include <string>

namespace tavikcalc {

// The ranges of the values a report accepts. No field comes near the upper ends (a metre of
// plant available water, ten thousand hectares, a stream of ten thousand m³/h); within them
// every figure of a report is finite and no wider than a few columns.
inline constexpr double kMaxPawc = 1000;        // mm
inline constexpr double kMaxReserve = 1000;     // mm
inline constexpr double kMaxArea = 10000;       // ha
inline constexpr double kMaxStreamFlow = 10000; // m³/h
inline constexpr int kMinCycle = 1;             // days between overhead irrigations
inline constexpr int kMaxCycle = 28;

// The dialog's values that a report reads. Calculate writes `usableWater` back; a PAWC of 0
// leaves it as it was.
struct ReportValues {
    double yieldTarget = 0; // kg/ha
    double pawc = 0;        // mm
    double reserve = 25.0;  // mm of rain storage to hold back
    double usableWater = 0; // mm
    int cycle = 7;          // days between overhead irrigations, at least 1
    bool areaFlag = false;  // the area came with the program's start: overhead volumes
    double area = 0;        // ha
    double streamFlow = 0;  // m³/h
    int periodHours = 12;   // hours of one flood irrigation period, 12 or 24
};

// The report box's text (lines joined by CR LF, no line break at the end, UTF-8), or why no
// report was written; a refused report runs no calculation and changes nothing. Values outside
// the ranges above, or a yield outside 0 to the crop's maximum, are refused: a report never
// holds an infinite or undefined figure, nor a negative amount of water given by the user.
struct ReportOutcome {
    std::string text;
    std::string problem;
    bool ok() const { return problem.empty(); }
};

// The overhead irrigation programme: per cycle, the irrigation amounts and running totals for
// the complete demand and for a profile completely wet, partially wet and completely dry at
// planting, in mm or, with the area flag, in m³. Runs Calculate first. Needs a cycle of at
// least 1 day and, with the area flag, an area above 0.
ReportOutcome OverheadReport(CTavik& calculator, ReportValues& values);

// The flood irrigation programme: the days on which to irrigate from the crop's lag on, for
// the application one period of the stream gives the area. Runs Calculate first. Needs a lag
// of at least 1 day, a stream flow above 0, and a finite application (an area of 0 gives
// none) and number of periods.
ReportOutcome FloodReport(CTavik& calculator, ReportValues& values);

} // namespace tavikcalc
