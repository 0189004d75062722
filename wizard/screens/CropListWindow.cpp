#include "CropListWindow.h"

#include "CropPicture.h"
#include "state/NumberText.h"
#include "state/WizardState.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavik {

CropListWindow::CropListWindow(mType& state, const QString& programFolder,
                               const QString& workbookPath, QWidget* parent)
    : QMainWindow(parent), table_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("frmCropList"));
    setWindowTitle(QStringLiteral("%1 (Crops)").arg(QString::fromStdString(state.AppTitle)));

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* exit = file->addAction(QStringLiteral("&Exit"));
    exit->setObjectName(QStringLiteral("mnuFileExit"));
    connect(exit, &QAction::triggered, qApp, &QApplication::quit);

    const CropTable& crops = state.CropData;
    const auto& rows = crops.offeredRows();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* heading = new QLabel(
        QStringLiteral("%1 crops read from %2").arg(rows.size()).arg(workbookPath), central);
    heading->setObjectName(QStringLiteral("lblSource"));
    heading->setWordWrap(true);
    layout->addWidget(heading);

    table_->setObjectName(QStringLiteral("tblCrops"));
    table_->setColumnCount(5);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Crop"), QStringLiteral("Row"), QStringLiteral("Minimum yield (kg/ha)"),
         QStringLiteral("Maximum yield (kg/ha)"), QStringLiteral("Recommended yield (kg/ha)")});
    table_->setRowCount(static_cast<int>(rows.size()));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setIconSize(QSize(102, 70));
    table_->verticalHeader()->hide();
    const auto number = [](double value) {
        auto* item = new QTableWidgetItem(QString::fromStdString(shortestText(value)));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return item;
    };
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const int row = rows[static_cast<std::size_t>(i)];
        auto* name =
            new QTableWidgetItem(QString::fromStdString(crops.text(row, CropColumn::Name)));
        const QPixmap picture =
            loadCropPicture(programFolder, crops.cell(row, CropColumn::Picture));
        if (!picture.isNull()) {
            name->setIcon(QIcon(picture));
        }
        name->setToolTip(name->text());
        table_->setItem(i, 0, name);
        table_->setItem(i, 1, number(row));
        table_->setItem(i, 2, number(crops.number(row, CropColumn::MinYield)));
        table_->setItem(i, 3, number(crops.number(row, CropColumn::MaxYield)));
        table_->setItem(i, 4, number(crops.number(row, CropColumn::RecommendedYield)));
        table_->setRowHeight(i, 76);
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);
    setCentralWidget(central);
    int width = table_->verticalScrollBar()->sizeHint().width() + 2 * table_->frameWidth();
    for (int c = 0; c < table_->columnCount(); ++c) {
        width += table_->columnWidth(c);
    }
    resize(width + layout->contentsMargins().left() + layout->contentsMargins().right(), 660);
}

} // namespace tavik
