#pragma once

#include "engine/Schedule.h"

#include <optional>
#include <string>
#include <vector>

namespace tavik {

// A calendar date read from "YYYY-MM-DD", and the date a number of days later, written the
// same way: a schedule's day after planting on the calendar. None for a text that is no date.
std::optional<std::string> dateAfter(const std::string& plantingDate, int days);

// Dates are written with four-digit years: the calendar of a plan ends on this day.
inline constexpr const char* kLastPlanDate = "9999-12-31";

// The last day after planting that a schedule puts on the calendar: the season's last day,
// or the day on which the last irrigation's calendar event ends (the day after it).
int lastDatedDay(int seasonDays, const std::vector<IrrigationDay>& irrigations);

// The latest planting date ("YYYY-MM-DD") whose schedule, dated up to `lastDay` days after
// planting, stays within kLastPlanDate.
std::string latestPlantingDate(int lastDay);

} // namespace tavik
