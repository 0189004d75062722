#pragma once

#include "state/Cell.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// The text form in which `tavik workbook` hands a worksheet's used range to the wizard.
// One line per worksheet row, each ended by "\n"; fields separated by commas. A number is
// written bare, as the shortest decimal that reads back to the same double; a text is
// always quoted ("" inside for a quote), so that "6000" stays a text; an empty cell is an
// empty field; a cell whose value cannot be read is a question mark followed by the reason,
// quoted (?"its result was never calculated").
std::string formatUsedRangeCsv(const SheetCells& sheet);

// One worksheet row in that form, "\n" included.
void appendUsedRangeCsvRow(std::string& out, const std::vector<Cell>& row);

// What a crop workbook's used range can hold: the crop table's 16-bit row count and its
// columns. The reader sends no more; the parse refuses more.
inline constexpr std::size_t kMaxUsedRangeRows = 32767;
inline constexpr std::size_t kMaxUsedRangeColumns = 37;

// Reads that form back. Anything else (an unquoted field that is not a number, an
// unterminated quote, a last line without "\n", more rows or columns than above) gives no
// value and a short reason.
std::optional<SheetCells> parseUsedRangeCsv(std::string_view csv, std::string& error);

} // namespace tavik
