#pragma once

#include "Json.h"
#include "Plan.h"

#include <string>

namespace tavik {

// Writes the balanced season's object (without its key) where the writer stands.
void writeSeasonObject(JsonWriter& out, const PlanResult& plan);

// The calendar date of a day after planting, with the day's week-day name ("Fri 15 Jan 2027");
// empty without a planting date.
std::string seasonDateText(const PlanResult& plan, int day);

// What a farmer is told to do on a planned irrigation day: "14.2 mm", with the sprinkler
// package " at 38 %, one pass"; "skip (soil wetter than planned)" for nothing.
std::string irrigationAdvice(const IrrigationDay& advice, bool sprinklerPackage);

} // namespace tavik
