#include "SeasonCommands.h"

#include "state/NumberText.h"

#include <QStringList>
#include <QUuid>
#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

// A number written with digits and at most one decimal point.
std::optional<double> plainNumber(const QString& text) {
    const bool form = !text.isEmpty() && text.count(QLatin1Char('.')) <= 1 &&
                      std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }) &&
                      std::all_of(text.begin(), text.end(),
                                  [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'.'; });
    bool read = false;
    const double number = text.toDouble(&read);
    if (!form || !read || !std::isfinite(number)) {
        return std::nullopt;
    }
    return number;
}

std::string shown(const QString& value) {
    return printableText(value.toStdString(), 60);
}

// "DATE=REST": the date (YYYY-MM-DD) and what follows the sign.
std::optional<std::string> splitEntry(const QString& value, const std::string& option,
                                      const std::string& form, std::string& date, QString& rest) {
    const qsizetype sign = value.indexOf(QLatin1Char('='));
    const std::string head = sign < 0 ? std::string() : value.left(sign).toStdString();
    if (sign < 0 || !isIsoDate(head)) {
        return option + " must be " + form + ", the date written YYYY-MM-DD, not \"" +
               shown(value) + "\"";
    }
    date = head;
    rest = value.mid(sign + 1);
    return std::nullopt;
}

} // namespace

std::optional<std::string> readAmountEntry(const QString& value, const std::string& option,
                                           double most, SeasonAmount& entry) {
    QString mm;
    if (auto problem = splitEntry(value, option, "DATE=MM", entry.date, mm)) {
        return problem;
    }
    const auto amount = plainNumber(mm);
    if (!amount || *amount > most) {
        return option + " " + shown(value) + ": the amount must be from 0 to " +
               shortestText(most) + " mm (a decimal point), not \"" + shown(mm) + "\"";
    }
    entry.mm = *amount;
    return std::nullopt;
}

std::optional<std::string> readReadingEntry(const QString& value, SeasonReading& entry) {
    QString levels;
    if (auto problem = splitEntry(value, "--reading", "DATE=W1,W2,...", entry.date, levels)) {
        return problem;
    }
    entry.waterLevels.clear();
    const QStringList parts = levels.split(QLatin1Char(','));
    for (const QString& part : parts) {
        const auto level = plainNumber(part.trimmed());
        if (!level || *level > kMaxReadingContent) {
            return "--reading " + shown(value) +
                   ": each soil water content must be from 0 to 0.5 mm/mm (a decimal point), "
                   "one per layer, top first, not \"" +
                   shown(part) + "\"";
        }
        entry.waterLevels.push_back(*level);
    }
    return std::nullopt;
}

namespace {

// Puts an entry in its place by date; what it replaced, when its date had one.
template <typename Entry>
std::optional<Entry> putByDate(std::vector<Entry>& list, const Entry& entry) {
    const auto same = std::find_if(list.begin(), list.end(),
                                   [&entry](const Entry& e) { return e.date == entry.date; });
    if (same != list.end()) {
        Entry before = *same;
        *same = entry;
        return before;
    }
    const auto later = std::find_if(list.begin(), list.end(),
                                    [&entry](const Entry& e) { return e.date > entry.date; });
    list.insert(later, entry);
    return std::nullopt;
}

std::string levelsText(const std::vector<double>& levels) {
    std::string text;
    for (const double level : levels) {
        text += (text.empty() ? "" : ",") + shortestText(level);
    }
    return text;
}

} // namespace

std::vector<std::string> recordEntries(SeasonRecord& record, const SeasonEntries& entries) {
    std::vector<std::string> replaced;
    const auto amounts = [&replaced](std::vector<SeasonAmount>& list,
                                     const std::vector<SeasonAmount>& given, const char* what) {
        for (const SeasonAmount& entry : given) {
            if (const auto before = putByDate(list, entry)) {
                replaced.push_back(std::string(what) + " on " + entry.date + ": " +
                                   shortestText(entry.mm) + " mm replaces " +
                                   shortestText(before->mm) + " mm");
            }
        }
    };
    amounts(record.rain, entries.rain, "rain");
    amounts(record.irrigations, entries.irrigations, "irrigation");
    for (const SeasonReading& entry : entries.readings) {
        if (const auto before = putByDate(record.readings, entry)) {
            replaced.push_back("reading on " + entry.date + ": " + levelsText(entry.waterLevels) +
                               " replaces " + levelsText(before->waterLevels));
        }
    }
    return replaced;
}

void giveFieldIdentity(Scenario& scenario) {
    if (!scenario.field && !scenario.season) {
        return;
    }
    if (!scenario.field) {
        scenario.field.emplace();
    }
    if (!scenario.field->id) {
        scenario.field->id = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    }
}

} // namespace tavik
