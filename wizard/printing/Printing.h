#pragma once

#include <vector>

class QPaintDevice;
class QPrinter;
class QTextDocument;
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

// A table in the box's printout: tab stops (points from the left margin) that its lines use
// instead of a stop every half inch, from one paragraph (line) of the box on, and the width
// in points that its lines need. A printout narrower than that is drawn smaller, so that no
// line of the table wraps.
struct PrintTable {
    std::vector<double> tabStops;
    int firstLine = 0;
    double width = 0;
};
void SetPrintTable(QTextEdit& box, const PrintTable& table);

// Tab stops for the whole printout, for a table whose columns must line up with its headings.
void SetPrintTabStops(QTextEdit& box, const std::vector<double>& points);

// The table of a report, laid out so that each column's figures start where its heading
// starts, as measured on the device printed to. The table begins at the first line after the
// title that holds a tab: its heading, one tab after the first column's heading and runs of
// blanks between the others. The rows below hold their figures between tabs, one figure per
// heading (a run of tabs passes the stops between two columns). An empty table (the default
// layout) when the text is not such a table.
PrintTable tableUnderItsHeading(const QTextDocument& document, QPaintDevice& device);

// Prints the box's text (with its formatting) page by page within the margins (twips from
// the paper's edges; the order is left, top, right, bottom). Returns the number of pages, 0
// when the printer could not be opened.
int PrintRichText(QTextEdit& box, QPrinter& printer, int leftMargin, int topMargin, int rightMargin,
                  int bottomMargin);

} // namespace tavik
