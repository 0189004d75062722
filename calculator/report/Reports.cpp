#include "Reports.h"

#include "ReportBox.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace tavikcalc {

namespace {

// The overhead table's rows: the day, then per column the cycle's amount and the total.
constexpr const char* kDepthRow = " ¦ %3d      ¦ %3.0lf      %3.0lf ¦ %3.0lf        %3.0lf ¦ "
                                  "%3.0lf       %3.0lf ¦ %3.0lf        %3.0lf ¦";
constexpr const char* kVolumeRow = " ¦ %3d      ¦ %5.0lf  %5.0lf ¦ %5.0lf    %5.0lf ¦ %5.0lf   "
                                   "%5.0lf ¦ %5.0lf    %5.0lf ¦";

std::string shortNumber(double value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%g", value);
    return text.data();
}

int lastDay(const CTavik& calculator) {
    return static_cast<int>(calculator.record().seasonLength);
}

// Whether a value lies within [low, high]; not a number lies nowhere.
bool within(double value, double low, double high) {
    return value >= low && value <= high;
}

// Why the values that both reports share cannot make a report, or nothing.
std::string sharedProblem(const CTavik& calculator, const ReportValues& values) {
    if (!calculator.hasCrop()) {
        return "Choose a crop first.";
    }
    const double maxYield = calculator.record().maxYield;
    if (!within(values.yieldTarget, 0, maxYield)) {
        return "The yield target must be from 0 to " + shortNumber(maxYield) + " kg/ha, not " +
               shortNumber(values.yieldTarget) + ".";
    }
    if (!within(values.pawc, 0, kMaxPawc)) {
        return "The profile available water capacity must be from 0 to " + shortNumber(kMaxPawc) +
               " mm, not " + shortNumber(values.pawc) + ".";
    }
    if (!within(values.reserve, 0, kMaxReserve)) {
        return "The rain storage to be reserved must be from 0 to " + shortNumber(kMaxReserve) +
               " mm, not " + shortNumber(values.reserve) + ".";
    }
    return {};
}

// The area of the volumes and of the flood report.
std::string areaProblem(double area) {
    if (area > 0 && area <= kMaxArea) {
        return {};
    }
    return "An area of " + shortNumber(area) + " ha cannot be irrigated: the area must be " +
           "greater than 0 and at most " + shortNumber(kMaxArea) + " ha.";
}

} // namespace

