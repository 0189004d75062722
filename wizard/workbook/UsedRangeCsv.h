#pragma once

#include "state/Cell.h"

#include <string>

namespace tavik {

// The used range as `tavik workbook FILE` prints it. One line per worksheet row, each ended by
// "\n"; fields separated by commas. A number is written bare, as the shortest decimal that
// reads back to the same double; a text is always quoted ("" inside for a quote), so that
// "6000" stays a text; an empty cell is an empty field; a cell whose value cannot be read is a
// question mark followed by the reason, quoted (?"its result was never calculated").
std::string formatUsedRangeCsv(const SheetCells& sheet);

} // namespace tavik
