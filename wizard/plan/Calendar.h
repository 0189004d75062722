#pragma once

#include <optional>
#include <string>

namespace tavik {

// A calendar date read from "YYYY-MM-DD", and the date a number of days later, written the
// same way: a schedule's day after planting on the calendar. None for a text that is no date.
std::optional<std::string> dateAfter(const std::string& plantingDate, int days);

} // namespace tavik
