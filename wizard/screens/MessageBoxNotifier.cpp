#include "MessageBoxNotifier.h"

#include <QMessageBox>

namespace tavik {

void MessageBoxNotifier::notify(Icon icon, const std::string& title, const std::string& text) {
    notifyWithDetails(icon, title, text, {});
}

void MessageBoxNotifier::notifyWithDetails(Icon icon, const std::string& title,
                                           const std::string& text, const std::string& details) {
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    switch (icon) {
    case Icon::None:
        boxIcon = QMessageBox::NoIcon;
        break;
    case Icon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case Icon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case Icon::Critical:
        boxIcon = QMessageBox::Critical;
        break;
    }
    QMessageBox box(boxIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    // File names and workbook texts are shown as they are, never taken for markup.
    box.setTextFormat(Qt::PlainText);
    if (!details.empty()) {
        box.setDetailedText(QString::fromStdString(details));
    }
    box.exec();
}

} // namespace tavik
