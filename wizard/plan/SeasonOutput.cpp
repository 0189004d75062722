#include "Calendar.h"
#include "Csv.h"
#include "Json.h"
#include "Season.h"
#include "SeasonJson.h"
#include "state/CropTable.h"
#include "state/NumberText.h"
#include "state/Utf8.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <tuple>

namespace tavik {

namespace {

using Layout = JsonWriter::Layout;

std::string isoDateOf(const PlanResult& plan, int day) {
    return plan.plantingDate ? dateAfter(*plan.plantingDate, day).value_or(std::string())
                             : std::string();
}

// The day whose soil a reader is shown as "today": today within the season, else its first
// or last day.
const SeasonDay* todayInSeason(const SeasonBalance& balance) {
    if (balance.days.empty()) {
        return nullptr;
    }
    const int day = std::clamp(balance.todayDay, 1, static_cast<int>(balance.days.size()));
    return &balance.days[static_cast<std::size_t>(day - 1)];
}

std::string passesText(int passes) {
    switch (passes) {
    case 1:
        return "one pass";
    case 2:
        return "two passes";
    case 3:
        return "three passes";
    default:
        return std::to_string(passes) + " passes";
    }
}

// A number for a reader: millimetres to a tenth.
std::string mm(double value) {
    return oneDecimalText(value);
}

std::string wholeNumber(double value) {
    return std::isfinite(value) && std::fabs(value) < 1e15 ? std::to_string(std::llround(value))
                                                           : shortestText(value);
}

std::string signedMm(double value) {
    const std::string text = oneDecimalText(value);
    return value >= 0.05 ? "+" + text : text;
}

// The display width of a text: one column per character.
std::size_t widthOf(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();
         i += characterLength(std::string_view(text).substr(i))) {
        ++width;
    }
    return width;
}

// Lines of cells, every column as wide as its widest cell; figures right-aligned. The last
// cell of a row shorter than the others runs on (a reason in place of the figures).
std::string alignedTable(const std::vector<std::vector<std::string>>& rows,
                         const std::vector<bool>& rightAligned) {
    std::vector<std::size_t> widths(rightAligned.size(), 0);
    for (const auto& row : rows) {
        const std::size_t sized =
            !row.empty() && row.size() < widths.size() ? row.size() - 1 : row.size();
        for (std::size_t c = 0; c < sized && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], widthOf(row[c]));
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            const std::string padding(widths[c] - std::min(widths[c], widthOf(row[c])), ' ');
            if (c > 0) {
                line += "  ";
            }
            const bool runsOn = row.size() < widths.size() && c + 1 == row.size();
            line += rightAligned[c] && !runsOn ? padding + row[c] : row[c] + padding;
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        text += line + '\n';
    }
    return text;
}

std::string headingLine(std::initializer_list<const char*> names) {
    CsvLine line;
    for (const char* name : names) {
        line.add(name);
    }
    return std::move(line).end();
}

std::string fieldName(const PlanResult& plan, const std::string& otherwise) {
    if (plan.field && plan.field->name && !plan.field->name->empty()) {
        return printableText(*plan.field->name);
    }
    return otherwise;
}

} // namespace

std::string nextIrrigationHeading(const PlanResult& plan) {
    const SeasonBalance& balance = *plan.seasonBalance;
    if (!balance.next) {
        return {};
    }
    return "Next irrigation: " + seasonDateText(plan, balance.next->day) + " (day " +
           std::to_string(balance.next->day) + ")";
}

std::string nextIrrigationText(const PlanResult& plan) {
    const SeasonBalance& balance = *plan.seasonBalance;
    if (!balance.next) {
        return "Next irrigation: none; the season's irrigations are over";
    }
    return nextIrrigationHeading(plan) + ": " +
           irrigationAdvice(*balance.next, plan.sprinklerPackage);
}

// ---- The balance of a walked plan ------------------------------------------------------

