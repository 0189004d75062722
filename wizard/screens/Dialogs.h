#pragma once

#include <QSize>
#include <QString>
#include <optional>

class QPrinter;
class QWidget;

namespace tavik {

// The platform's own dialogs the screens open, behind one interface so that tests can
// answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The print dialog: the user picks a printer (or a PDF file); false when cancelled.
    virtual bool choosePrinter(QPrinter& printer, QWidget* parent) = 0;
    // The save dialog with filters ("Text (*.txt);;All (*)") and a default suffix added to a
    // name typed without one. The chosen path, or none when cancelled.
    virtual std::optional<QString> chooseSaveFile(QWidget* parent, const QString& filters,
                                                  const QString& defaultSuffix) = 0;
    // The open dialog with filters; the chosen path, or none when cancelled.
    virtual std::optional<QString> chooseOpenFile(QWidget* parent, const QString& filters) = 0;
    // Whether to save the changes made to a plan before its work is left.
    enum class Changes { Save, Discard, Cancel };
    virtual Changes askToSaveChanges(QWidget* parent, const QString& title,
                                     const QString& planName) = 0;
    // The size of an image to make, in pixels, starting from a suggestion; none when
    // cancelled.
    virtual std::optional<QSize> chooseImageSize(QWidget* parent, QSize suggested) = 0;
};

class QtDialogs : public Dialogs {
public:
    bool choosePrinter(QPrinter& printer, QWidget* parent) override;
    std::optional<QString> chooseSaveFile(QWidget* parent, const QString& filters,
                                          const QString& defaultSuffix) override;
    std::optional<QString> chooseOpenFile(QWidget* parent, const QString& filters) override;
    Changes askToSaveChanges(QWidget* parent, const QString& title,
                             const QString& planName) override;
    std::optional<QSize> chooseImageSize(QWidget* parent, QSize suggested) override;
};

} // namespace tavik
