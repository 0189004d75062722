#pragma once

#include "state/Cell.h"

#include <QString>
#include <chrono>
#include <optional>
#include <string>

namespace tavik {

struct WorkbookReadResult {
    std::optional<SheetCells> sheet;
    std::string problem; // what is wrong, when there is no sheet ("the file does not exist")
};

struct WorkbookReaderOptions {
    // The reader, tavik-workbook: `READER FILE` writes the used range as CSV.
    QString readerProgram;
    // How long the reader may take before it is stopped and the file counted as unreadable.
    std::chrono::milliseconds timeLimit{std::chrono::seconds(20)};
    // The most standard output accepted from the reader.
    qint64 outputLimit = 32LL * 1024 * 1024;
    // The most memory the reader may take for its data (the whole of it the parser may
    // allocate); a sheet that needs more is too large. Not applied in sanitizer builds,
    // whose shadow memory counts against the same limit.
    qint64 memoryLimit = 128LL * 1024 * 1024;
};

// Reads the used range of the workbook's first sheet. The parse runs in a child process
// (`readerProgram FILE`) under a memory limit, whose output is read within the time
// and size limits and whose exit is checked, so a damaged file that crashes or hangs the
// parser cannot harm the caller; the child ends when the caller does.
WorkbookReadResult readWorkbook(const QString& path, const WorkbookReaderOptions& options);

// "The crop workbook "PATH" cannot be read: PROBLEM."
std::string workbookErrorMessage(const QString& path, const std::string& problem);

} // namespace tavik
