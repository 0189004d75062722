#pragma once

#include "engine/CTavik.h"
#include "engine/Notifier.h"

#include <QDialog>
#include <QFont>
#include <cstdint>

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tavikcalc {

class ControlFactory;
class UserDialogs;
enum class MessageIcon;
struct SplashState;

// The calculator's messages reach the user as plain message boxes.
class DialogNotifier final : public Notifier {
public:
    DialogNotifier(UserDialogs& dialogs, QWidget* parent) : dialogs_(dialogs), parent_(parent) {}
    void message(const std::string& text) override;

private:
    UserDialogs& dialogs_;
    QWidget* parent_;
};

// The calculator's main dialog: the crop, the yield target and the soil water figures go in,
// Calculate writes the water application programme into the report box, Print prints it.
// Two views: the input view shows the fields above the report; the output view lets the
// report cover them. The flood irrigation controls are built hidden and work once shown.
class CTavikDlg : public QDialog {
    Q_OBJECT
public:
    // The controls, by the numbers they are known by.
    enum Id {
        IDC_CROP = 1000,
        IDC_YIELD = 1001,
        IDC_SOIL_PROFILE = 1002,
        IDC_REPORT = 1003,
        IDC_PAWC = 1004,
        IDC_RESERVE = 1005,
        IDC_CALCULATE = 1006,
        IDC_GUIDELINE = 1007,
        IDC_OVERHEAD = 1008,
        IDC_FLOOD = 1009,
        IDC_CYCLE = 1010,
        IDC_CROP_WATER = 1011,
        IDC_PERIOD_12 = 1012,
        IDC_PERIOD_24 = 1013,
        IDC_STREAM_FLOW = 1014,
        IDC_AREA = 1015,
        IDC_LAG = 1016,
        IDC_CYCLE_CAPTION = 1017,
        IDC_FLOW_CAPTION = 1018,
        IDC_LAG_CAPTION = 1019,
        IDC_AREA_CAPTION = 1020,
        IDC_PERIOD_CAPTION = 1021,
        IDC_INPUT_VIEW = 1023,
        IDC_OUTPUT_VIEW = 1024,
        IDC_PRINT = 1029,
    };
    enum Method { Overhead = 0, Flood = 1 };
    enum View { InputView = 0, OutputView = 1 };

    // `commandLineArea` (ha) above 0 switches the overhead report to volumes for that area.
    CTavikDlg(double commandLineArea, UserDialogs& dialogs, SplashState& splash,
              QWidget* parent = nullptr);
    ~CTavikDlg() override;

    static QString controlName(int id);
    template <typename T = QWidget>
    T* control(int id) const {
        return findChild<T*>(controlName(id));
    }
    // The item "&About Tavik..." of the dialog's context menu.
    QAction* aboutAction() const { return aboutAction_; }

    // The report box's text as the report writers build it: lines joined by CR LF.
    QString reportText() const;

    // Fields that the controls' handlers write.
    const CTavik& calculator() const { return calculator_; }
    bool areaFlag() const { return areaFlag_ != 0; }
    double area() const { return area_; }
    double pawc() const { return pawc_; }
    double reserve() const { return reserve_; }
    double yieldTarget() const { return yieldTarget_; }
    double streamFlow() const { return streamFlow_; }
    double usableWater() const { return usableWater_; }
    int periodHours() const { return periodHours_; }
    int cycle() const { return cycle_; }
    int method() const { return method_; }
    int view() const { return view_; }
    int layoutOffset() const { return layoutOffset_; }

    // Enter: checks the irrigation cycle (a whole number of days from 1 to 28) and closes.
    void OnOK();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The controls, made in their tab order.
    void createControls();
    void createCropFields(const ControlFactory& make);
    void createSoilWaterFields(const ControlFactory& make);
    void createOverheadGroup(const ControlFactory& make);
    void createFloodGroup(const ControlFactory& make);
    void createPicture(const ControlFactory& make);
    void createButtons(const ControlFactory& make);
    void createReportBox(const ControlFactory& make);
    void OnSelchangeCrop();
    void OnKillfocusYield();
    void OnKillfocusPawc();
    void OnKillfocusReserve();
    void OnKillfocusCycle();
    void OnSoilProfile();
    void OnOverhead();
    void OnFlood();
    void OnCalculate();
    void OnPrint();
    void OnAbout();
    void showInputView();
    void showOutputView();
    void enableMethodControls();
    void updateCropWater();
    // The checks that keep the report writers to values they can use; false after telling
    // the user which field to correct.
    bool readyToCalculate();
    // The cycle as Enter checks it: a whole number of days from 1 to 28. False after telling
    // the user, with the focus in the cycle field.
    bool cycleAccepted();
    // A number field's value above `high`: true after telling the user.
    bool tooLarge(double value, double high, QWidget* field, const QString& name,
                  const QString& unit);
    void refuse(QWidget* field, const QString& text);
    void message(const QString& text, MessageIcon icon);

    UserDialogs& dialogs_;
    SplashState& splash_;
    DialogNotifier notifier_;

    // The dialog's fields.
    std::int32_t areaFlag_;
    QFont reportFont_;
    std::int32_t periodHours_ = 12;
    double streamFlow_ = 0;
    double area_;
    double pawc_ = 0;
    double usableWater_ = 0;
    double reserve_ = 25.0;
    double yieldTarget_ = 0;
    CTavik calculator_;
    std::int32_t cropIndex_ = -1;
    std::int32_t loadedCrop_ = -1; // the list entry whose row the calculator holds
    std::int32_t method_ = Overhead;
    std::int32_t periodChoice_ = 0;
    std::int32_t view_ = InputView;
    std::int32_t cycle_ = 7;
    std::int32_t layoutOffset_ = 0;

    QComboBox* crop_ = nullptr;
    QLineEdit* yield_ = nullptr;
    QLabel* guideline_ = nullptr;
    QLineEdit* pawcEdit_ = nullptr;
    QLineEdit* reserveEdit_ = nullptr;
    QLabel* cropWater_ = nullptr;
    QLineEdit* cycleEdit_ = nullptr;
    QLineEdit* streamFlowEdit_ = nullptr;
    QLineEdit* lagEdit_ = nullptr;
    QLineEdit* areaEdit_ = nullptr;
    QButtonGroup* methodGroup_ = nullptr;
    QButtonGroup* periodGroup_ = nullptr;
    QButtonGroup* viewGroup_ = nullptr;
    QPlainTextEdit* report_ = nullptr;
    QAction* aboutAction_ = nullptr;
    bool created_ = false;
    bool inFocusHandler_ = false;
};

} // namespace tavikcalc
