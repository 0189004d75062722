#include "Compare.h"

#include "Json.h"
#include "PlanOutput.h"
#include "state/NumberText.h"

#include <algorithm>

namespace tavik {

namespace {

CycleFigures figuresOf(const PlanResult& plan) {
    return cycleFigures(plan.schedule, plan.engine.Cycle(), plan.sprinklerPackage);
}

} // namespace

CycleFigures cycleFigures(const ScheduleRun& run, int cycle, bool sprinklerPackage) {
    CycleFigures figures;
    figures.cycle = cycle;
    figures.peakRate = static_cast<double>(run.PeakRate);
    if (sprinklerPackage) {
        figures.splitDays = 0;
    }
    for (const IrrigationDay& day : run.irrigations) {
        ++figures.irrigations;
        figures.seasonTotal += day.amount;
        figures.largestApplication = std::max(figures.largestApplication, day.amount);
        figures.beyondCapacityDays += day.beyondCapacity ? 1 : 0;
        if (figures.splitDays && day.passes && *day.passes > 1) {
            ++*figures.splitDays;
        }
        figures.lastIrrigationDay = day.day;
    }
    return figures;
}

ComparisonOutcome compareCycles(const CropTable& crops, const Scenario& scenario,
                                const TimeStamp& stamp) {
    ComparisonOutcome outcome;
    const PlanOutcome own = runPlan(crops, scenario, stamp);
    if (!own.result) {
        outcome.problem = own.problem;
        return outcome;
    }
    CycleComparison comparison;
    comparison.cropName = own.result->cropName;
    comparison.sprinklerPackage = own.result->sprinklerPackage;
    comparison.chosenCycle = scenario.cycle;
    for (int cycle = kFirstCycle; cycle <= kLastCycle; ++cycle) {
        if (cycle == scenario.cycle) {
            comparison.rows.push_back(figuresOf(*own.result));
            continue;
        }
        Scenario atCycle = scenario;
        atCycle.cycle = cycle;
        const PlanOutcome planned = runPlan(crops, atCycle, stamp);
        if (planned.result) {
            comparison.rows.push_back(figuresOf(*planned.result));
        } else {
            CycleFigures refused;
            refused.cycle = cycle;
            refused.problem = planned.problem;
            comparison.rows.push_back(std::move(refused));
        }
    }
    outcome.comparison = std::move(comparison);
    return outcome;
}

namespace {

std::string padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

} // namespace

std::string comparisonText(const CycleComparison& comparison) {
    std::string out = "Irrigation cycles compared: " + comparison.cropName + "\n\n";
    const std::vector<std::string> headings{"Cycle",      "Irrigations",  "Season (mm)",
                                            "Peak (mm)",  "Largest (mm)", "Beyond capacity",
                                            "Split days", "Last day"};
    std::vector<std::size_t> widths;
    for (const std::string& heading : headings) {
        widths.push_back(heading.size() + 2);
        out += padded(heading, widths.back());
    }
    out += "\n";
    for (const CycleFigures& row : comparison.rows) {
        const std::string mark = row.cycle == comparison.chosenCycle ? " *" : "  ";
        out += padded(std::to_string(row.cycle) + mark, widths[0]);
        if (!row.problem.empty()) {
            out += "  not planned: " + printableText(row.problem) + "\n";
            continue;
        }
        const std::string cells[] = {std::to_string(row.irrigations),
                                     oneDecimalText(row.seasonTotal),
                                     oneDecimalText(row.peakRate),
                                     oneDecimalText(row.largestApplication),
                                     std::to_string(row.beyondCapacityDays),
                                     row.splitDays ? std::to_string(*row.splitDays) : "-",
                                     std::to_string(row.lastIrrigationDay)};
        for (std::size_t i = 0; i < std::size(cells); ++i) {
            out += padded(cells[i], widths[i + 1]);
        }
        out += "\n";
    }
    out += "\n* the scenario's own cycle\n";
    return out;
}

std::string comparisonCsv(const CycleComparison& comparison) {
    std::string csv = "cycle,irrigations,season_total_mm,peak_rate_mm,largest_application_mm,"
                      "beyond_capacity_days,split_days,last_irrigation_day,problem\n";
    for (const CycleFigures& row : comparison.rows) {
        csv += std::to_string(row.cycle) + ",";
        if (row.problem.empty()) {
            csv += std::to_string(row.irrigations) + "," + shortestText(row.seasonTotal) + "," +
                   shortestText(row.peakRate) + "," + shortestText(row.largestApplication) + "," +
                   std::to_string(row.beyondCapacityDays) + "," +
                   (row.splitDays ? std::to_string(*row.splitDays) : std::string()) + "," +
                   std::to_string(row.lastIrrigationDay) + ",";
        } else {
            csv += ",,,,,,," + csvField(row.problem);
        }
        csv += "\n";
    }
    return csv;
}

std::string comparisonJson(const CycleComparison& comparison) {
    Json::Array rows;
    for (const CycleFigures& row : comparison.rows) {
        if (!row.problem.empty()) {
            rows.emplace_back(Json::Object{{"cycle", row.cycle}, {"problem", row.problem}});
            continue;
        }
        rows.emplace_back(Json::Object{
            {"cycle", row.cycle},
            {"irrigations", row.irrigations},
            {"seasonTotal", row.seasonTotal},
            {"peakRate", row.peakRate},
            {"largestApplication", row.largestApplication},
            {"beyondCapacityDays", row.beyondCapacityDays},
            {"splitDays", row.splitDays ? Json(*row.splitDays) : Json(nullptr)},
            {"lastIrrigationDay", row.lastIrrigationDay},
        });
    }
    return Json(Json::Object{{"crop", comparison.cropName},
                             {"sprinklerPackage", comparison.sprinklerPackage},
                             {"cycle", comparison.chosenCycle},
                             {"cycles", Json(std::move(rows))}})
        .dump();
}

} // namespace tavik
