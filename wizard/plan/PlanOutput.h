#pragma once

#include "Csv.h"
#include "Plan.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// The schedule report exactly as the result box holds it.
std::string planText(const PlanResult& plan);
// The schedule report as the Rich Text Format document the result screen's Save writes.
std::string planRtf(const PlanResult& plan);
// Every figure of the walk, as JSON.
std::string planJson(const PlanResult& plan);
// The calendar date ("YYYY-MM-DD") of an irrigation day, when the plan has a planting date.
std::optional<std::string> irrigationDate(const PlanResult& plan, const IrrigationDay& day);

// The irrigation table, one line per irrigation day (RFC 4180: a heading line, commas, no
// field that needs quotes).
// With a balanced season, each irrigation day's logged, advised and counted amounts and its
// soil water against the plan follow.
std::string planCsv(const PlanResult& plan);
// The irrigation table as planned, whatever the season.
std::string plannedIrrigationCsv(const PlanResult& plan);

// The plan in one of the formats of text that `tavik plan` writes: text, rtf, json, csv or
// ics (whose events are stamped with stampUtc).
std::string planInFormat(const PlanResult& plan, OutputFormat format, const std::string& stampUtc);

} // namespace tavik
