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
// empty field.
std::string formatUsedRangeCsv(const SheetCells& sheet);

// Reads that form back. Anything else (an unquoted field that is not a number, an
// unterminated quote, a last line without "\n") gives no value and a short reason.
std::optional<SheetCells> parseUsedRangeCsv(std::string_view csv, std::string& error);

} // namespace tavik
