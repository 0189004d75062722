#pragma once

#include "WizardScreen.h"
#include "engine/Schedule.h"
#include "plan/Scenario.h"
#include "printing/RichTextBox.h"

#include <QDate>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCPBars;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QDate;
class QDateEdit;
class QTabBar;
class QTableWidget;
class QTextEdit;

namespace tavik {

class CompareCycles;
class PlanExportMenu;
class SeasonTab;
class TipSlider;

// The result screen: the schedule for the chosen irrigation cycle as a report and a chart,
// saved as a document and printed.
class frmMain : public WizardScreen {
    Q_OBJECT
public:
    explicit frmMain(Wizard& wizard);
    ~frmMain() override;

    // Runs the schedule for the slider's cycle, writes the report into the box and redraws
    // the chart.
    void ComputeSchedule();
    void DrawChart();

    const ScheduleEngine& engine() const { return engine_; }
    int runs() const { return runs_; }
    QTextEdit* display() const { return rtxtDisplay_; }
    // The chart's tooltip for a pointer position (empty away from the bars).
    QString chartTip(const QPoint& position) const;

    // The irrigation cycle on the slider, and the user moving the slider to one.
    int cycle() const;
    void setCycle(int days);
    // The planting date, when one is set: the schedule then has a calendar beside the report
    // and the chart's tips name the dates. None (the default) leaves the screen as it is.
    std::optional<QDate> plantingDate() const;
    void setPlantingDate(const std::optional<QDate>& date);
    // The calendar of the schedule (date, day after planting, amount, cumulative, and speed
    // and passes with the package); empty without a planting date.
    QTableWidget* calendar() const { return tblCalendar_; }
    // Whether the chart shows each irrigation (or the cumulative application).
    bool individualChart() const;
    PlanExportMenu& exports() const { return *exports_; }
    // The day the season log is balanced as of: the Season tab's Today date.
    QDate seasonToday() const;
    // The Season tab: the season log of the plan, offered once there is a planting date.
    SeasonTab& season() const { return *seasonTab_; }

    // The nine cycles side by side for the plan on the screens (none when the plan cannot be
    // run, which is told); the row chosen there moves the slider.
    CompareCycles* compareCycles();

    // File menu commands; each returns whether it did its job.
    bool saveSchedule();
    int printSchedule();
    bool printChart();

    static constexpr const char* kPathErrorMessage = "Error in path/file name";
    static constexpr const char* kEmptyBoxMessage =
        "The result Box is empty, Run the scheduling first";

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpReportBox();
    void setUpCycleSlider();
    void setUpChart();
    void setUpButtons();
    void setUpPlantingDate();
    void setUpMenus();
    void setUpSeasonLog();
    void seasonLogTicked(bool on);
    void seasonRecordChanged();
    void growWithWindow();
    void cycleScrolled(int position);
    void plantingDateChanged();
    void fillCalendar();
    bool boxIsEmpty();

    ScheduleEngine engine_;
    int runs_ = 0;
    QTextEdit* rtxtDisplay_;
    std::unique_ptr<RichTextDocuments> reports_;
    TipSlider* sldCycle_;
    QLabel* lblCycle_;
    QRadioButton* optIndividual_;
    QRadioButton* optCumulative_;
    QCustomPlot* MSChart1_;
    QCPBars* bars_ = nullptr;
    QMenu* mnuEdit_ = nullptr;
    QCheckBox* chkPlantingDate_;
    QDateEdit* dtpPlantingDate_;
    QTabBar* tabView_;
    QTableWidget* tblCalendar_;
    PlanExportMenu* exports_;
    std::vector<IrrigationDay> irrigations_; // of the last run
    bool refused_ = false;                   // the last run was refused: nothing to draw
    std::vector<int> chartDays_;             // the day of each bar

    // The field's name and area, kept in the plan file's field.
    void setUpFieldIdentity();
    void showField();
    void fieldNameEdited(const QString& text);
    void fieldAreaEdited(const QString& text);
    void keepField(const std::optional<FieldIdentity>& field);
    QLineEdit* txtFieldName_ = nullptr;
    QLineEdit* txtFieldArea_ = nullptr;
    QLabel* lblFieldProblem_ = nullptr;
    bool keepingField_ = false; // the field is being set from the row: the row stays as typed
    QCheckBox* chkSeasonLog_ = nullptr;
    SeasonTab* seasonTab_ = nullptr;
};

} // namespace tavik