SeasonPlan seasonPlanOf(const PlanResult& plan) {
    SeasonPlan season;
    season.count = plan.engine.WaterDemand().Count();
    const CropTable& crops = plan.state.CropData;
    const std::int16_t row = plan.state.CropRow;
    const auto stageDay = [&](int column) {
        const double day = crops.number(row, column);
        return std::isfinite(day) ? static_cast<int>(std::clamp(std::round(day), -1e6, 1e6)) : 0;
    };
    season.stageDays = {0, stageDay(CropColumn::PeakStartDay), stageDay(CropColumn::PeakEndDay),
                        stageDay(CropColumn::SeasonEndDay)};
    for (const Stage stage : kStages) {
        season.stageTotals[static_cast<std::size_t>(stage)] =
            static_cast<double>(plan.waterLevels.stageTotal(stage));
    }
    season.fieldCapacity = static_cast<double>(plan.waterLevels.ProfileUpperMm());
    season.lowerLimit = static_cast<double>(plan.waterLevels.ProfileLowerMm());
    season.thresholds = ClassThresholds::between(plan.waterLevels.ProfileLowerMm(),
                                                 plan.waterLevels.ProfileUpperMm());
    for (int r = 0; r < plan.waterLevels.LayerCount(); ++r) {
        season.layerThickness.push_back(static_cast<double>(plan.waterLevels.thickness(r)));
    }
    season.irrigations = plan.schedule.irrigations;
    season.speedCoefficient = plan.state.SpeedCoefficient;
    season.speedExponent = plan.state.SpeedExponent;
    season.sprinklerPackage = plan.sprinklerPackage;
    return season;
}

void balancePlanSeason(PlanResult& plan, const std::string& today) {
    plan.seasonBalance.reset();
    if (!plan.season || !plan.plantingDate) {
        return;
    }
    const auto todayDay = dayAfterPlanting(*plan.plantingDate, today);
    if (!todayDay) {
        return;
    }
    plan.seasonBalance = balanceSeason(seasonPlanOf(plan), plan.seasonDays, *todayDay);
}

// ---- Outputs ------------------------------------------------------------------------------

std::string seasonDateText(const PlanResult& plan, int day) {
    const QDate date = QDate::fromString(QString::fromStdString(isoDateOf(plan, day)), Qt::ISODate);
    return date.isValid()
               ? QLocale::c().toString(date, QStringLiteral("ddd d MMM yyyy")).toStdString()
               : std::string();
}

std::string irrigationAdvice(const IrrigationDay& advice, bool sprinklerPackage) {
    if (advice.amount == 0.0) {
        return "skip (soil wetter than planned)";
    }
    std::string text = mm(advice.amount) + " mm";
    if (!sprinklerPackage || !advice.speed) {
        return text;
    }
    if (advice.passes && *advice.passes > 1 && advice.passSpeed) {
        // Each pass runs at the speed for its share of the amount.
        text += " at " + wholeNumber(*advice.passSpeed) + " %, " + passesText(*advice.passes);
    } else {
        text += " at " + wholeNumber(*advice.speed) + " %, one pass";
    }
    if (advice.beyondCapacity) {
        text += " (beyond the system's capacity)";
    }
    return text;
}

