#include "Printing.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <memory>

namespace tavik {

namespace {

constexpr double kTwipsPerPoint = 20.0;
constexpr double kTwipsPerScreenPixel = 15.0;
constexpr double kPointsPerInch = 72.0;
constexpr double kHalfInchPoints = 36.0;
// Room left beside a table's widest line, so that rounding never wraps it.
constexpr double kTableRoomPoints = 2.0;
constexpr const char* kTabStopsProperty = "printTabStops";
constexpr const char* kTableLineProperty = "printTableFirstLine";
constexpr const char* kTableWidthProperty = "printTableWidth";

// The printer's paper in twips, and its margins set as asked (measured from the paper's
// edges; Qt takes the printer's unprintable strip off them itself).
QRectF paperTwips(QPrinter& printer) {
    const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Point);
    return {0, 0, paper.width() * kTwipsPerPoint, paper.height() * kTwipsPerPoint};
}

QString leadingBlanks(const QString& text) {
    qsizetype blanks = 0;
    while (blanks < text.size() && text[blanks] == QLatin1Char(' ')) {
        ++blanks;
    }
    return text.left(blanks);
}

// The next line after `block` that holds a tab.
QTextBlock nextTabbedLine(QTextBlock block) {
    for (block = block.next(); block.isValid(); block = block.next()) {
        if (block.text().contains(QLatin1Char('\t'))) {
            return block;
        }
    }
    return {};
}

} // namespace

void SetPrintTable(QTextEdit& box, const PrintTable& table) {
    QVariantList stops;
    for (const double point : table.tabStops) {
        stops.append(point);
    }
    box.setProperty(kTabStopsProperty, stops);
    box.setProperty(kTableLineProperty, table.firstLine);
    box.setProperty(kTableWidthProperty, table.width);
}

void SetPrintTabStops(QTextEdit& box, const std::vector<double>& points) {
    SetPrintTable(box, PrintTable{points, 0, 0});
}

PrintTable tableUnderItsHeading(const QTextDocument& document, QPaintDevice& device) {
    const QTextBlock heading = nextTabbedLine(document.begin());
    const QTextBlock firstRow = heading.isValid() ? nextTabbedLine(heading) : QTextBlock();
    if (!firstRow.isValid()) {
        return {};
    }
    QTextCharFormat format;
    if (const auto fragment = heading.begin(); !fragment.atEnd()) {
        format = fragment.fragment().charFormat();
    }
    const QFontMetricsF metrics(format.font().resolve(document.defaultFont()), &device);
    const double toPoints = kPointsPerInch / device.logicalDpiX();
    const auto width = [&](const QString& text) {
        return metrics.horizontalAdvance(text) * toPoints;
    };

    // Where each heading starts: the first after its leading blanks; the second after the
    // heading's one tab, at the next half inch as without a table; the others after a run
    // of blanks.
    const QString headingText = heading.text();
    const qsizetype tab = headingText.indexOf(QLatin1Char('\t'));
    const QString firstHeading = headingText.left(tab);
    const QString others = headingText.mid(tab + 1);
    if (others.contains(QLatin1Char('\t'))) {
        return {};
    }
    const double firstEnd = width(firstHeading);
    const double second = (std::floor(firstEnd / kHalfInchPoints) + 1) * kHalfInchPoints;
    std::vector<double> starts{width(leadingBlanks(firstHeading)),
                               second + width(leadingBlanks(others))};
    static const QRegularExpression gap(QStringLiteral("\\S( {2,})(?=\\S)"));
    for (auto it = gap.globalMatch(others); it.hasNext();) {
        starts.push_back(second + width(others.left(it.next().capturedEnd(1))));
    }

    // The rows: one figure per heading, the figure of column k after tabsBefore[k] tabs.
    const QStringList firstCells = firstRow.text().split(QLatin1Char('\t'));
    std::vector<qsizetype> tabsBefore;
    for (qsizetype cell = 0; cell < firstCells.size(); ++cell) {
        if (!firstCells[cell].trimmed().isEmpty()) {
            tabsBefore.push_back(cell);
        }
    }
    if (tabsBefore.size() != starts.size() || tabsBefore.front() == 0) {
        return {};
    }
    // stops[t]: where the t-th tab of a row goes (stops[0] unused).
    std::vector<double> stops(static_cast<std::size_t>(tabsBefore.back()) + 1, 0.0);
    const auto stopOf = [&stops, &tabsBefore](std::size_t k) -> double& {
        return stops[static_cast<std::size_t>(tabsBefore[k])];
    };
    for (std::size_t k = 0; k < starts.size(); ++k) {
        stopOf(k) = starts[k] - width(leadingBlanks(firstCells[tabsBefore[k]]));
        if (k > 0 && stopOf(k) <= starts[k - 1]) {
            return {};
        }
    }
    std::vector<double> widestEnd(starts.size(), 0.0);
    for (QTextBlock row = firstRow; row.isValid() && row.text().contains(QLatin1Char('\t'));
         row = row.next()) {
        const QStringList cells = row.text().split(QLatin1Char('\t'));
        for (std::size_t k = 0; k < starts.size() && tabsBefore[k] < cells.size(); ++k) {
            widestEnd[k] = std::max(widestEnd[k], stopOf(k) + width(cells[tabsBefore[k]]));
        }
    }
    // The tabs between two figures pass stops spread between the end of the widest figure
    // and the next column; before the second column they also lie before the end of the
    // first heading, so that the heading's one tab passes them.
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const qsizetype from = k == 0 ? 0 : tabsBefore[k - 1];
        const double low = k == 0 ? 0.0 : widestEnd[k - 1];
        const double high = k == 1 ? std::min(stopOf(k), firstEnd) : stopOf(k);
        const qsizetype between = tabsBefore[k] - from - 1;
        if (between > 0 && high <= low) {
            return {};
        }
        for (qsizetype j = 1; j <= between; ++j) {
            stops[static_cast<std::size_t>(from + j)] =
                low + (high - low) * static_cast<double>(j) / static_cast<double>(between + 1);
        }
    }
    PrintTable table;
    table.tabStops.assign(stops.begin() + 1, stops.end());
    table.firstLine = heading.blockNumber();
    table.width =
        std::max(second + width(others), *std::max_element(widestEnd.begin(), widestEnd.end()));
    return table;
}

