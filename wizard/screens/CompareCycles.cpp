#include "CompareCycles.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavik {

CompareCycles::CompareCycles(const CycleComparison& comparison, QWidget* parent)
    : QDialog(parent), comparison_(comparison), tblCycles_(new QTableWidget(this)),
      cmdUseCycle_(new QPushButton(QStringLiteral("&Use this cycle"), this)) {
    setObjectName(QStringLiteral("dlgCompareCycles"));
    setWindowTitle(QStringLiteral("Compare irrigation cycles"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(
        QStringLiteral("%1: the schedule at each irrigation cycle. The marked row is the "
                       "cycle on the slider.")
            .arg(QString::fromStdString(comparison.cropName)),
        this);
    heading->setWordWrap(true);
    layout->addWidget(heading);
    setUpTable();
    for (std::size_t r = 0; r < comparison_.rows.size(); ++r) {
        fillRow(r);
    }
    layout->addWidget(tblCycles_);
    addButtons(*layout);
    fitTableToContents();
}

// The table's columns (the split days with a sprinkler package only), one row per cycle.
void CompareCycles::setUpTable() {
    QStringList headings{
        QStringLiteral("Cycle (days)"),      QStringLiteral("Irrigations"),
        QStringLiteral("Season total (mm)"), QStringLiteral("Peak rate (mm)"),
        QStringLiteral("Largest (mm)"),      QStringLiteral("Beyond capacity (days)")};
    if (comparison_.sprinklerPackage) {
        headings << QStringLiteral("Split days");
    }
    headings << QStringLiteral("Last irrigation (day)");
    tblCycles_->setObjectName(QStringLiteral("tblCycles"));
    tblCycles_->setAccessibleName(QStringLiteral("Irrigation cycles compared"));
    tblCycles_->setColumnCount(static_cast<int>(headings.size()));
    tblCycles_->setHorizontalHeaderLabels(headings);
    tblCycles_->setRowCount(static_cast<int>(comparison_.rows.size()));
    tblCycles_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblCycles_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblCycles_->setSelectionMode(QAbstractItemView::SingleSelection);
    tblCycles_->verticalHeader()->hide();
    tblCycles_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

// A cycle's row: its figures, or why it has none across the rest of the row; the slider's
// cycle marked, in bold and chosen.
void CompareCycles::fillRow(std::size_t r) {
    const CycleFigures& row = comparison_.rows[r];
    const bool own = row.cycle == comparison_.chosenCycle;
    int column = 0;
    const auto cell = [&](const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (own) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
        tblCycles_->setItem(static_cast<int>(r), column++, item);
        return item;
    };
    cell(QString::number(row.cycle) + (own ? QStringLiteral(" \u25C0") : QString()))
        ->setData(Qt::UserRole, row.cycle);
    if (!row.problem.empty()) {
        QTableWidgetItem* reason = cell(QString::fromStdString(row.problem));
        reason->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        tblCycles_->setSpan(static_cast<int>(r), 1, 1, tblCycles_->columnCount() - 1);
        return;
    }
    cell(QString::number(row.irrigations));
    cell(QString::number(row.seasonTotal, 'f', 1));
    cell(QString::number(row.peakRate, 'f', 1));
    cell(QString::number(row.largestApplication, 'f', 1));
    cell(QString::number(row.beyondCapacityDays));
    if (comparison_.sprinklerPackage) {
        cell(row.splitDays ? QString::number(*row.splitDays) : QString());
    }
    cell(QString::number(row.lastIrrigationDay));
    if (own) {
        tblCycles_->selectRow(static_cast<int>(r));
    }
}

// "Use this cycle" (the default) and Close; a double click on a row uses its cycle.
void CompareCycles::addButtons(QVBoxLayout& layout) {
    cmdUseCycle_->setObjectName(QStringLiteral("cmdUseCycle"));
    cmdUseCycle_->setDefault(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(cmdUseCycle_, QDialogButtonBox::AcceptRole);
    layout.addWidget(buttons);
    connect(cmdUseCycle_, &QPushButton::clicked, this, &CompareCycles::useChosen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tblCycles_, &QTableWidget::cellDoubleClicked, this, [this] { useChosen(); });
    connect(tblCycles_, &QTableWidget::itemSelectionChanged, this,
            [this] { cmdUseCycle_->setEnabled(chosenCycle() != 0); });
}

// Wide enough for every column without a scroll bar.
void CompareCycles::fitTableToContents() {
    tblCycles_->resizeColumnsToContents();
    int width = 0;
    for (int c = 0; c < tblCycles_->columnCount(); ++c) {
        width += tblCycles_->columnWidth(c);
    }
    tblCycles_->setMinimumWidth(width + 2 * tblCycles_->frameWidth() + 4);
    tblCycles_->setMinimumHeight(tblCycles_->horizontalHeader()->height() +
                                 tblCycles_->rowCount() * tblCycles_->rowHeight(0) +
                                 2 * tblCycles_->frameWidth() + 4);
}

int CompareCycles::chosenCycle() const {
    const QList<QTableWidgetItem*> chosen = tblCycles_->selectedItems();
    for (QTableWidgetItem* item : chosen) {
        const int row = item->row();
        if (comparison_.rows.at(static_cast<std::size_t>(row)).problem.empty()) {
            return tblCycles_->item(row, 0)->data(Qt::UserRole).toInt();
        }
    }
    return 0;
}

void CompareCycles::useChosen() {
    if (const int days = chosenCycle(); days != 0) {
        emit cycleChosen(days);
        accept();
    }
}

} // namespace tavik
