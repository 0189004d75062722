#pragma once

#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace tavikcalc {

// The title of every message box of the calculator.
QString messageTitle();

enum class MessageIcon {
    None,        // a plain message: the text and an OK button
    Exclamation, // a warning, such as a value out of its range
};

// What the dialogs ask of the user outside their own windows: message boxes, the platform's
// print dialog, and running another dialog modally. Behind one interface so that tests can
// answer and record them.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    virtual void message(QWidget* parent, const QString& text, MessageIcon icon) = 0;
    // The print dialog: all pages, no page range or selection. False when cancelled.
    virtual bool choosePrinter(QPrinter& printer, QWidget* parent) = 0;
    // Shows `dialog` modally; its result (QDialog::Accepted or Rejected).
    virtual int runModal(QDialog& dialog) = 0;
};

class QtUserDialogs final : public UserDialogs {
public:
    void message(QWidget* parent, const QString& text, MessageIcon icon) override;
    bool choosePrinter(QPrinter& printer, QWidget* parent) override;
    int runModal(QDialog& dialog) override;
};

} // namespace tavikcalc