void writeSeasonObject(JsonWriter& out, const PlanResult& plan) {
    const SeasonBalance& balance = *plan.seasonBalance;
    const EffectiveRainRule& rule = plan.seasonDays.effectiveRain;
    out.beginObject();
    out.member("today", isoDateOf(plan, balance.todayDay));
    out.member("todayDay", balance.todayDay);
    out.key("effectiveRain");
    out.beginObject();
    out.member("share", rule.share);
    out.member("minimum", rule.minimum);
    out.endObject();
    out.member("fieldCapacity", plan.waterLevels.ProfileUpperMm());
    out.member("lowerLimit", plan.waterLevels.ProfileLowerMm());
    out.key("days");
    out.beginArray(Layout::Nested);
    for (const SeasonDay& day : balance.days) {
        out.beginObject();
        out.member("day", day.day);
        out.member("date", isoDateOf(plan, day.day));
        optionalMember(out, "rain", day.rain);
        out.member("effectiveRain", day.effectiveRain);
        out.member("irrigation", day.irrigation);
        out.member("logged", day.logged);
        out.member("planned", day.planned);
        optionalMember(out, "advised", day.advised);
        out.member("plannedWater", day.plannedWater);
        out.member("soilWater", day.soilWater);
        out.member("deviation", day.deviation);
        out.member("drained", day.drained);
        out.member("shortfall", day.shortfall);
        out.member("class", day.soilClass);
        out.member("plannedClass", day.plannedClass);
        optionalMember(out, "reading", day.reading);
        out.endObject();
    }
    out.endArray();
    const SeasonTotals& totals = balance.totals;
    out.key("totals");
    out.beginObject();
    out.member("rain", totals.rain);
    out.member("effectiveRain", totals.effectiveRain);
    out.member("irrigation", totals.irrigation);
    out.member("planned", totals.planned);
    out.member("drained", totals.drained);
    out.member("shortfall", totals.shortfall);
    out.member("stressDays", totals.stressDays);
    out.endObject();
    out.key("next");
    if (balance.next) {
        const IrrigationDay& next = *balance.next;
        out.beginObject();
        out.member("day", static_cast<int>(next.day));
        out.member("date", isoDateOf(plan, next.day));
        out.member("amount", next.amount);
        optionalMember(out, "speed", next.speed);
        optionalMember(out, "passes", next.passes);
        optionalMember(out, "passSpeed", next.passSpeed);
        out.endObject();
    } else {
        out.null();
    }
    out.endObject();
}

std::string seasonJsonObject(const PlanResult& plan) {
    std::string json;
    if (!plan.seasonBalance) {
        return json;
    }
    JsonWriter out(json);
    writeSeasonObject(out, plan);
    return json;
}

std::string seasonJson(const PlanResult& plan) {
    std::string json;
    json.reserve(64 * 1024);
    JsonWriter out(json);
    out.beginObject();
    out.key("field");
    if (plan.field) {
        out.beginObject();
        optionalMember(out, "name", plan.field->name);
        optionalMember(out, "area", plan.field->area);
        optionalMember(out, "id", plan.field->id);
        out.endObject();
    } else {
        out.null();
    }
    out.key("crop");
    out.beginObject();
    out.member("row", static_cast<int>(plan.state.CropRow));
    out.member("name", plan.cropName);
    out.endObject();
    optionalMember(out, "plantingDate", plan.plantingDate);
    out.key("season");
    if (plan.seasonBalance) {
        writeSeasonObject(out, plan);
    } else {
        out.null();
    }
    out.endObject();
    out.end();
    return json;
}

std::string seasonText(const PlanResult& plan) {
    if (!plan.seasonBalance) {
        return {};
    }
    const SeasonBalance& balance = *plan.seasonBalance;
    const EffectiveRainRule& rule = plan.seasonDays.effectiveRain;
    const std::string field = fieldName(plan, std::string());
    std::string text = "Season of " +
                       (field.empty() ? plan.cropName : field + " (" + plan.cropName + ")") +
                       ", planted " + plan.plantingDate.value_or(std::string()) + "\n";
    text += "Today: " + seasonDateText(plan, balance.todayDay) + " (day " +
            std::to_string(balance.todayDay) + ")\n";
    text += "Field capacity " + mm(static_cast<double>(plan.waterLevels.ProfileUpperMm())) +
            " mm, lower limit " + mm(static_cast<double>(plan.waterLevels.ProfileLowerMm())) +
            " mm; rain counts " + shortestText(rule.share) + " % from " +
            shortestText(rule.minimum) + " mm\n";
    text += nextIrrigationText(plan) + '\n';
    text += "\n";

    std::vector<std::vector<std::string>> rows;
    rows.push_back({"Date", "Day", "Rain mm", "Irrigation mm", "Planned mm", "Soil water mm",
                    "Plan mm", "Deviation", "Class", "Planned class", ""});
    for (const SeasonDay& day : balance.days) {
        std::string irrigation;
        std::string how;
        if (day.logged) {
            irrigation = mm(day.irrigation);
            how = "logged";
        } else if (day.advised) {
            irrigation = *day.advised == 0.0 ? "-" : mm(*day.advised);
            how = *day.advised == 0.0 ? "skip (soil wetter than planned)" : "advised";
        } else if (day.planned > 0.0) {
            irrigation = "0.0";
            how = "not irrigated";
        }
        std::string soilClass = day.soilClass;
        if (day.reading) {
            soilClass += " (reading)";
        }
        rows.push_back({seasonDateText(plan, day.day), std::to_string(day.day),
                        day.rain ? mm(*day.rain) : std::string(), irrigation,
                        day.planned > 0.0 ? mm(day.planned) : std::string(), mm(day.soilWater),
                        mm(day.plannedWater), signedMm(day.deviation), soilClass, day.plannedClass,
                        how});
    }
    text +=
        alignedTable(rows, {false, true, true, true, true, true, true, true, false, false, false});

    const SeasonTotals& totals = balance.totals;
    text += "\nTo date: rain " + mm(totals.rain) + " mm (" + mm(totals.effectiveRain) +
            " mm effective), irrigation " + mm(totals.irrigation) + " mm against " +
            mm(totals.planned) + " mm planned, drained " + mm(totals.drained) + " mm, shortfall " +
            mm(totals.shortfall) + " mm on " + std::to_string(totals.stressDays) +
            (totals.stressDays == 1 ? " day" : " days") + "\n";
    return text;
}

