#include "UsedRangeCsv.h"

#include "state/NumberText.h"

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

void appendRow(std::string& out, const std::vector<Cell>& row) {
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

} // namespace

std::string formatUsedRangeCsv(const SheetCells& sheet) {
    std::string out;
    for (const auto& row : sheet.rows) {
        appendRow(out, row);
    }
    return out;
}

} // namespace tavik
