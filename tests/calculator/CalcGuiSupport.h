#pragma once

#include "dialogs/CSplashWnd.h"
#include "dialogs/CTavikDlg.h"
#include "dialogs/UserDialogs.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPrinter>
#include <QTest>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tavikcalc::test {

// Answers and records what the dialogs ask of the user: message boxes, the print dialog (prints
// to a PDF file, or cancels), and modal dialogs (a script acts on the dialog while it is up;
// a dialog the script leaves open is closed as with Escape).
class RecordingUserDialogs : public UserDialogs {
public:
    struct Message {
        QString text;
        MessageIcon icon;
    };

    void message(QWidget*, const QString& text, MessageIcon icon) override {
        messages.push_back({text, icon});
    }
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
    int runModal(QDialog& dialog) override {
        modalDialogs.push_back(dialog.objectName());
        dialog.show();
        if (modalScript) {
            modalScript(dialog);
        }
        if (dialog.isVisible()) {
            dialog.reject();
        }
        return dialog.result();
    }

    std::vector<QString> texts() const {
        std::vector<QString> all;
        for (const Message& m : messages) {
            all.push_back(m.text);
        }
        return all;
    }

    std::vector<Message> messages;
    QString pdf; // where to print; empty cancels the print dialog
    int printDialogs = 0;
    std::function<void(QDialog&)> modalScript;
    std::vector<QString> modalDialogs; // object names, in the order they were run
};

// Makes a window the active one, so that focus moves as a user's would.
inline bool activate(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Presses Enter in a field that has the focus.
inline void pressEnter(QWidget* field, Qt::Key key = Qt::Key_Return) {
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, key);
}

// Types `text` into a field over what it held, then leaves it with Tab.
inline void enter(QLineEdit* field, const QString& text) {
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(field, Qt::Key_Delete);
    } else {
        QTest::keyClicks(field, text);
    }
    QTest::keyClick(field, Qt::Key_Tab);
}

// The main dialog offscreen, without its splash window unless asked for.
class DialogDriver {
public:
    explicit DialogDriver(double area = 0, bool splash = false) {
        splashState.enabled = splash;
        dialog = std::make_unique<CTavikDlg>(area, dialogs, splashState);
    }
    bool open() { return activate(*dialog); }

    template <typename T = QWidget>
    T* control(int id) const {
        return dialog->control<T>(id);
    }
    QLineEdit* edit(int id) const { return control<QLineEdit>(id); }
    // A label's caption or a field's text.
    QString text(int id) const {
        if (auto* label = control<QLabel>(id)) {
            return label->text();
        }
        return edit(id)->text();
    }
    void click(int id) const { control<QAbstractButton>(id)->click(); }
    void enter(int id, const QString& text) const { test::enter(edit(id), text); }
    // The user picks list entry `index` of the crop list.
    void chooseCrop(int index) const {
        control<QComboBox>(CTavikDlg::IDC_CROP)->setCurrentIndex(index);
    }

    RecordingUserDialogs dialogs;
    SplashState splashState;
    std::unique_ptr<CTavikDlg> dialog;
};

} // namespace tavikcalc::test
