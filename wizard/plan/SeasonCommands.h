#pragma once

#include "Scenario.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

// What a script records into a plan's season in one call.
struct SeasonEntries {
    std::vector<SeasonAmount> rain;
    std::vector<SeasonAmount> irrigations;
    std::vector<SeasonReading> readings;
};

// "2027-01-05=12.5": a day's amount in mm (a decimal point), from 0 to `most`; the problem,
// naming the option, when it is not one.
std::optional<std::string> readAmountEntry(const QString& value, const std::string& option,
                                           double most, SeasonAmount& entry);

// "2027-01-08=0.21,0.2,0.19": a soil reading, mm/mm per layer, top first.
std::optional<std::string> readReadingEntry(const QString& value, SeasonReading& entry);

// Puts the entries into the record, each list kept in date order; an entry on a date that
// already has one replaces it. One line per replaced entry says what it replaced
// ("rain on 2027-01-05: 12.5 mm replaces 10 mm").
std::vector<std::string> recordEntries(SeasonRecord& record, const SeasonEntries& entries);

// Gives a plan with a field or a season record the identity its calendar events are known
// by, once: one it has is never changed.
void giveFieldIdentity(Scenario& scenario);

} // namespace tavik
