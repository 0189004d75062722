#pragma once

// The readers of the crop workbook's formats. Each yields the same thing: the used range of the
// workbook's first sheet, columns 1 to 37 (every row that holds a value as wide as the widest,
// a row without one empty), each cell a number, a text (at most
// kMaxCellTextBytes, cut where a character begins), empty, or a formula whose result cannot be
// read; or, when the file cannot be read, what is wrong with it, naming the row and column of a
// cell that stops the reading. They never trust the file: damaged or hostile input gives a
// problem, never a crash, and the memory they take is bounded by the used range's limits.
// They run in tavik-workbook only, the process the wizard starts for each workbook.

#include "state/Cell.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

struct SheetRead {
    std::optional<SheetCells> sheet;
    std::string problem; // what is wrong with the file, when there is no sheet
};

// The largest sheet a crop table can be read from: its 16-bit row count and its columns.
inline constexpr std::size_t kMaxSheetRows = 32767;
inline constexpr std::size_t kMaxSheetColumns = 37;

// The largest workbook file read: a crop table takes a few kilobytes.
inline constexpr std::size_t kMaxWorkbookFileBytes = 32 * 1024 * 1024;

// What a reader says of a sheet too large for the memory it may use.
inline constexpr const char* kTooLargeProblem =
    "it is too large to read: its first worksheet needs more memory than a crop table may use";

inline constexpr int kExitWorkbookProblem = 3;

// "its first worksheet's used range has ROWS rows, more than the 32767 rows that can be read"
std::string tooManyRowsProblem(std::uint64_t rows);

// An Excel 97-2003 workbook (.xls, or Excel 5/95), given whole.
SheetRead readXlsSheet(std::string_view bytes);

// The workbook formats that are zip archives of XML.
enum class ZipFormat { Xlsx, Ods };
// What a zip archive holds; none, with the problem, when it is neither an .xlsx nor an .ods.
std::optional<ZipFormat> zipFormatOf(std::string_view bytes, std::string& problem);
// An Excel workbook (.xlsx) or an OpenDocument spreadsheet (.ods), given whole.
SheetRead readZipSheet(std::string_view bytes, ZipFormat format);

// A workbook file's bytes, read as its content says (.xls, .xlsx or .ods); a file whose
// `name` ends in the extension of another of the three formats is refused.
SheetRead readWorkbookBytes(std::string_view bytes, const std::string& name);

// `tavik-workbook FILE`: the answer (SheetAnswer.h) on standard output and exit status 0, or a
// message on standard error ("tavik workbook: "FILE": PROBLEM") and exit status 3. The
// content tells the format; a file whose name says another of the three formats is refused.
int runWorkbookCommand(const std::string& path);

} // namespace tavik
