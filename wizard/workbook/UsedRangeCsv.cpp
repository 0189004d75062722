#include "UsedRangeCsv.h"

#include "state/NumberText.h"

#include <charconv>

namespace tavik {

namespace {

void appendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

} // namespace

void appendUsedRangeCsvRow(std::string& out, const std::vector<Cell>& row) {
    bool first = true;
    for (const auto& cell : row) {
        if (!first) {
            out += ',';
        }
        first = false;
        if (const auto* number = std::get_if<double>(&cell)) {
            out += shortestText(*number);
        } else if (const auto* text = std::get_if<std::string>(&cell)) {
            appendQuoted(out, *text);
        } else if (const auto* unreadable = std::get_if<UnreadableCell>(&cell)) {
            out += '?';
            appendQuoted(out, unreadable->why);
        }
    }
    out += '\n';
}

std::string formatUsedRangeCsv(const SheetCells& sheet) {
    std::string out;
    for (const auto& row : sheet.rows) {
        appendUsedRangeCsvRow(out, row);
    }
    return out;
}

std::optional<SheetCells> parseUsedRangeCsv(std::string_view csv, std::string& error) {
    SheetCells sheet;
    std::vector<Cell> row;
    row.reserve(kMaxUsedRangeColumns);
    std::size_t i = 0;
    std::size_t line = 1;
    const auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(line) + ": " + what;
        return std::nullopt;
    };
    while (i < csv.size()) {
        if (row.size() >= kMaxUsedRangeColumns) {
            return fail("more than " + std::to_string(kMaxUsedRangeColumns) + " columns");
        }
        // One field, then a comma or the end of the line.
        const bool unreadable = csv[i] == '?' && i + 1 < csv.size() && csv[i + 1] == '"';
        if (unreadable) {
            ++i;
        }
        if (csv[i] == '"') {
            std::string text;
            ++i;
            for (;;) {
                if (i >= csv.size()) {
                    return fail("a quoted text is not closed");
                }
                if (csv[i] == '"') {
                    if (i + 1 < csv.size() && csv[i + 1] == '"') {
                        text += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += csv[i++];
            }
            if (unreadable) {
                row.emplace_back(UnreadableCell{std::move(text)});
            } else {
                row.emplace_back(std::move(text));
            }
        } else {
            const std::size_t end = csv.find_first_of(",\n", i);
            if (end == std::string_view::npos) {
                return fail("the last line is not ended");
            }
            const std::string_view field = csv.substr(i, end - i);
            if (field.empty()) {
                row.emplace_back(std::monostate{});
            } else {
                double value = 0;
                const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(),
                                                       value, std::chars_format::general);
                if (ec != std::errc{} || ptr != field.data() + field.size()) {
                    return fail("\"" + std::string(field.substr(0, 40)) + "\" is not a number");
                }
                row.emplace_back(value);
            }
            i = end;
        }
        if (i >= csv.size()) {
            return fail("the last line is not ended");
        }
        if (csv[i] == ',') {
            ++i;
            continue;
        }
        if (csv[i] != '\n') {
            return fail("a quoted text is followed by something other than a comma");
        }
        ++i;
        ++line;
        if (sheet.rows.size() >= kMaxUsedRangeRows) {
            return fail("more than " + std::to_string(kMaxUsedRangeRows) + " rows");
        }
        sheet.rows.push_back(std::move(row));
        row = {};
        row.reserve(kMaxUsedRangeColumns);
    }
    if (!row.empty()) {
        return fail("the last line is not ended");
    }
    return sheet;
}

} // namespace tavik
