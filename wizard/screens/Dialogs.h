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
    // The print dialog: the user picks a printer (or a PDF file, offered as `suggested`: an
    // absolute path); false when cancelled.
    virtual bool choosePrinter(QPrinter& printer, QWidget* parent, const QString& suggested) = 0;
    // The save dialog with filters ("Text (*.txt);;All (*)") and a default suffix added to a
    // name typed without one, opening on `suggested`: the folder to start in, with the name
    // offered in it (or the folder alone). The chosen path, or none when cancelled.
    virtual std::optional<QString> chooseSaveFile(QWidget* parent, const QString& filters,
                                                  const QString& defaultSuffix,
                                                  const QString& suggested) = 0;
    // The open dialog with filters, opening on `suggested` as above; the chosen path, or none
    // when cancelled.
    virtual std::optional<QString> chooseOpenFile(QWidget* parent, const QString& filters,
                                                  const QString& suggested) = 0;
    // Whether to save a plan before its work is left: its file's name, or empty for a plan
    // that has never been saved.
    enum class Changes { Save, Discard, Cancel };
    virtual Changes askToSaveChanges(QWidget* parent, const QString& title,
                                     const QString& planName) = 0;
    // The size of an image to make, in pixels, starting from a suggestion; none when
    // cancelled.
    virtual std::optional<QSize> chooseImageSize(QWidget* parent, QSize suggested) = 0;
    // Whether to remove a season log with `entries` entries from the plan.
    virtual bool askToRemoveSeasonLog(QWidget* parent, const QString& title, int entries) = 0;
};

class QtDialogs : public Dialogs {
public:
    bool choosePrinter(QPrinter& printer, QWidget* parent, const QString& suggested) override;
    std::optional<QString> chooseSaveFile(QWidget* parent, const QString& filters,
                                          const QString& defaultSuffix,
                                          const QString& suggested) override;
    std::optional<QString> chooseOpenFile(QWidget* parent, const QString& filters,
                                          const QString& suggested) override;
    Changes askToSaveChanges(QWidget* parent, const QString& title,
                             const QString& planName) override;
    std::optional<QSize> chooseImageSize(QWidget* parent, QSize suggested) override;
    bool askToRemoveSeasonLog(QWidget* parent, const QString& title, int entries) override;
};

} // namespace tavik
