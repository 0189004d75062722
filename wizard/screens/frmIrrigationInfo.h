#pragma once

#include "WizardScreen.h"

#include <optional>
#include <vector>

class QCPGraph;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavik {

// The sprinkler package screen: for 22 fixed running speeds of the centre pivot, the water
// one pass applies; Next fits the power law that the schedule uses for running speeds.
class frmIrrigationInfo : public WizardScreen {
    Q_OBJECT
public:
    explicit frmIrrigationInfo(Wizard& wizard);

    QLineEdit* amountBox(int index) const {
        return txtWaterAmount_[static_cast<std::size_t>(index)];
    }
    // Fills the chart from the table and shows it.
    void ShowChart();
    // The tooltip the chart shows for a pointer position (empty away from the points).
    QString chartTip(const QPoint& position) const;
    // Fits the law to the table; refuses (with a message naming the row) an amount that is
    // empty, zero or less. Returns whether it fitted.
    bool FitSpeedLaw();
    // The amounts as the fit reads them from the boxes (a box's leading number).
    std::vector<double> amounts() const;
    // Fills the boxes with amounts, or with the shipped table when there are none.
    void setAmounts(const std::optional<std::vector<double>>& amounts);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void next();

    std::vector<QLabel*> label1_;
    std::vector<QLineEdit*> txtWaterAmount_;
    QPushButton* cmdShowGraph_;
    QPushButton* cmdBack_;
    QPushButton* cmdNext_;
    QCustomPlot* MSChart1_;
    QCPGraph* series_ = nullptr;
    bool loaded_ = false;
};

} // namespace tavik