std::string seasonCsv(const PlanResult& plan) {
    std::string csv = headingLine({"date", "day", "rain_mm", "effective_rain_mm", "irrigation_mm",
                                   "logged", "planned_mm", "advised_mm", "planned_water_mm",
                                   "soil_water_mm", "deviation_mm", "drained_mm", "shortfall_mm",
                                   "class", "planned_class", "reading_mm"});
    if (!plan.seasonBalance) {
        return csv;
    }
    const auto number = [](const std::optional<double>& value) {
        return value ? shortestText(*value) : std::string();
    };
    for (const SeasonDay& day : plan.seasonBalance->days) {
        CsvLine line;
        line.add(isoDateOf(plan, day.day))
            .add(std::to_string(day.day))
            .add(number(day.rain))
            .add(shortestText(day.effectiveRain))
            .add(shortestText(day.irrigation))
            .add(day.logged ? "true" : "false")
            .add(shortestText(day.planned))
            .add(number(day.advised))
            .add(shortestText(day.plannedWater))
            .add(shortestText(day.soilWater))
            .add(shortestText(day.deviation))
            .add(shortestText(day.drained))
            .add(shortestText(day.shortfall))
            .add(csvTextCell(day.soilClass))
            .add(csvTextCell(day.plannedClass))
            .add(number(day.reading));
        csv += std::move(line).end();
    }
    return csv;
}

// ---- The adviser's list ------------------------------------------------------------------

namespace {

// Fields with a next irrigation by its date (then by name), then those without one, then
// those that cannot be read.
void sortForAdviser(std::vector<AdviserLine>& lines) {
    using Key = std::tuple<int, std::string, std::string>;
    const auto key = [](const AdviserLine& line) -> Key {
        if (!line.plan || !line.plan->seasonBalance) {
            return {2, std::string(), line.file};
        }
        const PlanResult& plan = *line.plan;
        const auto& next = plan.seasonBalance->next;
        if (!next) {
            return {1, std::string(), fieldName(plan, line.file)};
        }
        return {0, isoDateOf(plan, next->day), fieldName(plan, line.file)};
    };
    // Each line's key once: the list may hold thousands of fields.
    std::vector<std::pair<Key, std::size_t>> order;
    order.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        order.emplace_back(key(lines[i]), i);
    }
    std::sort(order.begin(), order.end());
    std::vector<AdviserLine> sorted;
    sorted.reserve(lines.size());
    for (const auto& entry : order) {
        sorted.push_back(std::move(lines[entry.second]));
    }
    lines = std::move(sorted);
}

struct AdviserCells {
    std::string field, crop, next, amount, speed, soilClass, deviation, rain, irrigation, problem;
};

