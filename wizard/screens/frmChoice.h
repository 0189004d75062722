#pragma once

#include "WizardScreen.h"

#include <QColor>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace tavik {

class TipSlider;

// The crop choice screen: one picture button per crop of the workbook, the target-yield
// slider, and whether sprinkler package information will be given.
class frmChoice : public WizardScreen {
    Q_OBJECT
public:
    explicit frmChoice(Wizard& wizard);

    // The first load: reads the crop table from the opened workbook, builds the crop
    // buttons and tells the user about rows that cannot be used. Returns false (after
    // telling the user) when no crop can be offered.
    bool load();

    bool packageTicked() const;
    // The crop button of an option index (worksheet row - 2); null when there is none.
    QToolButton* option(int index) const;
    int optionCount() const { return static_cast<int>(options_.size()); }

    // What the button of a crop does when clicked (also reachable for the keyboard).
    void chooseCrop(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* createOption(int index);
    void sliderChanged(int value);
    void sliderScrolled(int position);
    void next();
    void paintCaption(QToolButton* button, const QColor& color);
    void growClientFor(QWidget* widget);

    std::vector<QToolButton*> options_;
    TipSlider* sldTargetYield_;
    QLabel* lblTargetyield_;
    QLabel* lblmin_;
    QLabel* lblMax_;
    QLabel* Label1_;
    QCheckBox* chkPackage_;
    QPushButton* cmdNext_;
    QColor OptionBackColor_;
};

} // namespace tavik
