#pragma once

#include "Plan.h"

#include <string>

namespace tavik {

// The schedule report exactly as the result box holds it.
std::string planText(const PlanResult& plan);
// The schedule report as the Rich Text Format document the result screen's Save writes.
std::string planRtf(const PlanResult& plan);
// Every figure of the walk, as JSON.
std::string planJson(const PlanResult& plan);
// The irrigation table, one line per irrigation day.
std::string planCsv(const PlanResult& plan);

} // namespace tavik
