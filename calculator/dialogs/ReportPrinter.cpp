#include "ReportPrinter.h"

#include <QPainter>
#include <QPrinter>

namespace tavikcalc {

namespace {

constexpr int kTextFlags =
    Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextDontClip;

bool fits(QPainter& painter, const QRect& page, const QString& text, qsizetype start,
          qsizetype length) {
    return painter.boundingRect(page, kTextFlags, text.mid(start, length)).height() <=
           page.height();
}

// The longest run of text from `start` that fits the page, at least one character (a page
// smaller than one line still takes one, so that printing always ends). Growing a run never
// makes its wrapped text shorter, so halving the interval finds the run that growing it one
// character at a time would.
qsizetype longestRun(QPainter& painter, const QRect& page, const QString& text, qsizetype start) {
    const qsizetype remaining = text.size() - start;
    if (fits(painter, page, text, start, remaining)) {
        return remaining;
    }
    qsizetype fitting = 0;         // fits
    qsizetype tooLong = remaining; // does not
    while (tooLong - fitting > 1) {
        const qsizetype middle = fitting + (tooLong - fitting) / 2;
        if (fits(painter, page, text, start, middle)) {
            fitting = middle;
        } else {
            tooLong = middle;
        }
    }
    qsizetype run = std::max<qsizetype>(fitting, 1);
    // Keep a character made of two UTF-16 units together.
    if (text[start + run - 1].isHighSurrogate() && start + run < text.size()) {
        run = run > 1 ? run - 1 : run + 1;
    }
    return run;
}

} // namespace

PrintOutcome printReportText(QPrinter& printer, const QString& text) {
    PrintOutcome outcome;
    QPainter painter;
    if (!painter.begin(&printer)) {
        outcome.problem = QStringLiteral("The printer could not start the document.");
        return outcome;
    }
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(10.0 * printer.logicalDpiY() / 72.0));
    painter.setFont(font);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.setPen(Qt::black);

    // The printable area in device pixels; the painter's origin is its top-left corner.
    const QRect page(0, 0, printer.width(), printer.height());
    QString remaining = text;
    remaining.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    qsizetype start = 0;
    while (start < remaining.size()) {
        if (outcome.pages > 0 && !printer.newPage()) {
            painter.end();
            outcome.problem = QStringLiteral("The printer did not accept page %1; the printout "
                                             "stops after page %2.")
                                  .arg(outcome.pages + 1)
                                  .arg(outcome.pages);
            return outcome;
        }
        const qsizetype run = longestRun(painter, page, remaining, start);
        painter.drawText(page, kTextFlags, remaining.mid(start, run));
        start += run;
        // The line break that ends a page's last line goes with it: the next page starts
        // with the next line, not an empty one.
        if (start < remaining.size() && remaining[start] == QLatin1Char('\n')) {
            ++start;
        }
        ++outcome.pages;
    }
    if (!painter.end()) {
        outcome.problem = QStringLiteral("The printer could not finish the document.");
    }
    return outcome;
}

} // namespace tavikcalc
