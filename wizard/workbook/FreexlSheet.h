#pragma once

#include "state/Cell.h"

#include <optional>
#include <string>

namespace tavik {

struct FreexlSheetResult {
    std::optional<SheetCells> sheet;
    std::string problem; // what is wrong with the file, when there is no sheet
};

// Reads the used range of the first worksheet of an Excel 97-2003 workbook with FreeXL.
// FreeXL is not safe on damaged files (it can read out of bounds), so the wizard calls this
// only in a child process (tavik-workbook), never in its own.
FreexlSheetResult readFirstSheetWithFreexl(const std::string& path);

// What the reader says of a sheet too large for the memory it may use.
inline constexpr const char* kTooLargeProblem =
    "it is too large to read: its first worksheet needs more memory than a crop table may use";

inline constexpr int kExitWorkbookProblem = 3;

// The largest workbook file the reader reads: a crop table takes a few kilobytes.
inline constexpr std::size_t kMaxWorkbookFileBytes = 32 * 1024 * 1024;

// `tavik workbook FILE`: the used range (at most 32,767 rows and the crop table's 37 columns)
// as CSV on standard output and exit status 0, or a message on standard error and exit
// status 3.
int runWorkbookCommand(const std::string& path);

} // namespace tavik
