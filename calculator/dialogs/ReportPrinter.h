#pragma once

#include <QString>

class QPrinter;

namespace tavikcalc {

struct PrintOutcome {
    int pages = 0;
    QString problem; // empty when the whole text was printed
    bool ok() const { return problem.isEmpty(); }
};

// Prints text word-wrapped in a fixed-pitch face at 10 pt (Courier New or its stand-in
// Liberation Mono), so that the report's columns line up, on the pages
// of a printer the print dialog has set up: each page takes the longest run of the remaining
// text that fits its printable area, drawn from the area's top-left corner.
PrintOutcome printReportText(QPrinter& printer, const QString& text);

} // namespace tavikcalc
