#pragma once

#include "screens/Dialogs.h"

#include <QPageSize>
#include <QPrinter>
#include <QStringList>
#include <vector>

namespace tavik::test {

// Answers the print and save dialogs: prints to a PDF file, saves to a given path, or
// cancels; and counts what was asked.
class RecordingDialogs : public Dialogs {
public:
    bool choosePrinter(QPrinter& printer, QWidget*, const QString& suggested) override {
        ++printDialogs;
        lastSuggested = suggested;
        if (pdf.isEmpty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(paper);
        return true;
    }
    std::optional<QString> chooseSaveFile(QWidget*, const QString& filters, const QString& suffix,
                                          const QString& suggested) override {
        ++saveDialogs;
        lastFilters = filters;
        lastSuffix = suffix;
        lastSuggested = suggested;
        return savePath;
    }
    std::optional<QString> chooseOpenFile(QWidget*, const QString& filters,
                                          const QString& suggested) override {
        ++openDialogs;
        lastFilters = filters;
        lastSuggested = suggested;
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
    bool askToRemoveSeasonLog(QWidget*, const QString&, int entries) override {
        removalAsked.push_back(entries);
        return removeSeasonLog;
    }
    QString pdf;                     // where to print; empty cancels
    QPageSize paper{QPageSize::A4};  // on what
    std::optional<QString> savePath; // none cancels
    int printDialogs = 0;
    int saveDialogs = 0;
    std::optional<QString> openPath; // none cancels
    int openDialogs = 0;
    Changes changes = Changes::Cancel; // the answer to "save the changes?"
    QStringList askedAbout;            // the plans it was asked about
    QString lastFilters;
    QString lastSuffix;
    QString lastSuggested; // where the last file or print dialog opened, and the name offered
    std::optional<QSize> imageSize; // the chosen image size; none cancels
    QSize suggestedSize;
    bool removeSeasonLog = false;  // the answer to "remove the season log?"
    std::vector<int> removalAsked; // the entries it was asked about, each time
};

} // namespace tavik::test
