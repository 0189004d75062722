#pragma once

#include "plan/Compare.h"

#include <QDialog>

class QPushButton;
class QVBoxLayout;
class QTableWidget;

namespace tavik {

// The nine irrigation cycles side by side for the plan on the screens: a row per cycle with
// what its schedule comes to; the slider's cycle is marked and chosen at the start. "Use this
// cycle" (or a double click on a row) hands the row's cycle back and closes.
class CompareCycles : public QDialog {
    Q_OBJECT
public:
    CompareCycles(const CycleComparison& comparison, QWidget* parent);

    QTableWidget* table() const { return tblCycles_; }
    // The cycle of the row chosen.
    int chosenCycle() const;

signals:
    void cycleChosen(int days);

private:
    void setUpTable();
    void fillRow(std::size_t r);
    void addButtons(QVBoxLayout& layout);
    void fitTableToContents();
    void useChosen();

    CycleComparison comparison_;
    QTableWidget* tblCycles_;
    QPushButton* cmdUseCycle_;
};

} // namespace tavik
