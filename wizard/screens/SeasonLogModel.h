#pragma once

#include "plan/Plan.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QLocale>
#include <map>
#include <utility>
#include <vector>

namespace tavik {

// The season log of a balanced plan as a table: a row per day that has an entry or a planned
// irrigation (or every day of the season), with what fell, what was applied or is advised,
// and where the soil stands against the plan. Rain and irrigation are typed in place; what
// is typed is handed on (entryTyped), never kept here.
class SeasonLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Date, Day, Rain, Irrigation, Planned, SoilWater, Drained, Shortfall, Columns };

    explicit SeasonLogModel(QObject* parent = nullptr);

    // The plan shown (balanced; none empties the table) and whether every day is a row.
    // Rows that stay the same days are updated in place, so that the current cell stays.
    void show(const PlanResult* plan, bool allDays);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The day after planting of a row, and the row of a day (-1 when it is not shown).
    int dayOf(int row) const;
    int rowOf(int day) const;
    const SeasonDay* seasonDay(int row) const;
    QDate dateOf(int day) const;

    // A problem with what was typed into a cell, shown as the cell's tip until the next
    // entry.
    void setProblem(int day, Column column, const QString& problem);
    void clearProblems();

    // A figure of the table as it is shown: millimetres to a tenth, in the system's locale.
    static QString figure(double mm);

signals:
    // Text typed into a day's rain or irrigation cell.
    void entryTyped(int day, tavik::SeasonLogModel::Column column, const QString& text);

private:
    QVariant display(const SeasonDay& day, int column) const;

    const PlanResult* plan_ = nullptr;
    std::vector<int> days_; // the day of each row
    QDate planted_;
    std::map<std::pair<int, int>, QString> problems_; // (day, column) → problem
};

} // namespace tavik
