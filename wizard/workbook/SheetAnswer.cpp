#include "SheetAnswer.h"

#include "state/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ostream>

namespace tavik {

namespace {

constexpr std::string_view kFirstLine = "tavik-sheet 1\n";

void appendEntry(std::string& out, char kind, std::size_t row, std::size_t column,
                 std::string_view value) {
    out += kind;
    out += ' ';
    out += std::to_string(row);
    out += ' ';
    out += std::to_string(column);
    out += ' ';
    if (kind == 'n') {
        out += value;
    } else {
        out += std::to_string(value.size());
        out += '\n';
        out += value;
    }
    out += '\n';
}

// The entries of one row (`row` 1-based).
void appendRow(std::string& out, std::size_t row, const std::vector<Cell>& cells) {
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const Cell& cell = cells[c];
        if (const auto* number = std::get_if<double>(&cell)) {
            appendEntry(out, 'n', row, c + 1, shortestText(*number));
        } else if (const auto* text = std::get_if<std::string>(&cell)) {
            appendEntry(out, 't', row, c + 1, *text);
        } else if (const auto* unreadable = std::get_if<UnreadableCell>(&cell)) {
            appendEntry(out, 'u', row, c + 1, unreadable->why);
        }
    }
}

// Reads the answer line by line, never past its end.
class AnswerReader {
public:
    explicit AnswerReader(std::string_view text) : text_(text) {}

    std::size_t line() const { return line_; }
    bool atEnd() const { return at_ == text_.size(); }

    // The next line without its "\n"; none when the text ends without one.
    std::optional<std::string_view> nextLine() {
        const std::size_t end = text_.find('\n', at_);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view found = text_.substr(at_, end - at_);
        at_ = end + 1;
        ++line_;
        return found;
    }
    // `count` bytes and the "\n" after them.
    std::optional<std::string_view> nextBytes(std::size_t count) {
        if (text_.size() - at_ <= count || text_[at_ + count] != '\n') {
            return std::nullopt;
        }
        const std::string_view found = text_.substr(at_, count);
        at_ += count + 1;
        ++line_;
        return found;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t line_ = 0;
};

// A count of plain decimal digits, at most `limit`.
std::optional<std::size_t> countOf(std::string_view field, std::size_t limit) {
    if (field.empty() || field.size() > 10 || (field.size() > 1 && field[0] == '0')) {
        return std::nullopt;
    }
    std::size_t value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    if (value > limit) {
        return std::nullopt;
    }
    return value;
}

// The fields of a line separated by single spaces; none when there are not exactly `count`.
template <std::size_t N>
std::optional<std::array<std::string_view, N>> fieldsOf(std::string_view line) {
    std::array<std::string_view, N> fields{};
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t space = line.find(' ');
        if (i + 1 == N) {
            if (space != std::string_view::npos) {
                return std::nullopt;
            }
            fields[i] = line;
        } else {
            if (space == std::string_view::npos) {
                return std::nullopt;
            }
            fields[i] = line.substr(0, space);
            line.remove_prefix(space + 1);
        }
    }
    return fields;
}

// Forms the answer in `out`, handing it to `flush` whenever it has grown to `piece` bytes and
// once at the end.
template <typename Flush>
void formAnswer(const SheetCells& sheet, std::size_t piece, std::string& out, Flush flush) {
    std::size_t columns = 0;
    for (const auto& row : sheet.rows) {
        columns = std::max(columns, row.size());
    }
    out += kFirstLine;
    out += std::to_string(sheet.rows.size()) + ' ' + std::to_string(columns) + '\n';
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        appendRow(out, r + 1, sheet.rows[r]);
        if (out.size() >= piece) {
            flush(out);
        }
    }
    out += kSheetAnswerEnd;
    flush(out);
}

} // namespace

std::string formatSheetAnswer(const SheetCells& sheet) {
    std::string out;
    formAnswer(sheet, std::string::npos, out, [](const std::string&) {});
    return out;
}

bool writeSheetAnswer(const SheetCells& sheet, std::ostream& out) {
    std::string piece;
    formAnswer(sheet, std::size_t{1} << 16, piece, [&out](std::string& text) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    });
    return static_cast<bool>(out.flush());
}

std::optional<SheetCells> parseSheetAnswer(std::string_view answer, std::string& error) {
    AnswerReader reader(answer);
    const auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(std::max<std::size_t>(reader.line(), 1)) + ": " + what;
        return std::nullopt;
    };
    if (reader.nextLine() != kFirstLine.substr(0, kFirstLine.size() - 1)) {
        return fail("it does not begin with \"tavik-sheet 1\"");
    }
    const auto sizeLine = reader.nextLine();
    const auto size = sizeLine ? fieldsOf<2>(*sizeLine) : std::nullopt;
    const auto rows = size ? countOf((*size)[0], kMaxAnswerRows) : std::nullopt;
    const auto columns = size ? countOf((*size)[1], kMaxAnswerColumns) : std::nullopt;
    if (!rows || !columns) {
        return fail("the size of the used range is missing or beyond " +
                    std::to_string(kMaxAnswerRows) + " rows and " +
                    std::to_string(kMaxAnswerColumns) + " columns");
    }
    // A row is as wide as the used range once it holds a cell; a row without one takes no
    // memory (a sheet may claim thousands of empty rows).
    SheetCells sheet;
    sheet.rows.resize(*rows);
    std::size_t lastRow = 0;
    std::size_t lastColumn = 0;
    for (;;) {
        const auto line = reader.nextLine();
        if (!line) {
            return fail("the answer ends before \"end\"");
        }
        if (*line == kSheetAnswerEnd.substr(0, kSheetAnswerEnd.size() - 1)) {
            break;
        }
        const auto fields = fieldsOf<4>(*line);
        if (!fields || (*fields)[0].size() != 1) {
            return fail("an entry is not \"KIND ROW COLUMN VALUE\"");
        }
        const char kind = (*fields)[0][0];
        const auto row = countOf((*fields)[1], *rows);
        const auto column = countOf((*fields)[2], *columns);
        if (!row || !column || *row == 0 || *column == 0) {
            return fail("a cell lies outside the used range");
        }
        if (*row < lastRow || (*row == lastRow && *column <= lastColumn)) {
            return fail("a cell is out of order or given twice");
        }
        lastRow = *row;
        lastColumn = *column;
        auto& cells = sheet.rows[*row - 1];
        if (cells.empty()) {
            cells.resize(*columns);
        }
        Cell& cell = cells[*column - 1];
        const std::string_view value = (*fields)[3];
        if (kind == 'n') {
            double number = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(),
                                                   number, std::chars_format::general);
            if (value.empty() || ec != std::errc{} || end != value.data() + value.size() ||
                !std::isfinite(number)) {
                return fail("a number cannot be read");
            }
            cell = number;
        } else if (kind == 't' || kind == 'u') {
            const auto bytes = countOf(value, kMaxCellTextBytes);
            const auto text = bytes ? reader.nextBytes(*bytes) : std::nullopt;
            if (!text) {
                return fail("a text is longer than " + std::to_string(kMaxCellTextBytes) +
                            " bytes or shorter than its count");
            }
            if (kind == 't') {
                cell = std::string(*text);
            } else {
                cell = UnreadableCell{std::string(*text)};
            }
        } else {
            return fail("an entry of an unknown kind");
        }
    }
    if (!reader.atEnd()) {
        return fail("something follows \"end\"");
    }
    return sheet;
}

} // namespace tavik
