#pragma once

#include "Plan.h"

#include <string>

namespace tavik {

// The schedule as an iCalendar file (RFC 5545): one all-day event per irrigation day,
// "Irrigate <amount> mm (<crop>)", its description naming the day after planting, the
// cumulative amount and, with the sprinkler package, the speed and passes. Lines end in CR LF
// and are folded at 75 octets. stampUtc is the moment the file is made ("YYYYMMDDTHHMMSSZ").
// The plan must have a planting date; without one the calendar holds no event.
std::string planICalendar(const PlanResult& plan, const std::string& stampUtc);

} // namespace tavik
