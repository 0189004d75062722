#pragma once

#include "plan/Plan.h"

#include <QDate>
#include <QDialog>
#include <vector>

class QDateEdit;
class QLineEdit;
class QPushButton;

namespace tavik {

class ProblemLabel;

// A probe reading of the soil on a date: one water content per soil layer (mm/mm, three
// decimals, top first), each beside its layer's depth range and the class word of what was
// typed. The date lies within the plan's season.
class SoilReadingDialog : public QDialog {
    Q_OBJECT
public:
    // For a balanced plan with a planting date; `start` gives the contents shown first, one
    // per layer (an earlier reading of that date, or the planned levels).
    SoilReadingDialog(const PlanResult& plan, const QDate& date, const std::vector<double>& start,
                      QWidget* parent);

    // The reading as entered, its date as YYYY-MM-DD.
    SeasonReading reading() const;

signals:
    // OK was pressed on a complete reading.
    void readingChosen(const tavik::SeasonReading& reading);

private:
    struct Layer {
        QLineEdit* edit = nullptr;
        ProblemLabel* status = nullptr; // the class word of the value, or why it is none
        ClassThresholds thresholds;
    };
    bool complete() const;
    void refresh();

    QDateEdit* date_ = nullptr;
    std::vector<Layer> layers_;
    QPushButton* ok_ = nullptr;
};

} // namespace tavik
