#pragma once

#include "WizardScreen.h"

#include <array>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavik {

class TipSlider;

// The soil information screen: the soil depth, the silt + clay of every 300 mm layer and
// whether the field was deep ripped; Next works out the plant-available water capacity of
// the root zone.
class frmSoilInfo : public WizardScreen {
    Q_OBJECT
public:
    explicit frmSoilInfo(Wizard& wizard);

    // Set true by every Next; the water level screen clears it when it rebuilds itself.
    bool FromSoilInfo = false;

    int depth() const;
    int layerRows() const { return static_cast<int>(rows_.size()); }
    // The silt + clay % of every layer row shown, top first.
    std::vector<int> siltClay() const;
    bool deepRipped() const;
    void setDeepRipped(bool ripped);

private:
    struct LayerRow {
        QLabel* label;
        TipSlider* slider;
        QLineEdit* text;
        QString tag; // depth of the layer's bottom, as text
    };

    void depthLayout();
    LayerRow createRow(int index);
    void destroyRow(LayerRow& row);
    static void nameForScreenReaders(const LayerRow& row);
    void showRow(const LayerRow& row, bool visible);
    void orderTabs();
    void layerScrolled(int index, int position);
    void layerTyped(int index);
    void depthTyped();
    void next();
    void back();

    TipSlider* sldSoilDepth_;
    QLineEdit* txtsoilDepth_;
    QLabel* lblDisplay_;
    QLabel* Label2_;
    QLabel* Label3_;
    QCheckBox* chkDeepRipped_;
    QPushButton* cmdBack_;
    QPushButton* cmdNext_;
    std::vector<LayerRow> rows_;
    std::array<float, 7> SavedSiltClay_{};
    int PreviousLastRow_ = 0;
    int DeepestRowShown_ = 0; // the deepest layer row that has ever been shown
    bool updatingText_ = false;
};

} // namespace tavik