ReportOutcome OverheadReport(CTavik& calculator, ReportValues& values) {
    if (std::string problem = sharedProblem(calculator, values); !problem.empty()) {
        return {{}, std::move(problem)};
    }
    const int cycle = values.cycle;
    if (cycle < 1) {
        return {{}, "The irrigation cycle must be at least 1 day."};
    }
    if (values.areaFlag) {
        if (std::string problem = areaProblem(values.area); !problem.empty()) {
            return {{}, std::move(problem)};
        }
    }
    calculator.Calculate(values.yieldTarget, values.pawc, values.usableWater, values.reserve);

    const bool volumes = values.areaFlag;
    const double area = values.area;
    ReportBox box("Processed by TAVIK.");
    box.append("  Water application programme and minimum effective irrigation demands");
    if (volumes) {
        box.appendf("  Total area to be irrigated %.1lf hectare", area);
        box.append("  (IRR, m³/d) per cycle for");
    } else {
        box.append("  (IRR, mm) per cycle for");
    }
    box.append("");
    box.append("                           Partial crop water demand (CWD) addition");
    box.append("                           during peak comsumption.");
    box.append("                           (End season with dry soil)");
    box.append("  ---------------------------------------------------------------------------");
    box.append(" ¦ Days     ¦ Complete     ¦               Profile When Planted              ¦");
    box.append(" ¦ after    ¦ CWD addition ¦-------------------------------------------------¦");
    box.append(" ¦ planted  ¦ during peak  ¦ Completely Wet ¦ Partialy Wet  ¦ Completely Dry ¦");
    box.append(" ¦---------------------------------------------------------------------------¦");
    box.append(" ¦          ¦ IRR    total ¦ IRR      total ¦ IRR     total ¦ IRR      total ¦");
    if (volumes) {
        box.append(
            " ¦          ¦ m³/d  x10³m³ ¦ m³/d    x10³m³ ¦ m³/d   x10³m³ ¦ m³/d    x10³m³ ¦");
    } else {
        box.append(
            " ¦          ¦           mm ¦             mm ¦            mm ¦             mm ¦");
    }

    // Per column, the cycle's amount and the total applied up to the row's day; the volumes
    // are the amount per day and the total in thousands of cubic metres over the area. The
    // row of day 10 shows the total to day 10 as its amount. Late in the season a crop's
    // demand curve can fall below zero, which applies nothing: a total that falls from the
    // row before is shown as it was, with an amount of 0.
    const CTavik& c = calculator;
    const std::array<const DayCurve*, 4> totals = {&c.cumDemand, &c.cumCapped, &c.cumPartial,
                                                   &c.cumDry};
    const std::array<DayCurve*, 4> cycles = {&calculator.cycleDemand, &calculator.cycleCapped,
                                             &calculator.cyclePartial, &calculator.cycleDry};
    std::array<double, 4> shown{};
    const auto appendRow = [&](int day, int days) {
        const auto d = static_cast<std::size_t>(day);
        std::array<double, 8> row{};
        for (std::size_t k = 0; k < totals.size(); ++k) {
            const double total = std::max(shown[k], (*totals[k])[d]);
            const double amount = total - shown[k];
            shown[k] = total;
            (*cycles[k])[d] = amount;
            row[2 * k] = volumes ? amount * 10 * area / days : amount;
            row[2 * k + 1] = volumes ? total * 10 * area / 1000 : total;
        }
        box.appendRow(volumes ? kVolumeRow : kDepthRow, day, row);
    };
    appendRow(10, 10);

    // One row per cycle: the amount of the cycle that ends on day d and the total up to d.
    // The highest daily demand met on a row day that rises from the day before is the rate
    // the system must be able to apply.
    double peakDemand = 0.0;
    const int season = lastDay(calculator);
    for (std::int64_t day = std::int64_t{cycle} + 10; day <= season; day += cycle) {
        const auto d = static_cast<std::size_t>(day);
        appendRow(static_cast<int>(day), cycle);
        if (c.dailyDemand[d - 1] < c.dailyDemand[d]) {
            peakDemand = c.dailyDemand[d];
        }
    }

    box.append("");
    box.append("Comments");
    box.append("==========");
    box.append("");
    box.appendf("Profile available water capacity during peak consumption = %.1lf mm.",
                values.pawc);
    box.appendf("Reserved rain storage capacity = %.1lf mm.", values.reserve);
    box.append("The rain more than IRR mm per occasion should not be");
    box.append("taken in account if the complete addition option is used.");
    box.appendf("Useable profile available water during peak consumption = %.1lf mm.",
                values.usableWater);
    box.appendf("The irrigation system has to be able to effectively apply %.1lf mm/day for the",
                peakDemand);
    box.appendf("complete CWD addition and %.1lf mm/day partional addition option", c.peakRate);
    return {box.take(), {}};
}

