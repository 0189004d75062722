// Walks the wizard on the shipped workbook and saves a picture of every screen, for the
// README: `make screenshots` (runs offscreen; the pictures match those under a display).

#include "RecordingDialogs.h"
#include "TestSupport.h"
#include "model/Notifier.h"
#include "screens/TipSlider.h"
#include "screens/Wizard.h"
#include "screens/frmChoice.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmWaterLevel.h"
#include "state/WizardState.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <iostream>

namespace {

class SilentNotifier : public tavik::Notifier {
public:
    void notify(Icon, const std::string&, const std::string& text) override {
        std::cerr << text << '\n';
    }
};

bool save(QWidget& screen, const QString& folder, const QString& name) {
    screen.show();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name);
    if (!screen.grab().save(path)) {
        std::cerr << "cannot write " << path.toStdString() << '\n';
        return false;
    }
    std::cout << path.toStdString() << '\n';
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    tavik::mType state;
    SilentNotifier notifier;
    state.CropWorkbook = tavik::test::sheetFromCsv(tavik::test::shippedCropCsv());
    tavik::Wizard wizard(state, notifier,
                         tavik::test::sourcePath(QStringLiteral("wizard/resources")));
    if (!wizard.choice().load()) {
        return 1;
    }
    bool ok = true;
    wizard.choice().option(1)->click(); // Maize
    wizard.choice().findChild<QCheckBox*>(QStringLiteral("chkPackage"))->setChecked(true);
    ok = save(wizard.choice(), folder, QStringLiteral("crop-choice.png")) && ok;
    wizard.choice().hide();

    tavik::frmIrrigationInfo& package = wizard.irrigationInfo();
    package.show();
    // The whole designed area, whatever the size of the screen it would be maximised on.
    package.showNormal();
    QApplication::processEvents();
    package.resize(package.minimumSizeHint().expandedTo(package.sizeHint()));
    package.ShowChart();
    ok = save(package, folder, QStringLiteral("sprinkler-package.png")) && ok;
    package.FitSpeedLaw();
    package.hide();

    tavik::frmSoilInfo& soil = wizard.soilInfo();
    auto* depth = soil.findChild<tavik::TipSlider*>(QStringLiteral("sldSoilDepth"));
    depth->setSliderPosition(1200);
    depth->triggerAction(QAbstractSlider::SliderMove);
    const int siltClay[] = {18, 20, 24, 26};
    for (int i = 0; i < 4; ++i) {
        soil.findChild<tavik::TipSlider*>(QStringLiteral("sldLayer_%1").arg(i))
            ->setValue(siltClay[i]);
        soil.findChild<tavik::TipSlider*>(QStringLiteral("sldLayer_%1").arg(i))
            ->triggerAction(QAbstractSlider::SliderNoAction);
    }
    ok = save(soil, folder, QStringLiteral("soil-information.png")) && ok;

    soil.findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
    tavik::frmWaterLevel& levels = wizard.waterLevel();
    const int planned[4][4] = {
        {200, 200, 210, 220}, {180, 190, 200, 210}, {160, 170, 190, 200}, {120, 130, 150, 170}};
    for (tavik::Stage stage : tavik::kStages) {
        for (int row = 0; row < levels.rows(); ++row) {
            tavik::TipSlider* slider = levels.slider(row, stage);
            slider->setSliderPosition(planned[static_cast<int>(stage)][row]);
            slider->triggerAction(QAbstractSlider::SliderMove);
        }
    }
    ok = save(levels, folder, QStringLiteral("soil-water-level.png")) && ok;

    levels.findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
    ok = save(wizard.result(), folder, QStringLiteral("result.png")) && ok;
    // With a PDF path given, the schedule is printed there too, to look at a printed page.
    if (argc > 2) {
        tavik::test::RecordingDialogs dialogs;
        dialogs.pdf = QString::fromLocal8Bit(argv[2]);
        wizard.setDialogs(dialogs);
        ok = wizard.result().printSchedule() > 0 && ok;
    }
    return ok ? 0 : 1;
}
