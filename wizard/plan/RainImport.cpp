#include "RainImport.h"

#include "Scenario.h"
#include "state/NumberText.h"

#include <QDate>
#include <cmath>
#include <cstdlib>
#include <map>

namespace tavik {

namespace {

// The cells of a line, separated by `separator`; double quotes around a cell are taken off
// (a quoted cell may hold the separator, and "" stands for one quote).
std::vector<std::string> cellsOf(std::string_view line, char separator) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == separator && !quoted) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    for (std::string& cell : cells) {
        const auto first = cell.find_first_not_of(" \t");
        const auto last = cell.find_last_not_of(" \t");
        cell = first == std::string::npos ? std::string() : cell.substr(first, last - first + 1);
    }
    return cells;
}

std::string lowered(std::string text) {
    for (char& c : text) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
    }
    return text;
}

// The first heading that holds one of the words, or -1.
int columnOf(const std::vector<std::string>& headings, std::initializer_list<const char*> words,
             int besides) {
    for (const char* word : words) {
        for (std::size_t i = 0; i < headings.size(); ++i) {
            if (static_cast<int>(i) != besides &&
                lowered(headings[i]).find(word) != std::string::npos) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

// A date as the station writes it: ISO, or the system's short date (a two-digit year in the
// 2000s). Its ISO text, or empty.
std::string isoDate(const std::string& cell, const QString& shortFormat) {
    if (isIsoDate(cell)) {
        return cell;
    }
    const QString text = QString::fromStdString(cell);
    QString fourDigits = shortFormat;
    if (!shortFormat.contains(QLatin1String("yyyy"))) {
        fourDigits.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }
    QDate date = QDate::fromString(text, fourDigits);
    if (!date.isValid() && fourDigits != shortFormat) {
        date = QDate::fromString(text, shortFormat);
        if (date.isValid() && date.year() < 2000) {
            date = date.addYears(100);
        }
    }
    return date.isValid() ? date.toString(Qt::ISODate).toStdString() : std::string();
}

// An amount in mm: digits with one decimal point (or comma when `comma` is allowed).
std::optional<double> amountOf(std::string cell, bool comma) {
    if (comma) {
        for (char& c : cell) {
            c = c == ',' ? '.' : c;
        }
    }
    bool digit = false;
    int points = 0;
    for (const char c : cell) {
        digit = digit || (c >= '0' && c <= '9');
        points += c == '.' ? 1 : 0;
        if (!(c >= '0' && c <= '9') && c != '.') {
            return std::nullopt;
        }
    }
    // A rain of more digits than any gauge gives is no amount (and is never converted).
    if (!digit || points > 1 || cell.size() > 16) {
        return std::nullopt;
    }
    return std::strtod(cell.c_str(), nullptr);
}

} // namespace

RainImport parseRainCsv(std::string_view text, const QString& shortDateFormat) {
    RainImport result;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    std::size_t heading = 0;
    while (heading < lines.size() && lines[heading].find_first_not_of(" \t") == std::string::npos) {
        ++heading;
    }
    if (heading == lines.size()) {
        result.problem = "it is empty: a rain file has a heading line (date and rain) and a line "
                         "per day";
        return result;
    }
    const std::string_view first = lines[heading];
    const char separator = first.find(';') != std::string_view::npos    ? ';'
                           : first.find('\t') != std::string_view::npos ? '\t'
                                                                        : ',';
    const std::vector<std::string> headings = cellsOf(first, separator);
    const int dateColumn = columnOf(headings, {"date", "datum", "day"}, -1);
    const int rainColumn = columnOf(headings, {"rain", "precip", "mm"}, dateColumn);
    const std::string lineName = "line " + std::to_string(heading + 1);
    if (dateColumn < 0 || rainColumn < 0) {
        result.problem = lineName + ", the heading, names no " +
                         (dateColumn < 0 ? std::string("date column (\"date\")")
                                         : std::string("rain column (\"rain\", "
                                                       "\"precipitation\" or \"mm\")"));
        return result;
    }
    std::map<std::string, std::size_t> given; // date → line number
    for (std::size_t i = heading + 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            continue;
        }
        const std::string where = "line " + std::to_string(i + 1) + ": ";
        const auto fail = [&result](std::string problem) {
            result.rain.clear();
            result.lines.clear();
            result.problem = std::move(problem);
            return result;
        };
        const std::vector<std::string> cells = cellsOf(line, separator);
        const auto need = static_cast<std::size_t>(std::max(dateColumn, rainColumn));
        if (cells.size() <= need) {
            return fail(where + "it has " + std::to_string(cells.size()) +
                        " cells, too few for the date and the rain");
        }
        const std::string& dateCell = cells[static_cast<std::size_t>(dateColumn)];
        const std::string date = isoDate(dateCell, shortDateFormat);
        if (date.empty()) {
            return fail(where + "\"" + printableText(dateCell, 40) +
                        "\" is not a date (YYYY-MM-DD or " + shortDateFormat.toStdString() + ")");
        }
        const std::string& rainCell = cells[static_cast<std::size_t>(rainColumn)];
        const auto mm = amountOf(rainCell, separator != ',');
        if (!mm || *mm > kMaxRainMm) {
            return fail(where + "\"" + printableText(rainCell, 40) +
                        "\" is not an amount of rain from 0 to " + shortestText(kMaxRainMm) +
                        " mm");
        }
        const auto [at, fresh] = given.emplace(date, i + 1);
        if (!fresh) {
            return fail(where + date + " is given twice (also on line " +
                        std::to_string(at->second) + ")");
        }
        result.rain.push_back({date, *mm});
        result.lines.push_back(i + 1);
    }
    return result;
}

} // namespace tavik
