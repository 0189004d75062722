#include "Dialogs.h"

#include "plan/HeadlessCommands.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>

namespace tavik {

namespace {

// A file dialog opens in the suggested folder, with the suggested name in its name box.
void startAt(QFileDialog& dialog, const QString& suggested, bool offerName) {
    if (suggested.isEmpty()) {
        return;
    }
    const QFileInfo start(suggested);
    if (start.isDir()) {
        dialog.setDirectory(start.absoluteFilePath());
        return;
    }
    dialog.setDirectory(start.absolutePath());
    if (offerName) {
        dialog.selectFile(start.fileName());
    }
}

} // namespace

bool QtDialogs::choosePrinter(QPrinter& printer, QWidget* parent, const QString& suggested) {
    if (!suggested.isEmpty()) {
        printer.setDocName(QFileInfo(suggested).completeBaseName()); // the print job's name
    }
    QPrintDialog dialog(&printer, parent);
    // Printing to a file offers the suggested file (the dialog's own box for it, where it
    // has one), unless the printer already names a file.
    if (auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
        file != nullptr && !suggested.isEmpty() && printer.outputFileName().isEmpty()) {
        file->setText(suggested);
    }
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QString> QtDialogs::chooseSaveFile(QWidget* parent, const QString& filters,
                                                 const QString& defaultSuffix,
                                                 const QString& suggested) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters.split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(defaultSuffix);
    startAt(dialog, suggested, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::chooseOpenFile(QWidget* parent, const QString& filters,
                                                 const QString& suggested) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters.split(QStringLiteral(";;")));
    startAt(dialog, suggested, QFileInfo::exists(suggested));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

Dialogs::Changes QtDialogs::askToSaveChanges(QWidget* parent, const QString& title,
                                             const QString& planName) {
    QMessageBox box(
        QMessageBox::Warning, title,
        planName.isEmpty()
            ? QStringLiteral("This plan has not been saved.")
            : QStringLiteral("The plan \"%1\" has changes that are not saved.").arg(planName),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(planName.isEmpty() ? QStringLiteral("Do you want to save it?")
                                              : QStringLiteral("Do you want to save them?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return Changes::Save;
    case QMessageBox::Discard:
        return Changes::Discard;
    default:
        return Changes::Cancel;
    }
}

std::optional<QSize> QtDialogs::chooseImageSize(QWidget* parent, QSize suggested) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgChartImageSize"));
    dialog.setWindowTitle(QStringLiteral("Chart image size"));
    dialog.setMinimumWidth(320); // room for the title
    auto* layout = new QFormLayout(&dialog);
    const auto side = [&](const char* name, const QString& label, int value) {
        auto* box = new QSpinBox(&dialog);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(kMinChartImageSide, kMaxChartImageSide);
        box->setSuffix(QStringLiteral(" pixels"));
        box->setValue(value);
        layout->addRow(label, box);
        return box;
    };
    QSpinBox* width = side("spnImageWidth", QStringLiteral("&Width:"), suggested.width());
    QSpinBox* height = side("spnImageHeight", QStringLiteral("&Height:"), suggested.height());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return QSize(width->value(), height->value());
}

bool QtDialogs::askToRemoveSeasonLog(QWidget* parent, const QString& title, int entries) {
    QMessageBox box(QMessageBox::Question, title,
                    entries == 1 ? QStringLiteral("The season log has one entry.")
                                 : QStringLiteral("The season log has %1 entries.").arg(entries),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setInformativeText(QStringLiteral("Remove the season log from the plan?"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace tavik
