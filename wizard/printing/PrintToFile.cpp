#include "PrintToFile.h"

#include "plan/OutputFile.h"
#include "state/NumberText.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>

namespace tavik {

namespace {

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

// A finished PDF ends with its end-of-file marker; a document cut short by a write error
// does not.
bool completePdf(const QByteArray& bytes) {
    const QByteArray end = bytes.right(32).trimmed();
    return end.endsWith("%%EOF");
}

} // namespace

std::optional<std::string> printChecked(QPrinter& printer, const std::function<bool()>& print) {
    const QString target = printer.outputFileName();
    if (target.isEmpty()) {
        if (!print()) {
            return "The printer \"" + printableText(printer.printerName().toStdString()) +
                   "\" could not be opened.";
        }
        return std::nullopt;
    }
    const std::string shown = printableText(target.toStdString());
    const auto failed = [&shown](const std::string& reason) {
        return "The printout could not be written to \"" + shown +
               "\" (it is left as it was): " + reason + ".";
    };
    if (const QFileInfo info(target); info.exists() && !info.isFile()) {
        return failed("it is not a regular file");
    }
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
    QTemporaryFile temporary(QFileInfo(target).absolutePath() +
                             QStringLiteral("/.printing-XXXXXX"));
    if (!temporary.open()) {
        return failed("its folder cannot be written (" + temporary.errorString().toStdString() +
                      ")");
    }
    temporary.close();
    QByteArray document;
    {
        const OutputRestorer restorer(printer, target);
        printer.setOutputFileName(temporary.fileName());
        if (pdf) {
            printer.setOutputFormat(QPrinter::PdfFormat);
        }
        if (!print()) {
            return failed("the document could not be started");
        }
    }
    QFile written(temporary.fileName());
    if (!written.open(QIODevice::ReadOnly)) {
        return failed(written.errorString().toStdString());
    }
    document = written.readAll();
    if (document.isEmpty() || (pdf && !completePdf(document))) {
        return failed("the document could not be written in full (is the disk full?)");
    }
    if (const auto problem = replaceFileContents(target, document.toStdString())) {
        return failed(*problem);
    }
    return std::nullopt;
}

} // namespace tavik
