#include "ReportPrinter.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <limits>
#include <unistd.h>

namespace tavikcalc {

namespace {

constexpr double kMarginPoints = 72; // one inch
constexpr double kLargestPoints = 10;
constexpr double kSmallestPoints = 7;
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

// Puts the printer back on the chosen file however the job ends.
class OutputRestorer {
public:
    OutputRestorer(QPrinter& printer, QString target)
        : printer_(printer), target_(std::move(target)) {}
    OutputRestorer(const OutputRestorer&) = delete;
    OutputRestorer& operator=(const OutputRestorer&) = delete;
    ~OutputRestorer() { printer_.setOutputFileName(target_); }

private:
    QPrinter& printer_;
    QString target_;
};

PrintOutcome printPages(QPrinter& printer, const QString& text);

} // namespace

PrintOutcome printReportText(QPrinter& printer, const QString& text) {
    const QString target = printer.outputFileName();
    if (target.isEmpty()) {
        return printPages(printer, text);
    }
    // Printing to a file: into a temporary file beside it first, so that a failed write (a
    // full disk) leaves an existing file as it was.
    const auto failed = [&target](const QString& reason) {
        PrintOutcome outcome;
        outcome.problem = QStringLiteral("The printout could not be written to \"%1\" (it is "
                                         "left as it was): %2.")
                              .arg(target, reason);
        return outcome;
    };
    if (const QFileInfo info(target); info.exists() && !info.isFile()) {
        return failed(QStringLiteral("it is not a regular file"));
    }
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
    QTemporaryFile temporary(QFileInfo(target).absolutePath() +
                             QStringLiteral("/.printing-XXXXXX"));
    if (!temporary.open()) {
        return failed(
            QStringLiteral("its folder cannot be written (%1)").arg(temporary.errorString()));
    }
    temporary.close();
    PrintOutcome outcome;
    {
        const OutputRestorer restorer(printer, target);
        printer.setOutputFileName(temporary.fileName());
        if (pdf) {
            printer.setOutputFormat(QPrinter::PdfFormat);
        }
        outcome = printPages(printer, text);
    }
    if (!outcome.ok()) {
        return outcome;
    }
    QFile written(temporary.fileName());
    const QByteArray document =
        written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    // A finished PDF ends with its end-of-file marker; one cut short by a write error does not.
    if (document.isEmpty() || (pdf && !document.right(32).trimmed().endsWith("%%EOF"))) {
        return failed(
            QStringLiteral("the document could not be written in full (is the disk full?)"));
    }
    QSaveFile file(target);
    const auto size = static_cast<qint64>(document.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(document) != size || !file.flush() ||
        ::fsync(file.handle()) != 0 || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failed(reason);
    }
    return outcome;
}

namespace {

// The report's face at a size in device pixels: fixed-pitch, as in the report box, so that the
// report's columns and rules line up on paper as they do on screen.
QFont reportFont(int pixels) {
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(pixels);
    return font;
}

// The width of the text's widest line in the painter's font, tabs expanded.
int widestLine(QPainter& painter, const QString& text) {
    int widest = 0;
    const QRect room(0, 0, std::numeric_limits<int>::max() / 4, 1);
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        widest = std::max(
            widest,
            painter.boundingRect(room, Qt::TextExpandTabs | Qt::TextSingleLine, line).width());
    }
    return widest;
}

// The face at 10 pt, or smaller, down to 7 pt, until the widest line fits between the margins:
// the table's rows do not break. A line wider still (a note the user typed) wraps.
void chooseFont(QPainter& painter, const QPrinter& printer, const QString& text, int width) {
    const double pixelsPerPoint = printer.logicalDpiY() / 72.0;
    const int largest = qRound(kLargestPoints * pixelsPerPoint);
    const int smallest = qRound(kSmallestPoints * pixelsPerPoint);
    int pixels = largest;
    painter.setFont(reportFont(pixels));
    const int widest = widestLine(painter, text);
    if (widest <= width) {
        return;
    }
    // A fixed-pitch face grows in proportion to its size; a step or two down absorbs rounding.
    pixels = std::max(smallest, static_cast<int>(std::floor(1.0 * pixels * width / widest)));
    painter.setFont(reportFont(pixels));
    while (pixels > smallest && widestLine(painter, text) > width) {
        painter.setFont(reportFont(--pixels));
    }
}

PrintOutcome printPages(QPrinter& printer, const QString& text) {
    PrintOutcome outcome;
    // One inch from every edge of the paper, as the wizard prints, so that no printer cuts the
    // text off; a printer whose unprintable strip is wider keeps its own.
    printer.setFullPage(false);
    printer.setPageMargins(QMarginsF(kMarginPoints, kMarginPoints, kMarginPoints, kMarginPoints),
                           QPageLayout::Point);
    QPainter painter;
    if (!painter.begin(&printer)) {
        outcome.problem = QStringLiteral("The printer could not start the document.");
        return outcome;
    }
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.setPen(Qt::black);

    // The area within the margins in device pixels; the painter's origin is its top-left corner.
    const QRect page(0, 0, printer.width(), printer.height());
    QString remaining = text;
    remaining.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    chooseFont(painter, printer, remaining, page.width());
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

} // namespace

} // namespace tavikcalc
