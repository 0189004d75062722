#pragma once

#include <QMainWindow>

class QLabel;
class QTableWidget;

namespace tavik {

struct mType;

// The crops the wizard read from its workbook, as a plain list with their pictures and
// yield ranges.
class CropListWindow : public QMainWindow {
    Q_OBJECT
public:
    CropListWindow(mType& state, const QString& programFolder, const QString& workbookPath,
                   QWidget* parent = nullptr);

private:
    QTableWidget* table_;
};

} // namespace tavik
