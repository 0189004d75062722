#pragma once

#include "engine/CTavik.h"

#include <QDialog>
#include <array>
#include <cstdint>

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace tavikcalc {

class UserDialogs;

// The soil type dialog: the profile available water capacity (PAWC) of the current crop on a
// soil class and depth, shown with one decimal as the user chooses. OK hands back the value
// as shown; Escape and the close box hand back nothing.
class CSoilType : public QDialog {
    Q_OBJECT
public:
    enum Id {
        IDC_SAND = 1024,
        IDC_SANDY_LOAM = 1025,
        IDC_CLAY = 1026,
        IDC_DEPTH = 1027,
        IDC_PAWC = 1030
    };

    explicit CSoilType(UserDialogs& dialogs, QWidget* parent = nullptr);

    // Set before the dialog is shown: the crop's PAWC parameters per soil class, its maximum
    // yield (kg/ha) and reference depth (mm), the yield target (kg/ha), the soil class
    // (0 Sand, 1 Sandy - Loam, 2 Sand Clay Loam to Clay) and the depth (mm).
    std::array<SoilTriple, 3> soil{};
    double maxYield = 0;
    double yieldTarget = 0;
    double referenceDepth = 0;
    std::int32_t soilClass = -1;
    std::int32_t depth = 0;
    // The crop's entry in the crop list, for the message about a soil too shallow for it.
    QString cropEntry;
    // The result after OK, mm.
    double pawc = 0;

    // Takes the crop's parameters from a loaded crop row.
    void setCrop(const CropRecord& crop);

    static QString controlName(int id);
    template <typename T = QWidget>
    T* control(int id) const {
        return findChild<T*>(controlName(id));
    }

    // OK: checks the depth (a whole number from 0 to 2000 mm) and closes with the PAWC shown,
    // when that is above 0: a soil too shallow to give the crop any water is refused.
    void OnOK();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void compute();

    UserDialogs& dialogs_;
    QLineEdit* depthEdit_;
    QButtonGroup* soilGroup_;
    QLabel* pawcLabel_;
    bool initialised_ = false;
};

} // namespace tavikcalc
