#pragma once

#include "Plan.h"

#include <optional>
#include <string>

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
std::string planCsv(const PlanResult& plan);

// A CSV field, quoted where it holds a comma, a quote or a line break (RFC 4180).
std::string csvField(const std::string& text);

} // namespace tavik
