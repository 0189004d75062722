// What a user of the wizard feels: a move of the result screen's cycle slider (the schedule,
// the report into the box and the chart redrawn), and the start up to the crop screen.

#include "model/Notifier.h"
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

void BM_CycleSliderChange(benchmark::State& state) {
    tavik::mType wizardState;
    QuietNotifier notifier;
    tavik::WorkbookReaderOptions options;
    options.readerProgram = QStringLiteral(TAVIK_EXECUTABLE);
    if (tavik::openCropWorkbook(wizardState, kResources + QStringLiteral("/SampleData.xls"),
                                options)) {
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
