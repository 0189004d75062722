#pragma once

#include "WizardScreen.h"

class QLabel;
class QPushButton;

namespace tavik {

// Stands where the soil water level screen will be: shows what the soil screen computed
// (the profile's PAWC and the stored-water state the schedule will use) and leads back.
class WaterLevelPlaceholder : public WizardScreen {
    Q_OBJECT
public:
    explicit WaterLevelPlaceholder(Wizard& wizard);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* lblSummary_;
    QPushButton* cmdBack_;
};

} // namespace tavik
