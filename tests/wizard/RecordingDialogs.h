#pragma once

#include "screens/Dialogs.h"

#include <QPageSize>
#include <QPrinter>
#include <QStringList>

namespace tavik::test {

// Answers the print and save dialogs: prints to a PDF file, saves to a given path, or
// cancels; and counts what was asked.
class RecordingDialogs : public Dialogs {
public:
    bool choosePrinter(QPrinter& printer, QWidget*) override {
        ++printDialogs;
        if (pdf.isEmpty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return true;
    }
    std::optional<QString> chooseSaveFile(QWidget*, const QString& filters,
                                          const QString& suffix) override {
        ++saveDialogs;
        lastFilters = filters;
        lastSuffix = suffix;
        return savePath;
    }
    std::optional<QString> chooseOpenFile(QWidget*, const QString& filters) override {
        ++openDialogs;
        lastFilters = filters;
        return openPath;
    }
    Changes askToSaveChanges(QWidget*, const QString&, const QString& planName) override {
        askedAbout.append(planName);
        return changes;
    }
    std::optional<QSize> chooseImageSize(QWidget*, QSize suggested) override {
        suggestedSize = suggested;
        return imageSize;
    }
    QString pdf;                     // where to print; empty cancels
    std::optional<QString> savePath; // none cancels
    int printDialogs = 0;
    int saveDialogs = 0;
    std::optional<QString> openPath; // none cancels
    int openDialogs = 0;
    Changes changes = Changes::Cancel; // the answer to "save the changes?"
    QStringList askedAbout;            // the plans it was asked about
    QString lastFilters;
    QString lastSuffix;
    std::optional<QSize> imageSize; // the chosen image size; none cancels
    QSize suggestedSize;
};

} // namespace tavik::test
