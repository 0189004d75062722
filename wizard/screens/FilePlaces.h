#pragma once

#include <QString>
#include <optional>

class QPrinter;
class QWidget;

namespace tavik {

class Wizard;

// Where the screens' file dialogs open and the name they offer. They open in the plan file's
// folder, else in the folder last chosen in this run, else in the user's documents folder;
// they offer the field's name, else the plan file's name, else the crop's ("Maize.pdf"), with
// the dialog's suffix.
class FilePlaces {
public:
    explicit FilePlaces(Wizard& wizard);

    QString folder() const;
    // The plan's name with the suffix; empty while there is neither a plan file nor a crop.
    QString name(const QString& suffix) const;
    // The folder with the name in it, as a dialog is given it.
    QString suggested(const QString& suffix) const;

    // The dialogs, opened there; a path chosen makes its folder the last one used.
    std::optional<QString> chooseSaveFile(QWidget* parent, const QString& filters,
                                          const QString& defaultSuffix);
    std::optional<QString> chooseOpenFile(QWidget* parent, const QString& filters);
    bool choosePrinter(QPrinter& printer, QWidget* parent);

private:
    void remember(const QString& path);

    Wizard& wizard_;
    QString lastFolder_;
};

} // namespace tavik
