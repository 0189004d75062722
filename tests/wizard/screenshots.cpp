// Walks the wizard on the shipped workbook and saves a picture of every screen, for the
// README: `make screenshots` (runs offscreen; the pictures match those under a display). The
// options are those of appearance::ScreenshotOptions.

#include "../common/Appearance.h"
#include "RecordingDialogs.h"
#include "TestSupport.h"
#include "model/Notifier.h"
#include "plan/Plan.h"
#include "plan/TimeStamp.h"
#include "screens/CompareCycles.h"
#include "screens/PlanFiles.h"
#include "screens/SeasonTab.h"
#include "screens/SoilReadingDialog.h"
#include "screens/TipSlider.h"
#include "screens/Wizard.h"
#include "screens/frmChoice.h"
#include "screens/frmHelp.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmWaterLevel.h"
#include "state/WizardState.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QPushButton>
#include <QTabBar>
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

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const auto options = appearance::ScreenshotOptions::parse(QApplication::arguments());
    options.apply();

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
    ok = options.save(wizard.choice(), QStringLiteral("crop-choice")) && ok;
    wizard.choice().hide();

    tavik::frmIrrigationInfo& package = wizard.irrigationInfo();
    package.show();
    // The whole designed area, whatever the size of the screen it would be maximised on.
    package.showNormal();
    QApplication::processEvents();
    package.resize(package.minimumSizeHint().expandedTo(package.sizeHint()));
    package.ShowChart();
    ok = options.save(package, QStringLiteral("sprinkler-package")) && ok;
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
    ok = options.save(soil, QStringLiteral("soil-information")) && ok;

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
    ok = options.save(levels, QStringLiteral("soil-water-level")) && ok;

    levels.findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
    ok = options.save(wizard.result(), QStringLiteral("result")) && ok;
    // With a planting date: the schedule's calendar.
    wizard.result().setPlantingDate(QDate(2026, 10, 15));
    wizard.result().findChild<QTabBar*>(QStringLiteral("tabResultView"))->setCurrentIndex(1);
    ok = options.save(wizard.result(), QStringLiteral("result-calendar")) && ok;
    wizard.result().findChild<QTabBar*>(QStringLiteral("tabResultView"))->setCurrentIndex(0);
    // The nine cycles side by side.
    if (tavik::CompareCycles* compare = wizard.result().compareCycles()) {
        ok = options.save(*compare, QStringLiteral("compare-cycles")) && ok;
        compare->close();
    }
    // The manual at the PAWC page, with the figures of the soil above.
    ok = options.save(wizard.help(QStringLiteral("pawc.html")), QStringLiteral("help")) && ok;
    // With a PDF path given, the schedule is printed there too, to look at a printed page.
    if (!options.pdf.isEmpty()) {
        tavik::test::RecordingDialogs dialogs;
        dialogs.pdf = options.pdf;
        wizard.setDialogs(dialogs);
        ok = wizard.result().printSchedule() > 0 && ok;
    }
    // A probe reading of the planted field.
    if (const tavik::ScenarioParse now = wizard.plans().current(); now.scenario) {
        const tavik::PlanOutcome walked =
            tavik::runPlan(state.CropData, *now.scenario, tavik::currentTimeStamp());
        if (walked.result) {
            tavik::SoilReadingDialog reading(*walked.result, QDate(2026, 11, 2),
                                             {0.215, 0.2, 0.186, 0.17}, nullptr);
            reading.show();
            ok = options.save(reading, QStringLiteral("soil-reading")) && ok;
        }
    }
    // The Season tab: a week of rain and irrigation and a probe reading.
    {
        tavik::SeasonRecord record;
        record.rain = {{"2026-10-17", 6.5}, {"2026-10-20", 18}, {"2026-10-23", 2.5}};
        record.irrigations = {{"2026-10-25", 14}};
        wizard.plans().setSeason(record);
        tavik::SeasonTab& season = wizard.result().season();
        season.setToday(QDate(2026, 10, 28));
        if (const tavik::PlanResult* plan = season.plan()) {
            season.recordReading(tavik::SeasonReading{
                "2026-10-27", std::vector<double>(
                                  static_cast<std::size_t>(plan->waterLevels.LayerCount()), 0.19)});
        }
        ok = options.save(wizard.result(), QStringLiteral("season")) && ok;
    }
    return ok ? 0 : 1;
}
