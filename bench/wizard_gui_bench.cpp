// What a user of the wizard feels: a move of the result screen's cycle slider (the schedule,
// the report into the box and the chart redrawn), opening a plan, drawing a field sheet, and
// the start up to the crop screen.

#include "model/Notifier.h"
#include "plan/Plan.h"
#include "printing/PlanExports.h"
#include "screens/PlanFiles.h"
#include "screens/SeasonLogModel.h"
#include "screens/SeasonTab.h"
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
#include <QDate>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <benchmark/benchmark.h>
#include <clocale>
#include <iostream>
#include <memory>

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

// Wheat with a 200-day season (the longest the shipped crops have is 180) and a season log of
// 40 entries, as a plan file; planted on `planted`.
QString seasonPlan(const QTemporaryDir& dir, const QString& name, const QDate& planted) {
    QString rain;
    QString irrigations;
    QString readings;
    int entries = 0;
    for (int day = 3; entries < 40; day += 5) {
        const QString date = planted.addDays(day).toString(Qt::ISODate);
        QString& list = entries % 8 == 7 ? readings : entries % 2 == 0 ? rain : irrigations;
        list +=
            (list.isEmpty() ? QString() : QStringLiteral(", ")) +
            (&list == &readings
                 ? QStringLiteral(R"({"date": "%1", "waterLevels": [0.2, 0.2, 0.21, 0.22, 0.2]})")
                       .arg(date)
                 : QStringLiteral(R"({"date": "%1", "mm": %2})").arg(date).arg(4 + day % 17));
        ++entries;
    }
    const QString plan =
        QStringLiteral(R"({"crop": "Wheat", "soil": {"depth": 1500}, "plantingDate": "%1", )"
                       R"("season": {"rain": [%2], "irrigations": [%3], "readings": [%4]}})")
            .arg(planted.toString(Qt::ISODate), rain, irrigations, readings);
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(plan.toUtf8()) < 0) {
        return {};
    }
    return file.fileName();
}

// The wizard on its first screen, on the shipped workbook with Wheat's season lengthened to
// 200 days, and a folder for its plans.
struct SeasonWizard {
    tavik::mType wizardState;
    QuietNotifier notifier;
    QTemporaryDir dir;
    std::unique_ptr<tavik::Wizard> wizard;

    bool start() {
        if (!openShippedWorkbook(wizardState) || !wizardState.CropWorkbook ||
            wizardState.CropWorkbook->rows.size() < 2 ||
            wizardState.CropWorkbook->rows[1].size() <= 11) {
            return false;
        }
        wizardState.CropWorkbook->rows[1][11] = 200.0; // Wheat's season end day
        wizard = std::make_unique<tavik::Wizard>(wizardState, notifier, kResources);
        wizard->choice().load();
        wizard->choice().show();
        return true;
    }
};

// Typing one rain entry into the Season tab: the entry checked and recorded, the plan run and
// balanced again, the table, the next irrigation and the chart refreshed and drawn.
void BM_SeasonEntryTyped(benchmark::State& state) {
    SeasonWizard season;
    if (!season.start()) {
        state.SkipWithError("workbook");
        return;
    }
    tavik::Wizard& wizard = *season.wizard;
    const QTemporaryDir& dir = season.dir;
    const QDate planted(2026, 10, 1);
    if (!wizard.plans().open(seasonPlan(dir, QStringLiteral("wheat.tavikplan"), planted),
                             wizard.choice())) {
        state.SkipWithError("the plan did not open");
        return;
    }
    tavik::SeasonTab& tab = wizard.result().season();
    tab.setToday(planted.addDays(100));
    QApplication::processEvents();
    tavik::SeasonLogModel& log = tab.log();
    const QModelIndex cell = log.index(log.rowOf(50), tavik::SeasonLogModel::Rain);
    if (!cell.isValid() || !tab.isVisible() || log.rowCount() < 40) {
        state.SkipWithError("no season shown");
        return;
    }
    int typed = 0;
    for (auto _ : state) {
        log.setData(cell, QString::number(10 + typed++ % 2), Qt::EditRole);
        QApplication::processEvents(); // the tab drawn
    }
}
BENCHMARK(BM_SeasonEntryTyped)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening a plan with a full season log: the screens filled and the Season tab shown. Two
// plans in turn, planted on different days, so that every opening changes all.
void BM_OpenSeasonPlan(benchmark::State& state) {
    SeasonWizard season;
    if (!season.start()) {
        state.SkipWithError("workbook");
        return;
    }
    tavik::Wizard& wizard = *season.wizard;
    const QTemporaryDir& dir = season.dir;
    const QString plans[] = {seasonPlan(dir, QStringLiteral("a.tavikplan"), QDate(2026, 10, 1)),
                             seasonPlan(dir, QStringLiteral("b.tavikplan"), QDate(2026, 9, 20))};
    int next = 0;
    for (auto _ : state) {
        QWidget* from = wizard.madeScreens().back();
        for (tavik::WizardScreen* screen : wizard.madeScreens()) {
            from = screen->isVisible() ? screen : from;
        }
        if (!wizard.plans().open(plans[next], *from) || !wizard.result().season().plan()) {
            state.SkipWithError("the plan did not open with its season");
            return;
        }
        next = 1 - next;
        QApplication::processEvents(); // the result screen drawn
    }
}
BENCHMARK(BM_OpenSeasonPlan)->Unit(benchmark::kMillisecond)->UseRealTime();

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