ReportOutcome FloodReport(CTavik& calculator, ReportValues& values) {
    if (std::string problem = sharedProblem(calculator, values); !problem.empty()) {
        return {{}, std::move(problem)};
    }
    const int lag = calculator.record().defaultLag;
    if (lag < 1) {
        return {{}, "The lag must be at least 1 day."};
    }
    const int hours = values.periodHours;
    const double flow = values.streamFlow;
    if (std::string problem = areaProblem(values.area); !problem.empty()) {
        return {{}, std::move(problem)};
    }
    if (!(flow > 0 && flow <= kMaxStreamFlow)) {
        return {{},
                "A stream flow of " + shortNumber(flow) +
                    " m³/h gives no flood irrigation: the stream flow must be greater than 0 "
                    "and at most " +
                    shortNumber(kMaxStreamFlow) + " m³/h."};
    }
    if (hours < 1) {
        return {{}, "The irrigation period must be at least 1 hour."};
    }
    // The water one irrigation period puts on the field, in mm: 70 % of the stream reaches
    // the roots, and 10 m³ on one hectare is 1 mm. The profile holds no more than its PAWC.
    double application = hours * flow * 0.7 / values.area / 10;
    const double excess = application - values.pawc;
    const double seasonWater = (calculator.record().yieldIntercept + values.yieldTarget) /
                               calculator.record().yieldSlope * 10; // m³ per hectare
    const double periods = seasonWater / (hours * flow * 0.7);
    if (!std::isfinite(excess) || !std::isfinite(periods)) {
        return {{},
                "A stream flow of " + shortNumber(flow) + " m³/h on an area of " +
                    shortNumber(values.area) +
                    " ha gives no finite application per irrigation or number of periods: the "
                    "area or the stream flow is too small."};
    }
    if (application > values.pawc) {
        application = values.pawc;
    }
    calculator.Calculate(values.yieldTarget, values.pawc, values.usableWater, values.reserve);

    const CTavik& c = calculator;
    ReportBox box("Processed by TAVIK.");
    box.appendf("Water application program for %s with a harvest yield target of",
                c.record().name.c_str());
    box.appendf(" %.0lf kg/ha with an application efficiency of 70%%", values.yieldTarget);
    box.append("");
    box.append("Days after planting when it should be irrigated.");
    box.append("------------------------------------------------");
    box.append(" ¦ Profile end dry [d] ¦ Profile end wet [d]¦");
    box.appendf(" ¦         %3d         ¦         %3d        ¦", lag, lag);

    // Two soil water deficits build up from the lag day: under the capped curve (the profile
    // is drawn down during the peak and ends the season dry) and under the full demand (the
    // profile stays wet). An irrigation is due when a deficit reaches one application.
    double drawnDown = 0.0;
    double keptWet = 0.0;
    const int season = lastDay(calculator);
    for (int day = lag; day <= season; ++day) {
        const auto d = static_cast<std::size_t>(day);
        calculator.cycleCapped[d] = c.cumCapped[d] - c.cumCapped[d - 1];
        calculator.cycleDemand[d] = c.cumDemand[d] - c.cumDemand[d - 1];
        drawnDown = drawnDown + c.cycleCapped[d];
        keptWet = keptWet + c.cycleDemand[d];
        if (drawnDown >= application && keptWet >= application) {
            box.appendf(" ¦         %3d         ¦         %3d        ¦", day, day);
            drawnDown = 0.0;
            keptWet = 0.0;
        } else if (drawnDown >= application) {
            box.appendf(" ¦   %3d   ¦         ¦", day);
            drawnDown = 0.0;
        } else if (keptWet >= application) {
            box.appendf(" ¦         ¦   %3d   ¦", day);
            keptWet = 0.0;
        }
    }
    box.append("");
    if (excess > 0) {
        // Whole millimetres with the fraction dropped; formatted from the double, since the
        // excess of a small area is beyond any integer type.
        box.appendf("PLEASE NOTE: You are applying %.0lf mm to much water per irrigation",
                    std::trunc(excess));
        box.append("Increase the water stream or the gradient of the beds.");
    }
    box.append("");
    box.appendf(
        "You need %.1lf irrigation periods of %d hours each per hectare for the season or...",
        periods, hours);
    box.appendf("  in total %.2lf cubic meter water per hectare.", seasonWater / 0.7);
    box.append("");
    box.appendf("The profile available water capacity = %.1lf mm", values.pawc);
    box.appendf("The estimated effective water application = %.1lf mm per irrigation", application);
    return {box.take(), {}};
}

} // namespace tavikcalc
