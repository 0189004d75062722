#pragma once

#include "WizardScreen.h"
#include "engine/RichText.h"
#include "model/WaterLevels.h"

#include <array>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class QTextEdit;

namespace tavik {

class TipSlider;
class cGauge;

// The soil water level screen: for every layer, the planned soil water content at the four
// growth stages on sliders, their classes, and dials with the whole profile's water.
class frmWaterLevel : public WizardScreen {
    Q_OBJECT
public:
    explicit frmWaterLevel(Wizard& wizard);

    const WaterLevelModel& model() const { return model_; }
    int rows() const { return static_cast<int>(rows_.size()); }
    TipSlider* slider(int row, Stage stage) const;
    cGauge* gauge(Stage stage) const { return gauges_[static_cast<std::size_t>(stage)]; }

    // The printed summary of the selections.
    RichText BuildSelectionText() const;
    // Prints the summary (after the print dialog); returns the pages printed.
    int printSelection();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct StageRow {
        QLabel* caption;
        TipSlider* slider;
        QLabel* level;
    };
    struct Row {
        std::array<StageRow, 4> stages; // by stage
    };

    void load();
    void BuildLayerRows();
    Row createRow(int index);
    void refresh(int row, Stage stage);
    void refreshWholeProfile();

    WaterLevelModel model_;
    bool loaded_ = false;
    std::array<QGroupBox*, 4> frames_{};
    std::array<cGauge*, 4> gauges_{};
    std::array<QLabel*, 4> middleLabels_{};
    std::array<QLabel*, 4> endLabels_{};
    std::array<QLabel*, 4> waterLabels_{};
    std::array<QLabel*, 4> nominalLabels_{};
    std::vector<Row> rows_;
    QTextEdit* rtxtWaterlevel_;
    QPushButton* cmdBack_;
    QPushButton* cmdNext_;
};

} // namespace tavik
