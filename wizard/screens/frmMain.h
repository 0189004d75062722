#pragma once

#include "WizardScreen.h"
#include "engine/Schedule.h"
#include "printing/RichTextBox.h"

#include <memory>

class QAction;
class QCPBars;
class QCustomPlot;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace tavik {

class TipSlider;

// The result screen: the schedule for the chosen irrigation cycle as a report and a chart,
// saved as a document and printed.
class frmMain : public WizardScreen {
    Q_OBJECT
public:
    explicit frmMain(Wizard& wizard);

    // Runs the schedule for the slider's cycle, writes the report into the box and redraws
    // the chart.
    void ComputeSchedule();
    void DrawChart();

    const ScheduleEngine& engine() const { return engine_; }
    int runs() const { return runs_; }
    QTextEdit* display() const { return rtxtDisplay_; }
    // The chart's tooltip for a pointer position (empty away from the bars).
    QString chartTip(const QPoint& position) const;

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
    void cycleScrolled(int position);
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
};

} // namespace tavik