PrintLayout SetPrintLayout(QTextEdit& box, QPrinter& printer, int leftMargin, int rightMargin,
                           int topMargin, int bottomMargin) {
    const QRectF paper = paperTwips(printer);
    PrintLayout layout;
    layout.lineWidth = static_cast<int>(std::lround(paper.width())) - leftMargin - rightMargin;
    layout.pageHeight = static_cast<int>(std::lround(paper.height())) - topMargin - bottomMargin;
    // The box breaks its lines where a printed line of that width would break.
    box.setLineWrapMode(QTextEdit::FixedPixelWidth);
    box.setLineWrapColumnOrWidth(
        static_cast<int>(std::lround(layout.lineWidth / kTwipsPerScreenPixel)));
    return layout;
}

int PrintRichText(QTextEdit& box, QPrinter& printer, int leftMargin, int topMargin, int rightMargin,
                  int bottomMargin) {
    printer.setFullPage(false);
    printer.setPageMargins(QMarginsF(leftMargin / kTwipsPerPoint, topMargin / kTwipsPerPoint,
                                     rightMargin / kTwipsPerPoint, bottomMargin / kTwipsPerPoint),
                           QPageLayout::Point);
    // The printout is laid out anew for the printer's page less the margins: a copy of the
    // box's document without a margin of its own, one page the size of the margin rectangle.
    const std::unique_ptr<QTextDocument> document(box.document()->clone());
    document->setDocumentMargin(0);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return 0;
    }
    const QRectF area = printer.pageRect(QPrinter::DevicePixel);
    // Lay out at the printer's resolution.
    document->documentLayout()->setPaintDevice(&printer);
    QTextOption option = document->defaultTextOption();
    option.setTabStopDistance(printer.resolution() / 2.0); // every half inch, as on screen
    const QVariantList stops = box.property(kTabStopsProperty).toList();
    if (const QTextBlock first =
            document->findBlockByNumber(box.property(kTableLineProperty).toInt());
        !stops.isEmpty() && first.isValid()) {
        // The layout takes a block's own tab positions over the document's (whose stop every
        // half inch serves beyond the last).
        QList<QTextOption::Tab> tabs;
        for (const QVariant& stop : stops) {
            tabs.append(QTextOption::Tab(stop.toDouble() * printer.resolution() / kPointsPerInch,
                                         QTextOption::LeftTab));
        }
        QTextCursor cursor(document.get());
        cursor.setPosition(first.position());
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        QTextBlockFormat format;
        format.setTabPositions(tabs);
        cursor.mergeBlockFormat(format);
    }
    document->setDefaultTextOption(option);
    // A table wider than the margins leave is laid out on a page as wide as the table and
    // drawn smaller, to the margins: its lines never wrap.
    const double tableWidth = box.property(kTableWidthProperty).toDouble();
    const double areaPoints = area.width() * kPointsPerInch / printer.resolution();
    const double scale = tableWidth > 0 && tableWidth + kTableRoomPoints > areaPoints
                             ? areaPoints / (tableWidth + kTableRoomPoints)
                             : 1.0;
    const QSizeF page(area.width() / scale, area.height() / scale);
    document->setPageSize(page);
    const int pages = std::max(1, document->pageCount());
    for (int number = 0; number < pages; ++number) {
        if (number > 0) {
            printer.newPage();
        }
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -page.height() * number);
        const QRectF visible(0, page.height() * number, page.width(), page.height());
        painter.setClipRect(visible);
        QAbstractTextDocumentLayout::PaintContext context;
        // A line that touches the page's edge only by rounding belongs to the other page: drawn
        // here it would be cut off, yet stay in the document's text twice.
        context.clip = visible.adjusted(0, 1, 0, -1);
        context.palette.setColor(QPalette::Text, Qt::black);
        document->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
    return pages;
}

} // namespace tavik