AdviserCells adviserCells(const AdviserLine& line, bool forCsv) {
    AdviserCells cells;
    if (!line.plan || !line.plan->seasonBalance) {
        cells.field = line.file;
        cells.problem = line.problem.empty() ? "the plan has no season" : line.problem;
        return cells;
    }
    const PlanResult& plan = *line.plan;
    const SeasonBalance& balance = *plan.seasonBalance;
    cells.field = fieldName(plan, line.file);
    cells.crop = plan.cropName;
    const auto number = [forCsv](double value) {
        return forCsv ? shortestText(value) : oneDecimalText(value);
    };
    if (balance.next) {
        const IrrigationDay& next = *balance.next;
        cells.next = forCsv ? isoDateOf(plan, next.day) : seasonDateText(plan, next.day);
        cells.amount = number(next.amount);
        if (next.amount == 0.0) {
            cells.speed = "skip (soil wetter than planned)";
        } else if (plan.sprinklerPackage && next.speed) {
            cells.speed = wholeNumber(passingSpeed(next).value_or(*next.speed)) + " %, " +
                          passesText(next.passes.value_or(1));
        }
    } else {
        cells.next = forCsv ? "" : "none";
    }
    if (const SeasonDay* today = todayInSeason(balance)) {
        cells.soilClass = today->soilClass;
        cells.deviation = forCsv ? shortestText(today->deviation) : signedMm(today->deviation);
    }
    const SeasonTotals& totals = balance.totals;
    if (forCsv) {
        cells.rain = shortestText(totals.rain);
        cells.irrigation = shortestText(totals.irrigation);
    } else {
        cells.rain = mm(totals.rain);
        cells.irrigation = mm(totals.irrigation) + " / " + mm(totals.planned);
    }
    return cells;
}

} // namespace

std::string adviserListText(std::vector<AdviserLine> lines) {
    sortForAdviser(lines);
    std::vector<std::vector<std::string>> rows;
    rows.push_back({"Field", "Crop", "Next irrigation", "mm", "Speed and passes", "Soil today",
                    "Deviation mm", "Rain mm", "Irrigated / planned mm"});
    std::string problems;
    for (const AdviserLine& line : lines) {
        const AdviserCells cells = adviserCells(line, false);
        const std::string field = printableText(cells.field, 40);
        if (!cells.problem.empty()) {
            rows.push_back({field, "cannot be read: " + printableText(cells.problem, 200)});
            continue;
        }
        rows.push_back({field, cells.crop, cells.next, cells.amount, cells.speed, cells.soilClass,
                        cells.deviation, cells.rain, cells.irrigation});
    }
    return alignedTable(rows, {false, false, false, true, false, false, true, true, true});
}

std::string adviserListCsv(std::vector<AdviserLine> lines) {
    sortForAdviser(lines);
    std::string csv =
        headingLine({"field", "crop", "next_date", "next_amount_mm", "next_speed_percent",
                     "next_passes", "soil_class_today", "deviation_today_mm", "rain_to_date_mm",
                     "irrigation_to_date_mm", "planned_to_date_mm", "problem"});
    for (const AdviserLine& line : lines) {
        CsvLine row;
        const AdviserCells cells = adviserCells(line, true);
        row.add(csvTextCell(printableText(cells.field)));
        if (!cells.problem.empty()) {
            for (int i = 0; i < 10; ++i) {
                row.add({});
            }
            row.add(csvTextCell(printableText(cells.problem)));
            csv += std::move(row).end();
            continue;
        }
        const PlanResult& plan = *line.plan;
        const auto& next = plan.seasonBalance->next;
        std::string speed;
        std::string passes;
        if (next && next->amount != 0.0 && plan.sprinklerPackage) {
            if (const auto s = passingSpeed(*next)) {
                speed = shortestText(*s);
            }
            if (next->passes) {
                passes = std::to_string(*next->passes);
            }
        }
        row.add(csvTextCell(cells.crop))
            .add(cells.next)
            .add(cells.amount)
            .add(speed)
            .add(passes)
            .add(csvTextCell(cells.soilClass))
            .add(cells.deviation)
            .add(cells.rain)
            .add(cells.irrigation)
            .add(shortestText(plan.seasonBalance->totals.planned))
            .add({});
        csv += std::move(row).end();
    }
    return csv;
}

} // namespace tavik
