#include "Calendar.h"
#include "Season.h"

#include <QDate>
#include <QString>
#include <map>

namespace tavik {

std::optional<int> dayAfterPlanting(const std::string& plantingDate, const std::string& date) {
    if (!isIsoDate(plantingDate) || !isIsoDate(date)) {
        return std::nullopt;
    }
    const QDate planted = QDate::fromString(QString::fromStdString(plantingDate), Qt::ISODate);
    const QDate day = QDate::fromString(QString::fromStdString(date), Qt::ISODate);
    return static_cast<int>(planted.daysTo(day));
}

namespace {

struct Refusal {
    std::string message;
};

// The day of an entry's date within days first..last of the season, or the refusal naming
// the entry.
int seasonDay(const std::string& plantingDate, const std::string& date, const std::string& key,
              int first, int last) {
    const auto day = dayAfterPlanting(plantingDate, date);
    if (!day) {
        throw Refusal{key + ": " + date + " is not a date written YYYY-MM-DD"};
    }
    if (*day < first) {
        throw Refusal{key + ": " + date + " is before the season's first day " +
                      dateAfter(plantingDate, first).value_or("") +
                      (first == 0 ? " (the planting date)" : " (the day after planting)")};
    }
    if (*day > last) {
        throw Refusal{key + ": after the season's last day " +
                      dateAfter(plantingDate, last).value_or("")};
    }
    return *day;
}

// Puts an entry's value on its day; a second entry on a day already given is refused.
template <typename Value>
void putOnce(std::map<int, Value>& days, std::map<int, std::size_t>& entries, int day, Value value,
             const std::string& list, std::size_t index, const std::string& date) {
    const auto [at, fresh] = entries.emplace(day, index);
    if (!fresh) {
        throw Refusal{list + "[" + std::to_string(index) + "].date: " + date +
                      " is given twice (also " + list + "[" + std::to_string(at->second) +
                      "]): give one entry per day"};
    }
    days.emplace(day, std::move(value));
}

} // namespace

std::optional<std::string> resolveSeason(const SeasonRecord& record, const PlanResult& plan,
                                         SeasonDays& days) {
    if (!plan.plantingDate) {
        return std::string("\"plantingDate\" is missing: a season record (\"season\") needs the "
                           "planting date (YYYY-MM-DD)");
    }
    const std::string& planted = *plan.plantingDate;
    const int count = plan.engine.WaterDemand().Count();
    const auto layers = static_cast<std::size_t>(plan.waterLevels.LayerCount());
    SeasonDays resolved;
    try {
        const auto amounts = [&](const std::vector<SeasonAmount>& list, const std::string& key,
                                 std::map<int, double>& into) {
            std::map<int, std::size_t> entries;
            for (std::size_t i = 0; i < list.size(); ++i) {
                const std::string entry = key + "[" + std::to_string(i) + "]";
                const int day = seasonDay(planted, list[i].date, entry + ".date", 1, count);
                putOnce(into, entries, day, list[i].mm, key, i, list[i].date);
            }
        };
        amounts(record.rain, "season.rain", resolved.rain);
        amounts(record.irrigations, "season.irrigations", resolved.irrigations);
        std::map<int, std::size_t> entries;
        for (std::size_t i = 0; i < record.readings.size(); ++i) {
            const SeasonReading& reading = record.readings[i];
            const std::string entry = "season.readings[" + std::to_string(i) + "]";
            const int day = seasonDay(planted, reading.date, entry + ".date", 0, count);
            if (reading.waterLevels.size() != layers) {
                throw Refusal{entry + ".waterLevels: must have " + std::to_string(layers) +
                              " values, one per layer of the " + std::to_string(plan.depth) +
                              " mm profile, top first, not " +
                              std::to_string(reading.waterLevels.size())};
            }
            putOnce(resolved.readings, entries, day, reading.waterLevels, "season.readings", i,
                    reading.date);
        }
    } catch (const Refusal& refusal) {
        return refusal.message;
    }
    resolved.effectiveRain = record.effectiveRain.value_or(EffectiveRainRule{});
    days = std::move(resolved);
    return std::nullopt;
}

} // namespace tavik
