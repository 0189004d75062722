#pragma once

#include "state/Cell.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// The answer tavik-workbook writes on standard output for the workbook it has read: the cells
// of the first sheet's used range, in one form whatever the workbook's format.
//
//   tavik-sheet 1\n                     the form and its version
//   ROWS COLUMNS\n                      the used range: 0..32767 rows, 0..37 columns
//   then one entry per cell that is not empty, by row, then by column (1-based, within
//   the used range, each cell at most once):
//   n ROW COLUMN VALUE\n                a number: the shortest decimal that reads back to the
//                                       same double (finite)
//   t ROW COLUMN BYTES\nTEXT\n          a text: BYTES (0..4096) bytes of UTF-8, then "\n"
//   u ROW COLUMN BYTES\nWHY\n           a cell whose value cannot be read, and why (0..4096)
//   end\n                               the answer is complete
//
// Numbers and texts in the headers are plain decimal digits without sign or leading zeros.
// Texts are counted, not quoted, so any byte may appear in them; a text of a number ("6000")
// stays a text. Nothing may follow "end\n". The answer of the largest sheet is bounded by its
// cells: 32,767 × 37 entries of at most 4,096 bytes of text each.
std::string formatSheetAnswer(const SheetCells& sheet);

// The same answer written to `out` as it is formed, in pieces of about 64 KiB, so that a large
// sheet is never held twice; false when it could not be written.
bool writeSheetAnswer(const SheetCells& sheet, std::ostream& out);

inline constexpr std::string_view kSheetAnswerEnd = "end\n";

// What an answer can hold: the crop table's 16-bit row count and its columns.
inline constexpr std::size_t kMaxAnswerRows = 32767;
inline constexpr std::size_t kMaxAnswerColumns = 37;

// Reads that form back: every row that holds a cell as wide as the used range, a row without
// one empty. Anything else (a missing or repeated line, a cell out of the used range
// or out of order, a count beyond its bound, a text shorter than its count, anything after
// "end") gives no value and a short reason naming the line.
std::optional<SheetCells> parseSheetAnswer(std::string_view answer, std::string& error);

} // namespace tavik
