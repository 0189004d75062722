// What a user of the wizard feels: a move of the result screen's cycle slider (the schedule,
// the report into the box and the chart redrawn), opening a plan, drawing a field sheet, and
// the start up to the crop screen.

#include "model/Notifier.h"
#include "plan/Plan.h"
#include "printing/PlanExports.h"
#include "screens/PlanFiles.h"
#include "screens/TipSlider.h"
#include "screens/Wizard.h"
#include "screens/frmChoice.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmWaterLevel.h"
#include "state/WizardState.h"
#include "workbook/CropWorkbook.h"

#include <QApplication>
#include <QCheckBox>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>
#include <benchmark/benchmark.h>
#include <clocale>
#include <iostream>

namespace {

class QuietNotifier : public tavik::Notifier {
public:
    void notify(Icon, const std::string&, const std::string& text) override {
        std::cerr << text << '\n';
    }
};

const QString kResources = QStringLiteral(TAVIK_SOURCE_DIR "/wizard/resources");

bool openShippedWorkbook(tavik::mType& wizardState) {
    tavik::WorkbookReaderOptions options;
    options.readerProgram = QStringLiteral(TAVIK_WORKBOOK_READER);
    return !tavik::openCropWorkbook(wizardState, kResources + QStringLiteral("/SampleData.xls"),
                                    options);
}

void BM_CycleSliderChange(benchmark::State& state) {
    tavik::mType wizardState;
    QuietNotifier notifier;
    if (!openShippedWorkbook(wizardState)) {
        state.SkipWithError("workbook");
        return;
    }
    tavik::Wizard wizard(wizardState, notifier, kResources);
    wizard.choice().load();
    wizard.choice().option(1)->click(); // Maize, with its sprinkler package
    wizard.choice().findChild<QCheckBox*>(QStringLiteral("chkPackage"))->setChecked(true);
    wizard.choice().show();
    wizard.choice().findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
    wizard.irrigationInfo().findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
    wizard.soilInfo().findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
    wizard.waterLevel().findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
    tavik::frmMain& result = wizard.result();
    auto* cycle = result.findChild<tavik::TipSlider*>(QStringLiteral("sldCycle"));
    QApplication::processEvents();
    int value = 5;
    for (auto _ : state) {
        value = value == 5 ? 2 : 5; // the longest report and back
        cycle->setValue(value);
        QApplication::processEvents(); // the box and the chart drawn
    }
}
BENCHMARK(BM_CycleSliderChange)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening a plan file: read, checked, run as a trial, then every screen filled as a user
// would and the result screen shown. Two plans in turn, so that every opening changes all.
void BM_OpenPlan(benchmark::State& state) {
    tavik::mType wizardState;
    QuietNotifier notifier;
    if (!openShippedWorkbook(wizardState)) {
        state.SkipWithError("workbook");
        return;
    }
    tavik::Wizard wizard(wizardState, notifier, kResources);
    wizard.choice().load();
    wizard.choice().show();
    const QString plans[] = {QStringLiteral(TAVIK_SOURCE_DIR "/examples/maize-centre-pivot.json"),
                             QStringLiteral(TAVIK_SOURCE_DIR "/examples/wheat-deep-loam.json")};
    int next = 0;
    for (auto _ : state) {
        QWidget* from = wizard.madeScreens().back();
        for (tavik::WizardScreen* screen : wizard.madeScreens()) {
            from = screen->isVisible() ? screen : from;
        }
        if (!wizard.plans().open(plans[next], *from)) {
            state.SkipWithError("the plan did not open");
            return;
        }
        next = 1 - next;
        QApplication::processEvents(); // the result screen drawn
    }
}
BENCHMARK(BM_OpenPlan)->Unit(benchmark::kMillisecond)->UseRealTime();

// The field sheet of a plan, drawn to PDF.
void BM_FieldSheet(benchmark::State& state) {
    tavik::mType wizardState;
    if (!openShippedWorkbook(wizardState)) {
        state.SkipWithError("workbook");
        return;
    }
    tavik::loadCropData(wizardState);
    tavik::Scenario scenario;
    scenario.crop = std::string("Maize");
    scenario.plantingDate = "2026-10-01";
    const tavik::PlanOutcome plan =
        tavik::runPlan(wizardState.CropData, scenario, tavik::TimeStamp{"1/2/2026", "3:04:05 PM"});
    if (!plan.result) {
        state.SkipWithError("plan");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavik::fieldSheetPdf(*plan.result, QStringLiteral("now")));
    }
}
BENCHMARK(BM_FieldSheet)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartUpToCropScreen(benchmark::State& state) {
    for (auto _ : state) {
        QProcess tavik;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TAVIK_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        tavik.setProcessEnvironment(environment);
        tavik.start(QStringLiteral(TAVIK_EXECUTABLE), {QStringLiteral("--no-splash")});
        if (!tavik.waitForFinished(10000) || tavik.exitCode() != 0) {
            state.SkipWithError("tavik did not start");
            return;
        }
    }
}
BENCHMARK(BM_StartUpToCropScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
