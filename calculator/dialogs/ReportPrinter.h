#pragma once

#include <QString>

class QPrinter;

namespace tavikcalc {

struct PrintOutcome {
    int pages = 0;
    QString problem; // empty when the whole text was printed
    bool ok() const { return problem.isEmpty(); }
};

// Prints text word-wrapped in a fixed-pitch face (Courier New or its stand-in Liberation
// Mono), so that the report's columns line up, on the pages of a printer the print dialog has
// set up, with margins of one inch: each page takes the longest run of the remaining text that
// fits within the margins, drawn from their top-left corner. The face is 10 pt, or as much
// smaller (down to 7 pt) as the widest line needs to fit between the margins.
PrintOutcome printReportText(QPrinter& printer, const QString& text);

} // namespace tavikcalc
