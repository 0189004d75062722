#include "ReportPrinter.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryFile>
#include <unistd.h>

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

PrintOutcome printPages(QPrinter& printer, const QString& text) {
    PrintOutcome outcome;
    QPainter painter;
    if (!painter.begin(&printer)) {
        outcome.problem = QStringLiteral("The printer could not start the document.");
        return outcome;
    }
    // A fixed-pitch face, as in the report box, so that the report's columns and rules line up
    // on paper as they do on screen.
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
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

} // namespace

} // namespace tavikcalc
