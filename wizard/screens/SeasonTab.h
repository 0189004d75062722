#pragma once

#include "SeasonLogModel.h"
#include "plan/Plan.h"

#include <QDate>
#include <QWidget>
#include <optional>

class QCheckBox;
class QCustomPlot;
class QDateEdit;
class QLabel;
class QPushButton;
class QSplitter;
class QTableView;
class QUndoStack;

namespace tavik {

class RainImportDialog;
class SoilReadingDialog;
class Wizard;

// The season log of the plan on the screens, kept on the result screen: the next
// irrigation as of a Today date, the log as a table that rain and irrigation are typed into,
// a reading of the soil, rain imported from a station's file, and the season's chart. Every
// change of an entry is one undoable step that re-plans at once and marks the plan changed.
class SeasonTab : public QWidget {
    Q_OBJECT
public:
    SeasonTab(Wizard& wizard, QWidget* parent);
    ~SeasonTab() override;

    // The day the log is balanced as of; the system's date to start with, not kept in plans.
    QDate today() const;
    void setToday(const QDate& date);

    // The plan's inputs or its record changed: re-planned as soon as the screen's events are
    // handled while the tab is shown, else when it is next shown. Entries typed and Today
    // re-plan at once.
    void planChanged();

    // The plan shown, balanced as of Today; none without a record or when the record does
    // not fit the plan (problem() then says why).
    const PlanResult* plan() const { return plan_ ? &*plan_ : nullptr; }
    QString problem() const;
    QString nextIrrigation() const;
    SeasonLogModel& log() const { return *model_; }
    QTableView* table() const { return tblSeasonLog_; }
    QUndoStack& undoStack() const { return *undo_; }

    // What the buttons do. The dialogs are open (not yet answered) when they are returned;
    // none when there is nothing to open them for.
    void applyAsAdvised();
    SoilReadingDialog* soilReading();
    RainImportDialog* importRain();
    // A reading as the reading dialog hands it over: recorded, replacing one on its date.
    void recordReading(const SeasonReading& reading);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class SeasonRecordChange;
    void setUpControls();
    void setUpShortcuts();
    void replan();
    void refreshShown();
    void showNextIrrigation();
    void typeEntry(int day, SeasonLogModel::Column column, const QString& text);
    // Records a changed record as one step of the undo stack.
    void change(SeasonRecord after, const QString& what);
    void setRecord(const SeasonRecord& record);
    void showProblem(const QString& problem);
    void colourProblem();
    // The day of the selected row, or -1 when no row is selected.
    int selectedDay() const;
    // The day "Applied as advised" logs, or -1 when none has advice.
    int advisedDay() const;
    void updateButtons();
    std::optional<std::string> trialProblem(const SeasonRecord& record) const;

    Wizard& wizard_;
    QLabel* lblNextIrrigation_;
    QDateEdit* dtpSeasonToday_;
    QCheckBox* chkSeasonAllDays_;
    QPushButton* cmdAppliedAsAdvised_;
    QPushButton* cmdSoilReading_;
    QPushButton* cmdImportRain_;
    QSplitter* splitter_;
    QTableView* tblSeasonLog_;
    SeasonLogModel* model_;
    QLabel* lblSeasonProblem_;
    QCustomPlot* chtSeason_;
    QUndoStack* undo_;
    std::optional<PlanResult> plan_;
    QString planProblem_; // why the record cannot be balanced with the plan
    bool stale_ = true;
    bool replanQueued_ = false;
    bool recording_ = false; // a step of the undo stack is setting the record
};

} // namespace tavik
