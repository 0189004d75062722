#pragma once

#include "Plan.h"
#include "engine/SeasonBalance.h"

#include <optional>
#include <string>
#include <vector>

namespace tavik {

// ---- The record against the plan (reading side) -----------------------------------------

// The days after planting of a date ("YYYY-MM-DD") in a plan planted on `plantingDate`
// (negative before planting); none for a text that is no date.
std::optional<int> dayAfterPlanting(const std::string& plantingDate, const std::string& date);

// Resolves the record's dates against a walked plan (its planting date, season length and
// layer count) into `days`; the refusal names the key and the entry
// ("season.rain[3].date: after the season's last day 2027-04-12").
std::optional<std::string> resolveSeason(const SeasonRecord& record, const PlanResult& plan,
                                         SeasonDays& days);

// ---- The balance of a walked plan ---------------------------------------------------------

// The balance's inputs: the plan's own figures.
SeasonPlan seasonPlanOf(const PlanResult& plan);

// Balances the plan's season as of `today` ("YYYY-MM-DD") into plan.seasonBalance; nothing
// when the plan has no season record.
void balancePlanSeason(PlanResult& plan, const std::string& today);

// ---- Outputs --------------------------------------------------------------------------

// The `season` object of the plan's JSON (without its key), for a balanced plan.
std::string seasonJsonObject(const PlanResult& plan);

// The season to date and the re-planned rest as a farmer reads it, one line per day, with
// the next irrigation on its own line ("Next irrigation: Fri 15 Jan 2027 (day 41): 14.2 mm
// at 38 %, one pass").
std::string seasonText(const PlanResult& plan);

// The next irrigation of a balanced plan as a farmer is told it, without a line's end: its
// heading ("Next irrigation: Fri 15 Jan 2027 (day 41)", empty when there is none) and the
// advice ("14.2 mm at 38 %, two passes"), or that the season's irrigations are over.
std::string nextIrrigationHeading(const PlanResult& plan);
std::string nextIrrigationText(const PlanResult& plan);
std::string seasonCsv(const PlanResult& plan);
std::string seasonJson(const PlanResult& plan); // the whole `tavik season --format json` output

// One field of the adviser's list: a balanced plan, or the reason it cannot be listed.
struct AdviserLine {
    std::string file;               // the plan file, as shown
    std::optional<PlanResult> plan; // balanced
    std::string problem;            // when there is no plan
};
// The adviser's list, one line per field sorted by next irrigation date (fields without one,
// then fields that cannot be read, last).
std::string adviserListText(std::vector<AdviserLine> lines);
std::string adviserListCsv(std::vector<AdviserLine> lines);

} // namespace tavik
