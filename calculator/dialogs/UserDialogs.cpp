#include "UserDialogs.h"

#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace tavikcalc {

QString messageTitle() {
    return QStringLiteral("Tavik");
}

void QtUserDialogs::message(QWidget* parent, const QString& text, MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    messageTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtUserDialogs::choosePrinter(QPrinter& printer, QWidget* parent) {
    printer.setPrintRange(QPrinter::AllPages);
    QPrintDialog dialog(&printer, parent);
    // Printing to a file stays: on a machine without printers it is how a PDF is made.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

int QtUserDialogs::runModal(QDialog& dialog) {
    return dialog.exec();
}

} // namespace tavikcalc
