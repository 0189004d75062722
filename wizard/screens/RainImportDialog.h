#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class QDialogButtonBox;
class QLabel;
class QTableWidget;

namespace tavik {

// What an import of a station's rain file would put into the season log, before it is
// taken: a row per date with its rain and the entry it replaces, and the problem when the
// import cannot be taken (OK is then offered no more).
class RainImportDialog : public QDialog {
    Q_OBJECT
public:
    struct Row {
        QString date;     // as the system writes a short date
        QString rain;     // mm, as shown
        QString replaces; // the rain it replaces, or empty
    };
    RainImportDialog(const QString& file, const std::vector<Row>& rows, const QString& problem,
                     QWidget* parent);

    QTableWidget* table() const { return tblRainImport_; }
    QString problem() const;
    bool mayImport() const;

private:
    QTableWidget* tblRainImport_;
    QLabel* lblRainImportProblem_;
    QDialogButtonBox* buttons_;
};

} // namespace tavik
