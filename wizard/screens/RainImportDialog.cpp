#include "RainImportDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavik {

RainImportDialog::RainImportDialog(const QString& file, const std::vector<Row>& rows,
                                   const QString& problem, QWidget* parent)
    : QDialog(parent), tblRainImport_(new QTableWidget(this)),
      lblRainImportProblem_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName(QStringLiteral("dlgRainImport"));
    setWindowTitle(QStringLiteral("Import rain"));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(this);
    heading->setObjectName(QStringLiteral("lblRainImportFile"));
    heading->setTextFormat(Qt::PlainText);
    heading->setWordWrap(true);
    heading->setText(
        rows.empty() ? QStringLiteral("No rain to import from %1.").arg(file)
        : rows.size() == 1
            ? QStringLiteral("One day of rain to import from %1:").arg(file)
            : QStringLiteral("%1 days of rain to import from %2:").arg(rows.size()).arg(file));
    layout->addWidget(heading);

    tblRainImport_->setObjectName(QStringLiteral("tblRainImport"));
    tblRainImport_->setAccessibleName(QStringLiteral("Rain to import"));
    tblRainImport_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblRainImport_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblRainImport_->verticalHeader()->hide();
    tblRainImport_->setColumnCount(3);
    tblRainImport_->setHorizontalHeaderLabels(
        {QStringLiteral("Date"), QStringLiteral("Rain (mm)"), QStringLiteral("Replaces (mm)")});
    tblRainImport_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblRainImport_->horizontalHeader()->setStretchLastSection(true);
    tblRainImport_->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const QString cells[] = {rows[r].date, rows[r].rain, rows[r].replaces};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            tblRainImport_->setItem(static_cast<int>(r), c, item);
        }
    }
    layout->addWidget(tblRainImport_);

    lblRainImportProblem_->setObjectName(QStringLiteral("lblRainImportProblem"));
    lblRainImportProblem_->setTextFormat(Qt::PlainText);
    lblRainImportProblem_->setWordWrap(true);
    lblRainImportProblem_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblRainImportProblem_->setText(
        problem.isEmpty() ? QString() : QStringLiteral("This rain cannot be imported: ") + problem);
    lblRainImportProblem_->setVisible(!problem.isEmpty());
    layout->addWidget(lblRainImportProblem_);

    buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Import"));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty() && !rows.empty());
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons_);
    resize(460, 420);
}

QString RainImportDialog::problem() const {
    return lblRainImportProblem_->text();
}

bool RainImportDialog::mayImport() const {
    return buttons_->button(QDialogButtonBox::Ok)->isEnabled();
}

} // namespace tavik
