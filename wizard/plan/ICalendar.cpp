#include "ICalendar.h"

#include "Calendar.h"
#include "PlanOutput.h"
#include "state/NumberText.h"
#include "state/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace tavik {

namespace {

// Text values escape backslashes, semicolons, commas and line breaks; other control
// characters have no place in a calendar and go.
std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == ';' || c == ',') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) {
            out += c;
        }
    }
    return out;
}

// A content line folded into lines of at most 75 octets (continuations start with a space),
// never inside a UTF-8 sequence.
std::string folded(const std::string& line) {
    std::string out;
    std::size_t width = 0;
    for (std::size_t i = 0; i < line.size();) {
        const std::size_t length = characterLength(std::string_view(line).substr(i));
        if (width + length > 75) {
            out += "\r\n ";
            width = 1;
        }
        out.append(line, i, length);
        width += length;
        i += length;
    }
    return out + "\r\n";
}

std::string compactDate(const std::string& isoDate) {
    std::string out;
    for (const char c : isoDate) {
        if (c != '-') {
            out += c;
        }
    }
    return out;
}

// The same plan gives the same identifiers, so that importing it again updates its events
// instead of doubling them; another plan (crop, soil, levels, cycle, date) gives others.
std::uint64_t planKey(const PlanResult& plan) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c :
         plannedIrrigationCsv(plan) + plan.cropName + std::to_string(plan.state.TargetYield)) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

// The balanced season's day, when the plan has one.
const SeasonDay* seasonDayOf(const PlanResult& plan, int day) {
    if (!plan.seasonBalance || day < 1 || day > static_cast<int>(plan.seasonBalance->days.size())) {
        return nullptr;
    }
    return &plan.seasonBalance->days[static_cast<std::size_t>(day - 1)];
}

// With a season, a day before today shows what was logged; today and later what was logged
// or, failing that, what is advised (its speed and passes into `shown`).
std::string seasonSummary(const PlanResult& plan, const SeasonDay& season, IrrigationDay& shown) {
    shown.amount = season.logged ? season.irrigation : season.advised.value_or(0.0);
    setSpeedAndPasses(shown, plan.state.SpeedCoefficient, plan.state.SpeedExponent,
                      plan.sprinklerPackage);
    if (season.logged) {
        return "Irrigated " + oneDecimalText(season.irrigation) + " mm";
    }
    if (!season.advised) {
        return "Not irrigated";
    }
    if (*season.advised == 0.0) {
        return "Irrigation: skip (soil wetter than planned)";
    }
    return "Irrigate " + oneDecimalText(*season.advised) + " mm";
}

} // namespace

std::string planICalendar(const PlanResult& plan, const std::string& stampUtc) {
    std::string out;
    const auto line = [&out](const std::string& text) {
        out += folded(text);
    };
    line("BEGIN:VCALENDAR");
    line("VERSION:2.0");
    line("PRODID:-//tavik//Irrigation schedule//EN");
    line("CALSCALE:GREGORIAN");
    line("METHOD:PUBLISH");
    // A named field is named with its crop: several fields may grow the same crop.
    const std::string named =
        plan.field && plan.field->name ? *plan.field->name + ", " + plan.cropName : plan.cropName;
    line("X-WR-CALNAME:" + escaped("Irrigation: " + named));
    std::array<char, 24> key{};
    std::snprintf(key.data(), key.size(), "%016llx",
                  static_cast<unsigned long long>(planKey(plan)));
    for (const IrrigationDay& day : plan.schedule.irrigations) {
        const auto date = irrigationDate(plan, day);
        const auto next =
            plan.plantingDate ? dateAfter(*plan.plantingDate, day.day + 1) : std::nullopt;
        if (!date || !next) {
            continue;
        }
        IrrigationDay shown = day;
        std::string summary = "Irrigate " + oneDecimalText(day.amount) + " mm";
        std::string description = "Day " + std::to_string(day.day) + " after planting. ";
        const SeasonDay* season = seasonDayOf(plan, day.day);
        if (season) {
            summary = seasonSummary(plan, *season, shown);
            description += "Planned " + oneDecimalText(day.amount) + " mm.";
        } else {
            description += "Cumulative " + oneDecimalText(day.cumulative) + " mm.";
        }
        if (plan.sprinklerPackage && (!season || shown.amount != 0.0)) {
            const auto speed = passingSpeed(shown);
            if (speed) {
                description += " Speed " + oneDecimalText(*speed) + " %";
                if (shown.passes) {
                    description += ", " + std::to_string(*shown.passes) +
                                   (*shown.passes == 1 ? " pass" : " passes");
                }
                description += ".";
            }
            if (shown.beyondCapacity) {
                description += " Beyond the pivot's capacity.";
            }
        }
        line("BEGIN:VEVENT");
        // A field's own identity keeps its events the same across re-plans.
        if (plan.field && plan.field->id && !plan.field->id->empty()) {
            line("UID:" + escaped(*plan.field->id) + "-" + compactDate(*date) + "@tavik");
        } else {
            line("UID:" + std::string(key.data()) + "-day" + std::to_string(day.day) + "@tavik");
        }
        line("DTSTAMP:" + stampUtc);
        line("DTSTART;VALUE=DATE:" + compactDate(*date));
        line("DTEND;VALUE=DATE:" + compactDate(*next));
        line("SUMMARY:" + escaped(summary + " (" + named + ")"));
        line("DESCRIPTION:" + escaped(description));
        line("TRANSP:TRANSPARENT");
        line("END:VEVENT");
    }
    line("END:VCALENDAR");
    return out;
}

} // namespace tavik
