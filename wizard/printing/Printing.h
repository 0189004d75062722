#pragma once

#include <vector>

class QPrinter;
class QTextEdit;

namespace tavik {

// What SetPrintLayout worked out, in twips.
struct PrintLayout {
    int lineWidth = 0;
    int pageHeight = 0;
};

// Lays the box's lines out for the printer: the line width of a printer page less the left
// and right margins (twips, measured from the paper's edges). The order of the margins is
// left, right, top, bottom.
PrintLayout SetPrintLayout(QTextEdit& box, QPrinter& printer, int leftMargin, int rightMargin,
                           int topMargin, int bottomMargin);

// Tab stops the box's printout uses instead of a stop every half inch: positions in points
// from the left margin, for a table whose columns must line up with its headings.
void SetPrintTabStops(QTextEdit& box, const std::vector<double>& points);

// Prints the box's text (with its formatting) page by page within the margins (twips from
// the paper's edges; the order is left, top, right, bottom). Returns the number of pages, 0
// when the printer could not be opened.
int PrintRichText(QTextEdit& box, QPrinter& printer, int leftMargin, int topMargin, int rightMargin,
                  int bottomMargin);

} // namespace tavik
