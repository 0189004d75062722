#include "Printing.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextOption>
#include <QVariant>
#include <cmath>
#include <memory>

namespace tavik {

namespace {

constexpr double kTwipsPerPoint = 20.0;
constexpr double kTwipsPerScreenPixel = 15.0;
constexpr const char* kTabStopsProperty = "printTabStops";

// The printer's paper in twips, and its margins set as asked (measured from the paper's
// edges; Qt takes the printer's unprintable strip off them itself).
QRectF paperTwips(QPrinter& printer) {
    const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Point);
    return {0, 0, paper.width() * kTwipsPerPoint, paper.height() * kTwipsPerPoint};
}

} // namespace

void SetPrintTabStops(QTextEdit& box, const std::vector<double>& points) {
    QVariantList stops;
    for (const double point : points) {
        stops.append(point);
    }
    box.setProperty(kTabStopsProperty, stops);
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
    const QVariantList stops = box.property(kTabStopsProperty).toList();
    if (stops.isEmpty()) {
        option.setTabStopDistance(printer.resolution() / 2.0); // every half inch, as on screen
    } else {
        // The layout takes a block's own tab positions over the document's.
        QList<QTextOption::Tab> tabs;
        for (const QVariant& stop : stops) {
            tabs.append(QTextOption::Tab(stop.toDouble() * printer.resolution() / 72.0,
                                         QTextOption::LeftTab));
        }
        QTextCursor cursor(document.get());
        cursor.select(QTextCursor::Document);
        QTextBlockFormat format;
        format.setTabPositions(tabs);
        cursor.mergeBlockFormat(format);
        option.setTabStopDistance(printer.resolution() / 2.0); // beyond the last stop
    }
    document->setDefaultTextOption(option);
    document->setPageSize(area.size());
    const int pages = std::max(1, document->pageCount());
    for (int page = 0; page < pages; ++page) {
        if (page > 0) {
            printer.newPage();
        }
        painter.save();
        painter.translate(0, -area.height() * page);
        const QRectF visible(0, area.height() * page, area.width(), area.height());
        painter.setClipRect(visible);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = visible;
        context.palette.setColor(QPalette::Text, Qt::black);
        document->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
    return pages;
}

} // namespace tavik
